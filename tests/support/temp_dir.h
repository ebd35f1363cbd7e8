// Test helpers: a temporary folder removed when it goes out of scope, and whole-file
// reading and writing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tess::test {

// A fresh, uniquely named folder below /tmp (or $TMPDIR); removed with its contents in the
// destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // path() / name (no file is created).
    std::filesystem::path file(std::string_view name) const { return m_path / name; }
    // path() / name as a UTF-8 string, the form the readers take.
    std::string str(std::string_view name) const { return file(name).string(); }

private:
    std::filesystem::path m_path;
};

// Write `bytes` (or `text`) to `file`, replacing it; throws std::runtime_error on failure.
void writeFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);
void writeFile(const std::filesystem::path& file, std::string_view text);
// The whole file; throws std::runtime_error when it cannot be read.
std::vector<std::uint8_t> readFile(const std::filesystem::path& file);

}  // namespace tess::test
