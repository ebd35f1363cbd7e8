#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include <unistd.h>

namespace tess::test {

TempDir::TempDir() {
    std::filesystem::path base = std::filesystem::temp_directory_path();
    std::string pattern = (base / "tess-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder below " + base.string());
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;  // a destructor must not throw; a leftover folder is harmless
    std::filesystem::remove_all(m_path, ec);
}

void writeFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

void writeFile(const std::filesystem::path& file, std::string_view text) {
    writeFile(file, std::span<const std::uint8_t>(
                        reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tess::test
