// Feeds arbitrary bytes to the module resource reader and walks everything it lists:
// every type, name and frame, every data byte, bookmarks and text lookups.
#include <cstddef>
#include <cstdint>

#include "resources/module_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto reader = tess::TIEModuleResources::FromBytes({data, size});
    const tess::TIEModuleResources& r = *reader;
    volatile std::uint32_t sink = 0;
    auto touch = [&](const std::uint8_t* bytes, std::int32_t length) {
        for (std::int32_t i = 0; bytes && i < length; ++i) sink = sink + bytes[i];
    };
    for (std::int32_t t = 0; t < r.TypeCount(); ++t) {
        sink = sink + static_cast<std::uint32_t>(r.TypeId(t).size() + r.TypeName(t).size());
        sink = sink + static_cast<std::uint32_t>(r.FindType(r.TypeId(t)));
        for (std::int32_t n = 0; n < r.NameCount(t); ++n) {
            std::int32_t length = 0;
            touch(r.ResourceData(t, n, length), length);
            length = 0;
            touch(r.FindResourceData(r.TypeName(t), r.NameId(t, n), length), length);
            const std::int32_t frames = r.FrameCount(t, n);
            // One frame past the count exercises the entry bounds.
            for (std::int32_t f = 0; f <= frames; ++f) {
                sink = sink + static_cast<std::uint32_t>(r.FrameWidth(t, n, f) + r.FrameHeight(t, n, f) +
                                                         r.FrameBitCount(t, n, f));
                sink = sink + static_cast<std::uint32_t>(r.FrameNameId(t, n, f).size());
                length = 0;
                touch(r.FrameData(t, n, f, length), length);
            }
            length = 0;
            touch(reader->BookmarkData(*reader->AddBookmark(t, n, frames > 0 ? 0 : -1), length), length);
        }
    }
    for (const char* text : {"GroupIcon", "GroupCursor", "Icon", "Cursor", "Bitmap", "PNG", "png"})
        sink = sink + static_cast<std::uint32_t>(r.FindType(text));
    return 0;
}
