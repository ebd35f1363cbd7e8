#include "support/module_builder.h"

namespace tess::test {

ModuleBuilder& ModuleBuilder::addGroupIcon(const ResId& name, const std::vector<FrameSpec>& frames,
                                           std::uint16_t language) {
    return addGroup(name, frames, language, /*cursor=*/false);
}

ModuleBuilder& ModuleBuilder::addGroupCursor(const ResId& name, const std::vector<FrameSpec>& frames,
                                             std::uint16_t language) {
    return addGroup(name, frames, language, /*cursor=*/true);
}

// One image resource per frame, with integer names from the kind's own counter, then the
// group directory naming them.
ModuleBuilder& ModuleBuilder::addGroup(const ResId& name, const std::vector<FrameSpec>& frames,
                                       std::uint16_t language, bool cursor) {
    std::vector<GroupEntry> entries;
    for (const FrameSpec& f : frames) {
        ByteVec image;
        if (cursor)
            image = cursorImage(f.hotspotX, f.hotspotY,
                                dibIconImage(f.width, f.height, f.bitCount, f.fill));
        else
            image = f.png ? pngImage(f.width, f.height, f.fill)
                          : dibIconImage(f.width, f.height, f.bitCount, f.fill);
        GroupEntry e;
        e.width = f.width;
        e.height = f.height;
        e.bitCount = f.bitCount;
        e.imageId = cursor ? m_nextCursorId++ : m_nextIconId++;
        e.bytesInRes = static_cast<std::uint32_t>(image.size());
        m_writer.add(cursor ? kRtCursor : kRtIcon, e.imageId, std::move(image), language);
        entries.push_back(e);
    }
    m_writer.add(cursor ? kRtGroupCursor : kRtGroupIcon, name,
                 cursor ? groupCursorDirectory(entries) : groupIconDirectory(entries), language);
    return *this;
}

ModuleBuilder& ModuleBuilder::addBitmap(const ResId& name, int width, int height,
                                        std::uint16_t bitCount, std::uint32_t fill) {
    m_writer.add(kRtBitmap, name, dibBitmap(width, height, bitCount, fill));
    return *this;
}

ModuleBuilder& ModuleBuilder::addPng(const ResId& name, int width, int height, std::uint32_t fill,
                                     const ResId& type) {
    m_writer.add(type, name, pngImage(width, height, fill));
    return *this;
}

ModuleBuilder& ModuleBuilder::add(const ResId& type, const ResId& name, ByteVec data,
                                  std::uint16_t language) {
    m_writer.add(type, name, std::move(data), language);
    return *this;
}

std::filesystem::path ModuleBuilder::writeTo(const TempDir& dir, std::string_view fileName) const {
    std::filesystem::path file = dir.file(fileName);
    build().writeTo(file);
    return file;
}

}  // namespace tess::test
