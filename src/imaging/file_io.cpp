// Whole-file reading and positioned output for the codecs.
#include "imaging/file_io.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

#include "platform/error.h"

namespace tess {

namespace {

std::string systemText(int err) { return std::strerror(err); }

[[noreturn]] void cannotOpen(const std::string& name, int err) {
    throw Error("Cannot open file \"" + name + "\". " + systemText(err));
}

// Closes a FILE* on every path out of readFileBytes.
struct FileCloser {
    std::FILE* f;
    ~FileCloser() {
        if (f) std::fclose(f);
    }
};

}  // namespace

std::vector<std::uint8_t> readFileBytes(const std::string& fileName) {
    std::error_code ec;
    if (std::filesystem::is_directory(fileName, ec)) cannotOpen(fileName, EISDIR);
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) cannotOpen(fileName, errno);
    FileCloser closer{f};
    if (std::fseek(f, 0, SEEK_END) != 0) cannotOpen(fileName, errno);
    const long end = std::ftell(f);
    if (end < 0) cannotOpen(fileName, errno);
    if (static_cast<std::uint64_t>(end) > kMaxInputFileBytes) cannotOpen(fileName, EFBIG);
    if (std::fseek(f, 0, SEEK_SET) != 0) cannotOpen(fileName, errno);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(end));
    if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        cannotOpen(fileName, std::ferror(f) ? EIO : ENODATA);
    }
    return bytes;
}

void writeFileBytes(const std::string& fileName, std::span<const std::uint8_t> bytes) {
    OutputFile out(fileName);
    out.write(bytes);
    out.close();
}

OutputFile::OutputFile(const std::string& fileName) : m_name(fileName) {
    m_file = std::fopen(fileName.c_str(), "wb");
    if (!m_file) {
        throw Error("Cannot create file \"" + fileName + "\". " + systemText(errno));
    }
}

OutputFile::~OutputFile() {
    if (m_file) std::fclose(m_file);
}

void OutputFile::fail() const {
    throw Error("Cannot write file \"" + m_name + "\". " + systemText(errno ? errno : EIO));
}

void OutputFile::write(std::span<const std::uint8_t> bytes) {
    if (!m_file) fail();
    if (bytes.empty()) return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) fail();
}

std::uint64_t OutputFile::position() const {
    const long p = m_file ? std::ftell(m_file) : -1;
    if (p < 0) fail();
    return static_cast<std::uint64_t>(p);
}

void OutputFile::seek(std::uint64_t position) {
    errno = 0;
    if (!m_file || position > static_cast<std::uint64_t>(LONG_MAX) ||
        std::fseek(m_file, static_cast<long>(position), SEEK_SET) != 0) {
        fail();
    }
}

void OutputFile::close() {
    if (!m_file) return;
    std::FILE* f = m_file;
    m_file = nullptr;
    errno = 0;
    const bool flushed = std::fflush(f) == 0;
    const bool closed = std::fclose(f) == 0;
    if (!flushed || !closed) {
        throw Error("Cannot write file \"" + m_name + "\". " + systemText(errno ? errno : EIO));
    }
}

std::string lowerExtension(const std::string& fileName) {
    const auto slash = fileName.find_last_of("/\\:");
    const auto dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = fileName.substr(dot);
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return ext;
}

}  // namespace tess
