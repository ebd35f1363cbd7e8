// The reader on hostile modules: every corruption is survived, and each bound is tested
// in pairs (exactly at the bound is accepted, one byte past is not).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "resources/module_resources.h"
#include "resources/pe_image.h"
#include "resources/resource_directory.h"
#include "support/module_builder.h"

namespace tess {
namespace {

using test::ByteVec;
using test::PeFile;
using test::PeWriter;

// Walks every type, name and frame and reads every data byte; returns the bytes read so
// the reads cannot be optimised away.
std::uint64_t walkEverything(const TIEModuleResources& r) {
    std::uint64_t sum = 0;
    auto touch = [&](const std::uint8_t* data, std::int32_t size) {
        for (std::int32_t i = 0; data && i < size; ++i) sum += data[i];
    };
    for (std::int32_t t = 0; t < r.TypeCount(); ++t) {
        sum += r.TypeName(t).size() + static_cast<std::uint64_t>(r.IsGroupType(t));
        for (std::int32_t n = 0; n < r.NameCount(t); ++n) {
            std::int32_t size = 0;
            touch(r.ResourceData(t, n, size), size);
            const std::int32_t frames = r.FrameCount(t, n);
            for (std::int32_t f = 0; f < frames; ++f) {
                sum += static_cast<std::uint64_t>(r.FrameWidth(t, n, f) + r.FrameHeight(t, n, f) +
                                                  r.FrameBitCount(t, n, f));
                size = 0;
                touch(r.FrameData(t, n, f, size), size);
            }
        }
    }
    return sum;
}

std::unique_ptr<TIEModuleResources> open(const PeFile& pe) {
    return TIEModuleResources::FromBytes(pe.bytes);
}

// A module with a two-frame group icon, a bitmap and a string-named PNG.
PeFile baseModule(test::PeFormat format = test::PeFormat::Pe32Plus) {
    test::ModuleBuilder b(format);
    b.addGroupIcon("APP", {{16, 16, 8}, {32, 32, 32}}).addBitmap(1, 4, 4, 24).addPng("LOGO", 2, 2);
    return b.build();
}

// Resource indices in add() order of baseModule: icons 0 and 1, group 2, bitmap 3, png 4.
constexpr std::size_t kGroupItem = 2;
constexpr std::size_t kBitmapItem = 3;

std::int32_t typeIndex(const TIEModuleResources& r, const char* name) { return r.FindType(name); }

// ---------------------------------------------------------------------------------------
// Headers.

TEST(Headers, ValidExactlyFromTheLengthHoldingTheSectionTable) {
    const PeFile pe = baseModule();
    const std::size_t tableEnd = pe.layout.sectionTable + 2 * 40;
    for (std::size_t length = 0; length <= pe.bytes.size(); ++length) {
        const ByteVec prefix(pe.bytes.begin(), pe.bytes.begin() + static_cast<std::ptrdiff_t>(length));
        const auto r = TIEModuleResources::FromBytes(prefix);
        ASSERT_EQ(r->IsValid(), length >= tableEnd) << "length " << length;
        walkEverything(*r);
    }
}

TEST(Headers, ACutSectionKeepsOnlyTheResourcesInsideWhatRemains) {
    const PeFile pe = baseModule();
    const auto& bitmap = pe.layout.resources[kBitmapItem];
    const std::size_t bitmapSize = pe.get32(bitmap.dataEntry + 4);
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}}) {
        // File ends exactly after the bitmap's bytes, or one byte before.
        ByteVec prefix(pe.bytes.begin(), pe.bytes.begin() + static_cast<std::ptrdiff_t>(bitmap.data + bitmapSize - cut));
        const auto r = TIEModuleResources::FromBytes(prefix);
        ASSERT_TRUE(r->IsValid());
        const std::int32_t t = typeIndex(*r, "Bitmap");
        ASSERT_GE(t, 0);
        std::int32_t size = 0;
        EXPECT_EQ(r->ResourceData(t, 0, size) != nullptr, cut == 0) << "cut " << cut;
    }
}

struct HeaderCase {
    const char* label;
    std::function<void(PeFile&)> corrupt;
    bool valid;
    std::int32_t types;  // expected TypeCount
};

class HeaderCorruption : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderCorruption, GivesTheExpectedReader) {
    PeFile pe = baseModule();
    GetParam().corrupt(pe);
    const auto r = open(pe);
    EXPECT_EQ(r->IsValid(), GetParam().valid);
    EXPECT_EQ(r->TypeCount(), GetParam().types);
    walkEverything(*r);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderCorruption,
    ::testing::Values(
        HeaderCase{"Untouched", [](PeFile&) {}, true, 4},
        HeaderCase{"LfanewPastTheEnd", [](PeFile& p) { p.put32(p.layout.lfanewField, 0xFFFFFFF0u); }, false, 0},
        HeaderCase{"LfanewAtTheLastBytes",
                   [](PeFile& p) { p.put32(p.layout.lfanewField, static_cast<std::uint32_t>(p.bytes.size() - 4)); },
                   false, 0},
        HeaderCase{"OptionalHeaderTooSmall", [](PeFile& p) { p.put16(p.layout.coffHeader + 16, 100); }, false, 0},
        HeaderCase{"OptionalHeaderPastTheEnd", [](PeFile& p) { p.put16(p.layout.coffHeader + 16, 0xFFFF); }, false, 0},
        HeaderCase{"SectionTablePastTheEnd", [](PeFile& p) { p.put16(p.layout.coffHeader + 2, 0xFFFF); }, false, 0},
        HeaderCase{"NoSections", [](PeFile& p) { p.put16(p.layout.coffHeader + 2, 0); }, true, 0},
        HeaderCase{"TwoDataDirectories", [](PeFile& p) { p.put32(p.layout.numberOfRvaAndSizes, 2); }, true, 0},
        HeaderCase{"ThreeDataDirectories", [](PeFile& p) { p.put32(p.layout.numberOfRvaAndSizes, 3); }, true, 4},
        HeaderCase{"ResourceRvaZero", [](PeFile& p) { p.put32(p.layout.resourceDirectoryEntry, 0); }, true, 0},
        HeaderCase{"ResourceRvaOutsideSections",
                   [](PeFile& p) { p.put32(p.layout.resourceDirectoryEntry, 0x7FFF0000u); }, true, 0},
        HeaderCase{"RsrcRawOffsetPastTheEnd",
                   [](PeFile& p) { p.put32(p.layout.rsrcSectionHeader + 20, 0xFFFFFF00u); }, true, 0},
        HeaderCase{"RsrcRawSizeZero", [](PeFile& p) { p.put32(p.layout.rsrcSectionHeader + 16, 0); }, true, 0}),
    [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------------------------------
// Data entries.

TEST(DataEntry, EndingExactlyAtTheSectionRawEndIsFoundOnePastIsNot) {
    for (std::uint32_t past : {0u, 1u}) {
        PeFile pe = baseModule();
        const auto& bitmap = pe.layout.resources[kBitmapItem];
        const std::uint32_t rawSize = pe.get32(pe.layout.rsrcSectionHeader + 16);
        const std::uint32_t toEnd = rawSize - static_cast<std::uint32_t>(bitmap.data - pe.layout.rsrcRaw);
        pe.put32(bitmap.dataEntry + 4, toEnd + past);
        const auto r = open(pe);
        std::int32_t size = 0;
        const std::uint8_t* data = r->ResourceData(typeIndex(*r, "Bitmap"), 0, size);
        EXPECT_EQ(data != nullptr, past == 0) << "past " << past;
        EXPECT_EQ(size, past == 0 ? static_cast<std::int32_t>(toEnd) : 0);
    }
}

std::int32_t resourcesWithData(const TIEModuleResources& r) {
    std::int32_t found = 0;
    for (std::int32_t t = 0; t < r.TypeCount(); ++t)
        for (std::int32_t n = 0; n < r.NameCount(t); ++n) {
            std::int32_t size = 0;
            found += r.ResourceData(t, n, size) ? 1 : 0;
        }
    return found;
}

TEST(DataEntry, SizeOfRawDataDecidesNotTheVirtualSize) {
    for (std::uint32_t shortBy : {0u, 1u}) {
        PeFile pe = baseModule();
        std::size_t end = 0;  // end of the highest resource data, relative to the section
        for (const auto& res : pe.layout.resources)
            end = std::max(end, res.data - pe.layout.rsrcRaw + pe.get32(res.dataEntry + 4));
        pe.put32(pe.layout.rsrcSectionHeader + 16, static_cast<std::uint32_t>(end) - shortBy);
        pe.put32(pe.layout.rsrcSectionHeader + 8, 0x100000);  // virtual size far larger
        const auto r = open(pe);
        EXPECT_EQ(resourcesWithData(*r), shortBy == 0 ? 5 : 4) << "short by " << shortBy;
    }
}

TEST(DataEntry, OutsideEverySectionIsNotFoundAndTheRestIs) {
    PeFile pe = baseModule();
    pe.put32(pe.layout.resources[kBitmapItem].dataEntry, 0x00000010);  // inside the headers
    const auto r = open(pe);
    std::int32_t size = 0;
    EXPECT_EQ(r->ResourceData(typeIndex(*r, "Bitmap"), 0, size), nullptr);
    EXPECT_NE(r->FindResourceData("PNG", "LOGO", size), nullptr);
    EXPECT_EQ(walkEverything(*r) > 0, true);
}

TEST(DataEntry, HugeSizeAndRvaWrapAreNotFound) {
    for (auto [rva, size] : {std::pair{0xFFFFFFF0u, 0x20u}, std::pair{0x2000u, 0xFFFFFFFFu},
                             std::pair{0x2000u, 0x80000000u}}) {
        PeFile pe = baseModule();
        pe.put32(pe.layout.resources[kBitmapItem].dataEntry, rva);
        pe.put32(pe.layout.resources[kBitmapItem].dataEntry + 4, size);
        const auto r = open(pe);
        std::int32_t out = 0;
        EXPECT_EQ(r->ResourceData(typeIndex(*r, "Bitmap"), 0, out), nullptr);
    }
}

// ---------------------------------------------------------------------------------------
// Directories.

TEST(Directory, EntriesPointingBackAtThemselvesOrAParentAreDropped) {
    PeFile pe = baseModule();
    const auto& group = pe.layout.resources[kGroupItem];
    const auto& bitmap = pe.layout.resources[kBitmapItem];
    const std::uint32_t nameDirToRoot = 0x80000000u;  // subdirectory at offset 0: the root
    pe.put32(group.nameEntry + 4, nameDirToRoot);
    const std::uint32_t bitmapNameDir = static_cast<std::uint32_t>(bitmap.nameDirectory - pe.layout.rsrcRaw);
    pe.put32(bitmap.nameEntry + 4, 0x80000000u | bitmapNameDir);  // the name points at its own directory
    const auto r = open(pe);
    ASSERT_TRUE(r->IsValid());
    EXPECT_EQ(r->NameCount(typeIndex(*r, "GroupIcon")), 0);
    EXPECT_EQ(r->NameCount(typeIndex(*r, "Bitmap")), 0);
    std::int32_t size = 0;
    EXPECT_NE(r->FindResourceData("PNG", "LOGO", size), nullptr);
    walkEverything(*r);
}

TEST(Directory, TwoTypesSharingOneSubtreeListItOnce) {
    PeFile pe = baseModule();
    const auto& group = pe.layout.resources[kGroupItem];
    const auto& bitmap = pe.layout.resources[kBitmapItem];
    pe.put32(bitmap.typeEntry + 4, pe.get32(group.typeEntry + 4));
    const auto r = open(pe);
    // The first type in directory order (Bitmap) keeps the subtree; the group icon type,
    // whose subtree was already walked, is dropped.
    EXPECT_EQ(r->TypeCount(), 3);
    EXPECT_EQ(r->FindType("GroupIcon"), -1);
    const std::int32_t b = r->FindType("Bitmap");
    ASSERT_GE(b, 0);
    EXPECT_EQ(r->NameId(b, 0), "APP");
}

TEST(Directory, EntriesOfTheWrongKindForTheirLevelAreSkipped) {
    PeFile pe = baseModule();
    const auto& group = pe.layout.resources[kGroupItem];
    const auto& bitmap = pe.layout.resources[kBitmapItem];
    pe.put32(group.typeEntry + 4, pe.get32(group.typeEntry + 4) & 0x7FFFFFFFu);  // type -> data entry
    pe.put32(bitmap.languageEntry + 4, 0x80000000u | 16);                       // language -> directory
    const auto r = open(pe);
    EXPECT_EQ(r->FindType("GroupIcon"), -1);
    const std::int32_t b = r->FindType("Bitmap");
    ASSERT_GE(b, 0);
    ASSERT_EQ(r->NameCount(b), 1);
    std::int32_t size = 0;
    EXPECT_EQ(r->ResourceData(b, 0, size), nullptr);
}

TEST(Directory, AbsurdEntryCountsAreBoundedByTheBytesPresent) {
    PeFile pe = baseModule();
    pe.put16(pe.layout.rootDirectory + 12, 0xFFFF);
    pe.put16(pe.layout.rootDirectory + 14, 0xFFFF);
    const auto& group = pe.layout.resources[kGroupItem];
    pe.put16(group.nameDirectory + 14, 0xFFFF);
    const auto r = open(pe);
    ASSERT_TRUE(r->IsValid());
    EXPECT_GE(r->FindType("GroupIcon"), 0);
    walkEverything(*r);
}

TEST(Directory, DirectoryHeaderAtTheSectionEndIsCut) {
    for (std::uint32_t back : {16u, 15u}) {
        // A name directory whose 16-byte header ends exactly at the raw end, or one byte past.
        PeFile pe = baseModule();
        const std::uint32_t rawSize = pe.get32(pe.layout.rsrcSectionHeader + 16);
        const auto& bitmap = pe.layout.resources[kBitmapItem];
        pe.put32(bitmap.typeEntry + 4, 0x80000000u | (rawSize - back));
        const auto r = open(pe);
        // The padding at the section end reads as an empty directory.
        EXPECT_EQ(r->FindType("Bitmap") >= 0, back == 16) << "back " << back;
    }
}

TEST(StringId, RunningOffTheSectionDropsTheEntryEndingAtItKeepsIt) {
    for (std::uint32_t past : {0u, 1u}) {
        PeFile pe = baseModule();
        const std::uint32_t rawSize = pe.get32(pe.layout.rsrcSectionHeader + 16);
        const auto& png = pe.layout.resources.back();
        // A 3-unit string whose last unit ends at the raw end (or one byte past it).
        const std::uint32_t at = rawSize - 8 + past;
        pe.put32(png.typeEntry, 0x80000000u | at);
        pe.put16(pe.layout.rsrcRaw + at, 3);
        if (past == 0) {
            pe.put16(pe.layout.rsrcRaw + at + 2, 'A');
            pe.put16(pe.layout.rsrcRaw + at + 4, 'B');
            pe.put16(pe.layout.rsrcRaw + at + 6, 'C');
        }
        const auto r = open(pe);
        EXPECT_EQ(r->FindType("ABC") >= 0, past == 0) << "past " << past;
        EXPECT_EQ(r->TypeCount(), past == 0 ? 4 : 3);
    }
}

// ---------------------------------------------------------------------------------------
// Group directories.

struct GroupCase {
    const char* label;
    ByteVec group;
    std::int32_t frames;
};

class GroupBytes : public ::testing::TestWithParam<GroupCase> {};

ByteVec groupOf(std::uint16_t count, std::size_t entries, std::size_t trim = 0) {
    std::vector<test::GroupEntry> e(entries);
    ByteVec g = test::groupIconDirectory(e, count);
    g.resize(g.size() - trim);
    return g;
}

TEST_P(GroupBytes, FrameCountIsTheCountCappedToTheEntriesPresent) {
    PeFile pe = PeWriter().add(test::kRtGroupIcon, 1, GetParam().group).add(test::kRtGroupCursor, 1, GetParam().group).build();
    const auto r = open(pe);
    for (const char* type : {"GroupIcon", "GroupCursor"}) {
        const std::int32_t t = r->FindType(type);
        ASSERT_GE(t, 0);
        const std::int32_t frames = r->FrameCount(t, 0);
        EXPECT_EQ(frames, GetParam().frames) << type;
        // Entries are read while they lie inside the bytes, whatever the count says.
        const std::size_t size = GetParam().group.size();
        const auto present = static_cast<std::int32_t>(size < 6 ? 0 : (size - 6) / 14);
        EXPECT_EQ(r->FrameBitCount(t, 0, present), 0) << type;
        EXPECT_EQ(r->FrameNameId(t, 0, present), "") << type;
        if (present > 0) {
            EXPECT_EQ(r->FrameBitCount(t, 0, present - 1), 32) << type;
            EXPECT_EQ(r->FrameNameId(t, 0, present - 1), "INTRESOURCE:1") << type;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GroupBytes,
    ::testing::Values(GroupCase{"Empty", {}, 0},
                      GroupCase{"FiveBytes", ByteVec{0, 0, 1, 0, 2}, 0},
                      GroupCase{"HeaderOnlyCountingThree", groupOf(3, 0), 0},
                      GroupCase{"TwoEntriesExactly", groupOf(2, 2), 2},
                      GroupCase{"SecondEntryOneByteShort", groupOf(2, 2, 1), 1},
                      GroupCase{"CountAboveEntries", groupOf(9, 2), 2},
                      GroupCase{"CountBelowEntries", groupOf(1, 3), 1},
                      GroupCase{"CountZero", groupOf(0, 2), 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(GroupFrames, NamesBeyondTheFoundGroupTypeGiveZeroFrames) {
    // "GROUPICON" (a string type) is what FindType("GroupIcon") finds first; integer type 14
    // has more names than it, and those names have no group to read.
    PeFile pe = PeWriter()
                    .add("GROUPICON", 1, test::groupIconDirectory({{}}))
                    .add(test::kRtGroupIcon, 1, test::groupIconDirectory({{}, {}}))
                    .add(test::kRtGroupIcon, 2, test::groupIconDirectory({{}, {}, {}}))
                    .build();
    const auto r = open(pe);
    const std::int32_t integerType = 1;
    ASSERT_EQ(r->TypeId(integerType), "INTRESOURCE:14");
    EXPECT_EQ(r->FrameCount(integerType, 0), 1);
    EXPECT_EQ(r->FrameCount(integerType, 1), 0);
    EXPECT_THROW(r->FrameCount(integerType, 2), std::out_of_range);
}

TEST(WalkLimits, StopTheListsWhereTheBudgetRunsOut) {
    // Root: 2 types. "PNG": 2 string names; RCData: 1 name; each name 1 language.
    const PeFile pe = PeWriter().add("PNG", "AB", {1}).add("PNG", "CD", {2}).add(test::kRtRcData, 1, {3}).build();
    const auto image = parsePeImage(pe.bytes);
    ASSERT_TRUE(image);
    struct Case {
        ResourceWalkLimits limits;
        std::size_t types, firstTypeNames;
    };
    const Case cases[] = {
        {{}, 2, 2},
        // Entries: root 2 + "PNG" names 2 + its languages 1 + 1, then RCData 1 + 1.
        {{8, 1024, 1 << 20}, 2, 2},
        {{7, 1024, 1 << 20}, 2, 2},   // RCData's name cannot have its languages read
        {{6, 1024, 1 << 20}, 1, 2},   // nor RCData its names
        {{3, 1024, 1 << 20}, 1, 0},   // room for the name "AB", not for its languages
        {{2, 1024, 1 << 20}, 0, 0},
        // Text: "PNG" 3 bytes, "AB" 2, "CD" 2.
        {{100, 1024, 7}, 2, 2},
        {{100, 1024, 6}, 2, 1},
        {{100, 1, 1 << 20}, 2, 2},    // names cut to one unit
    };
    for (const Case& c : cases) {
        const auto types = readResourceTree(*image, c.limits);
        ASSERT_EQ(types.size(), c.types) << c.limits.maxEntries << " " << c.limits.maxTextBytes;
        if (!types.empty()) {
            EXPECT_EQ(types[0].names.size(), c.firstTypeNames) << c.limits.maxEntries << " " << c.limits.maxTextBytes;
        }
    }
    const auto cut = readResourceTree(*image, {100, 1, 1 << 20});
    EXPECT_EQ(cut[0].id.text, "P");
    EXPECT_EQ(cut[0].names[1].id.text, "C");
}

TEST(Fuzzed, EveryByteFlipIsSurvived) {
    // Deterministic: each byte of the headers and the resource tree in turn set to 0xFF.
    const PeFile pe = baseModule(test::PeFormat::Pe32);
    const std::size_t treeEnd = pe.layout.resources.front().data;
    for (std::size_t i = 0; i < treeEnd; ++i) {
        if (i >= pe.layout.sectionTable + 80 && i < pe.layout.rsrcRaw) continue;  // padding
        ByteVec bytes = pe.bytes;
        bytes[i] = 0xFF;
        const auto r = TIEModuleResources::FromBytes(bytes);
        walkEverything(*r);
    }
}

}  // namespace
}  // namespace tess
