// Test fixture: modules with icons, cursors, bitmaps and PNG resources, built on PeWriter.
//
// addGroupIcon adds one "Icon" resource per frame (integer names allocated from 1
// upward) and the "GroupIcon" directory naming them; addGroupCursor does the same with
// "Cursor" resources (their own numbering). Images are the fixtures of resource_bytes.h.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "support/pe_writer.h"
#include "support/temp_dir.h"

namespace tess::test {

struct FrameSpec {
    std::uint16_t width = 32;
    std::uint16_t height = 32;
    std::uint16_t bitCount = 32;
    std::uint32_t fill = 0xFF336699;  // 0xAARRGGBB
    bool png = false;                 // store the icon image as a PNG stream
    std::uint16_t hotspotX = 0;       // cursors only
    std::uint16_t hotspotY = 0;
};

class ModuleBuilder {
public:
    explicit ModuleBuilder(PeFormat format = PeFormat::Pe32Plus) : m_writer(format) {}

    ModuleBuilder& addGroupIcon(const ResId& name, const std::vector<FrameSpec>& frames,
                                std::uint16_t language = kLangEnUs);
    ModuleBuilder& addGroupCursor(const ResId& name, const std::vector<FrameSpec>& frames,
                                  std::uint16_t language = kLangEnUs);
    ModuleBuilder& addBitmap(const ResId& name, int width, int height, std::uint16_t bitCount,
                             std::uint32_t fill = 0xFF336699);
    // A PNG stream under `type` (the string type "PNG" by default).
    ModuleBuilder& addPng(const ResId& name, int width, int height,
                          std::uint32_t fill = 0xFF336699, const ResId& type = "PNG");
    ModuleBuilder& add(const ResId& type, const ResId& name, ByteVec data,
                       std::uint16_t language = kLangEnUs);

    PeWriter& writer() { return m_writer; }
    PeFile build() const { return m_writer.build(); }
    // Builds and writes dir/fileName; returns the path.
    std::filesystem::path writeTo(const TempDir& dir, std::string_view fileName) const;

private:
    ModuleBuilder& addGroup(const ResId& name, const std::vector<FrameSpec>& frames,
                            std::uint16_t language, bool cursor);
    PeWriter m_writer;
    std::uint16_t m_nextIconId = 1;
    std::uint16_t m_nextCursorId = 1;
};

}  // namespace tess::test
