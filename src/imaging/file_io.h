// Whole-file reading and a small output file with positioning, for the codecs.
//
// Errors raise tess::Error with the messages the user sees:
// "Cannot open file \"%s\". %s" and "Cannot create file \"%s\". %s" (path, system text).
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace tess {

// Files above this size are refused by readFileBytes (no image file we read is larger).
inline constexpr std::uint64_t kMaxInputFileBytes = std::uint64_t{1} << 30;

std::vector<std::uint8_t> readFileBytes(const std::string& fileName);

// Writes `bytes` to the file, creating or truncating it.
void writeFileBytes(const std::string& fileName, std::span<const std::uint8_t> bytes);

// An output file opened for writing (created or truncated); closed by the destructor.
class OutputFile {
public:
    explicit OutputFile(const std::string& fileName);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(std::span<const std::uint8_t> bytes);
    std::uint64_t position() const;
    void seek(std::uint64_t position);
    // Flushes and closes; raises when the data could not be written.
    void close();

private:
    [[noreturn]] void fail() const;

    std::string m_name;
    std::FILE* m_file = nullptr;
};

// Lower-case extension with its dot ("" when the name has none): "A.ICO" gives ".ico".
std::string lowerExtension(const std::string& fileName);

}  // namespace tess
