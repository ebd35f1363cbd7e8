#include "support/pe_writer.h"

#include <algorithm>
#include <stdexcept>

#include "support/temp_dir.h"

namespace tess::test {

ResId::ResId(int number) : m_number(static_cast<std::uint16_t>(number)) {
    if (number < 0 || number > 0xFFFF) throw std::invalid_argument("resource id out of 16-bit range");
}

ResId::ResId(const char* utf8) : ResId(std::string_view(utf8)) {}

ResId::ResId(std::string_view utf8) : m_isString(true), m_text(toUtf16(utf8)) {}

ResId ResId::utf16(std::u16string units) {
    ResId id;
    id.m_isString = true;
    id.m_text = std::move(units);
    return id;
}

std::u16string toUtf16(std::string_view s) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 4;
        if (extra == 4 || (extra > 0 && extra >= s.size() - i))
            throw std::invalid_argument("bad UTF-8 in fixture text");
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        for (std::size_t k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

PeWriter& PeWriter::add(const ResId& type, const ResId& name, ByteVec data,
                        std::uint16_t language) {
    m_items.push_back({type, name, language, std::move(data)});
    return *this;
}

void PeFile::writeTo(const std::filesystem::path& file) const { writeFile(file, bytes); }

namespace {

constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::size_t kPeOffset = 0x80;

std::size_t alignUp(std::size_t v, std::size_t a) { return (v + a - 1) / a * a; }

// Format order: string ids first, by code unit; then integer ids ascending.
bool idLess(const ResId& a, const ResId& b) {
    if (a.isString() != b.isString()) return a.isString();
    if (a.isString()) return a.text() < b.text();
    return a.number() < b.number();
}

struct LangNode {
    std::uint16_t language;
    std::size_t item;
    std::size_t dataEntry = 0;  // offsets inside the section
    std::size_t data = 0;
    std::size_t entry = 0;
};
struct NameNode {
    ResId id;
    std::vector<LangNode> langs;
    std::size_t directory = 0;
    std::size_t string = 0;
    std::size_t entry = 0;
};
struct TypeNode {
    ResId id;
    std::vector<NameNode> names;
    std::size_t directory = 0;
    std::size_t string = 0;
    std::size_t entry = 0;
};

void putDirectoryHeader(ByteVec& s, std::size_t at, std::uint16_t named, std::uint16_t ids) {
    // Characteristics, TimeDateStamp, MajorVersion, MinorVersion stay 0.
    setU16(s, at + 12, named);
    setU16(s, at + 14, ids);
}

template <typename Node>
void countIds(const std::vector<Node>& nodes, std::uint16_t& named, std::uint16_t& ids) {
    named = ids = 0;
    for (const Node& n : nodes) (n.id.isString() ? named : ids)++;
}

}  // namespace

PeFile PeWriter::build() const {
    // Group the items into the three-level tree, first appearance first.
    std::vector<TypeNode> types;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        auto t = std::find_if(types.begin(), types.end(), [&](const TypeNode& n) { return n.id == item.type; });
        if (t == types.end()) t = types.insert(types.end(), TypeNode{item.type, {}});
        auto n = std::find_if(t->names.begin(), t->names.end(), [&](const NameNode& x) { return x.id == item.name; });
        if (n == t->names.end()) n = t->names.insert(t->names.end(), NameNode{item.name, {}});
        n->langs.push_back(LangNode{item.language, i});
    }
    if (m_sorted) {
        auto byId = [](const auto& a, const auto& b) { return idLess(a.id, b.id); };
        std::stable_sort(types.begin(), types.end(), byId);
        for (TypeNode& t : types) {
            std::stable_sort(t.names.begin(), t.names.end(), byId);
            for (NameNode& n : t.names)
                std::stable_sort(n.langs.begin(), n.langs.end(),
                                 [](const LangNode& a, const LangNode& b) { return a.language < b.language; });
        }
    }

    // Section layout: root, name directories, language directories, strings, data entries,
    // data (8-aligned).
    std::size_t off = 16 + 8 * types.size();
    for (TypeNode& t : types) {
        t.directory = off;
        off += 16 + 8 * t.names.size();
    }
    for (TypeNode& t : types)
        for (NameNode& n : t.names) {
            n.directory = off;
            off += 16 + 8 * n.langs.size();
        }
    for (TypeNode& t : types) {
        if (t.id.isString()) { t.string = off; off += 2 + 2 * t.id.text().size(); }
        for (NameNode& n : t.names)
            if (n.id.isString()) { n.string = off; off += 2 + 2 * n.id.text().size(); }
    }
    off = alignUp(off, 4);
    for (TypeNode& t : types)
        for (NameNode& n : t.names)
            for (LangNode& l : n.langs) { l.dataEntry = off; off += 16; }
    for (TypeNode& t : types)
        for (NameNode& n : t.names)
            for (LangNode& l : n.langs) {
                off = alignUp(off, 8);
                l.data = off;
                off += m_items[l.item].data.size();
            }
    const std::size_t rsrcSize = off;

    const bool pe64 = m_format == PeFormat::Pe32Plus;
    const std::size_t optionalSize = pe64 ? 240 : 224;
    const std::size_t sections = (m_textSection ? 1 : 0) + (m_resourceDirectory ? 1 : 0);
    PeLayout L;
    L.peSignature = kPeOffset;
    L.coffHeader = kPeOffset + 4;
    L.optionalHeader = L.coffHeader + 20;
    L.numberOfRvaAndSizes = L.optionalHeader + (pe64 ? 108 : 92);
    L.resourceDirectoryEntry = L.optionalHeader + (pe64 ? 112 : 96) + 2 * 8;
    L.sectionTable = L.optionalHeader + optionalSize;
    const std::size_t headersSize = alignUp(L.sectionTable + 40 * sections, kFileAlignment);
    const std::uint32_t textRva = kSectionAlignment;
    const std::size_t textRaw = headersSize;
    L.rsrcRva = m_textSection ? 2 * kSectionAlignment : kSectionAlignment;
    L.rsrcRaw = headersSize + (m_textSection ? kFileAlignment : 0);
    const std::size_t rsrcRawSize = alignUp(rsrcSize, kFileAlignment);
    const std::size_t fileSize = m_resourceDirectory ? L.rsrcRaw + rsrcRawSize : L.rsrcRaw;
    const std::size_t imageSize =
        alignUp(m_resourceDirectory ? L.rsrcRva + rsrcSize : L.rsrcRva, kSectionAlignment);

    ByteVec b(fileSize, 0);
    // DOS header: "MZ" and the offset of the PE header.
    b[0] = 'M';
    b[1] = 'Z';
    setU32(b, L.lfanewField, static_cast<std::uint32_t>(kPeOffset));
    b[kPeOffset] = 'P';
    b[kPeOffset + 1] = 'E';
    // COFF header.
    setU16(b, L.coffHeader + 0, pe64 ? 0x8664 : 0x014C);             // machine
    setU16(b, L.coffHeader + 2, static_cast<std::uint16_t>(sections));
    setU16(b, L.coffHeader + 16, static_cast<std::uint16_t>(optionalSize));
    setU16(b, L.coffHeader + 18, pe64 ? 0x2022 : 0x2102);            // DLL, executable image
    // Optional header.
    const std::size_t o = L.optionalHeader;
    setU16(b, o + 0, pe64 ? 0x20B : 0x10B);                          // magic
    if (pe64) {
        setU32(b, o + 24, 0x80000000u);                              // ImageBase low
        setU32(b, o + 28, 0x1);                                      // ImageBase high
    } else {
        setU32(b, o + 28, 0x10000000u);                              // ImageBase
    }
    setU32(b, o + 32, kSectionAlignment);
    setU32(b, o + 36, kFileAlignment);
    setU16(b, o + 40, 4);                                            // OS version 4.0
    setU16(b, o + 48, 4);                                            // subsystem version 4.0
    setU32(b, o + 56, static_cast<std::uint32_t>(imageSize));
    setU32(b, o + 60, static_cast<std::uint32_t>(headersSize));
    setU16(b, o + 68, 2);                                            // Windows GUI subsystem
    setU32(b, L.numberOfRvaAndSizes, 16);
    if (m_resourceDirectory) {
        setU32(b, L.resourceDirectoryEntry, L.rsrcRva);
        setU32(b, L.resourceDirectoryEntry + 4, static_cast<std::uint32_t>(rsrcSize));
    }
    // Section headers.
    std::size_t sh = L.sectionTable;
    auto section = [&](const char* name, std::uint32_t vsize, std::uint32_t rva, std::size_t rawSize,
                       std::size_t raw, std::uint32_t flags) {
        for (int i = 0; name[i] && i < 8; ++i) b[sh + i] = static_cast<std::uint8_t>(name[i]);
        setU32(b, sh + 8, vsize);
        setU32(b, sh + 12, rva);
        setU32(b, sh + 16, static_cast<std::uint32_t>(rawSize));
        setU32(b, sh + 20, static_cast<std::uint32_t>(raw));
        setU32(b, sh + 36, flags);
        sh += 40;
    };
    if (m_textSection) section(".text", 0x10, textRva, kFileAlignment, textRaw, 0x60000020);
    L.rsrcSectionHeader = sh;
    if (!m_resourceDirectory) {
        PeFile file{std::move(b), L};
        return file;
    }
    section(".rsrc", static_cast<std::uint32_t>(rsrcSize), L.rsrcRva, rsrcRawSize, L.rsrcRaw, 0x40000040);

    // Resource tree.
    ByteVec s(rsrcSize, 0);
    std::uint16_t named = 0, ids = 0;
    countIds(types, named, ids);
    putDirectoryHeader(s, 0, named, ids);
    auto idField = [](const ResId& id, std::size_t stringOffset) {
        return id.isString() ? 0x80000000u | static_cast<std::uint32_t>(stringOffset) : id.number();
    };
    auto putString = [&](std::size_t at, const std::u16string& text) {
        setU16(s, at, static_cast<std::uint16_t>(text.size()));
        for (std::size_t i = 0; i < text.size(); ++i) setU16(s, at + 2 + 2 * i, text[i]);
    };
    L.resources.resize(m_items.size());
    for (std::size_t ti = 0; ti < types.size(); ++ti) {
        TypeNode& t = types[ti];
        t.entry = 16 + 8 * ti;
        setU32(s, t.entry, idField(t.id, t.string));
        setU32(s, t.entry + 4, 0x80000000u | static_cast<std::uint32_t>(t.directory));
        if (t.id.isString()) putString(t.string, t.id.text());
        countIds(t.names, named, ids);
        putDirectoryHeader(s, t.directory, named, ids);
        for (std::size_t ni = 0; ni < t.names.size(); ++ni) {
            NameNode& n = t.names[ni];
            n.entry = t.directory + 16 + 8 * ni;
            setU32(s, n.entry, idField(n.id, n.string));
            setU32(s, n.entry + 4, 0x80000000u | static_cast<std::uint32_t>(n.directory));
            if (n.id.isString()) putString(n.string, n.id.text());
            putDirectoryHeader(s, n.directory, 0, static_cast<std::uint16_t>(n.langs.size()));
            for (std::size_t li = 0; li < n.langs.size(); ++li) {
                LangNode& l = n.langs[li];
                l.entry = n.directory + 16 + 8 * li;
                setU32(s, l.entry, l.language);
                setU32(s, l.entry + 4, static_cast<std::uint32_t>(l.dataEntry));
                const ByteVec& data = m_items[l.item].data;
                setU32(s, l.dataEntry, L.rsrcRva + static_cast<std::uint32_t>(l.data));
                setU32(s, l.dataEntry + 4, static_cast<std::uint32_t>(data.size()));
                std::copy(data.begin(), data.end(), s.begin() + static_cast<std::ptrdiff_t>(l.data));
                ResourceLayout& r = L.resources[l.item];
                r.typeEntry = L.rsrcRaw + t.entry;
                r.nameDirectory = L.rsrcRaw + t.directory;
                r.nameEntry = L.rsrcRaw + n.entry;
                r.languageDirectory = L.rsrcRaw + n.directory;
                r.languageEntry = L.rsrcRaw + l.entry;
                r.dataEntry = L.rsrcRaw + l.dataEntry;
                r.data = L.rsrcRaw + l.data;
                r.dataRva = L.rsrcRva + static_cast<std::uint32_t>(l.data);
            }
        }
    }
    L.rootDirectory = L.rsrcRaw;
    std::copy(s.begin(), s.end(), b.begin() + static_cast<std::ptrdiff_t>(L.rsrcRaw));
    return PeFile{std::move(b), L};
}

}  // namespace tess::test
