// File and folder queries over POSIX calls.
#include "platform/file_queries.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"

namespace tess {

namespace {

bool statPath(std::string_view path, struct stat& st) {
    if (path.empty()) return false;
    const std::string native = toNativePath(path);
    return ::stat(native.c_str(), &st) == 0;
}

// Closes a descriptor on every path out of a function.
class FdCloser {
public:
    explicit FdCloser(int fd) : m_fd(fd) {}
    ~FdCloser() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    // Closes now and reports the close's errno (0 when fine).
    int closeNow() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

}  // namespace

std::int64_t FileSizeOf(std::string_view path) {
    struct stat st {};
    if (!statPath(path, st)) return -1;
    if (S_ISDIR(st.st_mode)) return 0;
    return static_cast<std::int64_t>(st.st_size);
}

bool fileExists(std::string_view path) {
    struct stat st {};
    return statPath(path, st) && S_ISREG(st.st_mode);
}

bool folderExists(std::string_view path) {
    struct stat st {};
    return statPath(path, st) && S_ISDIR(st.st_mode);
}

bool createFolders(std::string_view path) {
    const std::string native = withoutTrailingSeparator(toNativePath(path));
    if (native.empty()) return false;
    if (folderExists(native)) return true;
    // Create each missing level from the top down.
    for (std::size_t pos = native.find('/', 1);; pos = native.find('/', pos + 1)) {
        const std::string prefix = native.substr(0, pos);
        if (!folderExists(prefix) && ::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
            return false;
        }
        if (pos == std::string::npos) break;
    }
    return folderExists(native);
}

FileReadResult readWholeFile(std::string_view path, std::size_t limit) {
    FileReadResult result;
    if (path.empty()) {
        result.errorCode = ENOENT;
        return result;
    }
    const std::string native = toNativePath(path);
    // O_NONBLOCK keeps open() of a FIFO from waiting for a writer; the type test below
    // then refuses it.
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.errorCode = errno;
        return result;
    }
    FdCloser closer(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        result.errorCode = errno;
        return result;
    }
    if (S_ISDIR(st.st_mode)) {
        result.errorCode = EISDIR;
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.errorCode = EINVAL;
        return result;
    }
    if (st.st_size > 0 && static_cast<std::uint64_t>(st.st_size) > limit) {
        result.errorCode = EFBIG;
        return result;
    }
    // The size reported may change while reading; the limit is enforced on what arrives.
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            result.errorCode = errno;
            return result;
        }
        if (got == 0) break;
        const auto count = static_cast<std::size_t>(got);
        if (count > limit - bytes.size()) {
            result.errorCode = EFBIG;
            return result;
        }
        bytes.insert(bytes.end(), chunk, chunk + count);
    }
    result.ok = true;
    result.bytes = std::move(bytes);
    return result;
}

int writeWholeFile(std::string_view path, std::span<const std::uint8_t> bytes) {
    if (path.empty()) return ENOENT;
    const std::string native = toNativePath(path);
    const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    FdCloser closer(fd);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(put);
    }
    return closer.closeNow();
}

std::string systemErrorText(int errorCode) {
    char buffer[256] = {};
    // GNU strerror_r returns the text (possibly not in the buffer); XSI returns an int.
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    return ::strerror_r(errorCode, buffer, sizeof buffer);
#else
    if (::strerror_r(errorCode, buffer, sizeof buffer) != 0) return "Unknown error";
    return buffer;
#endif
}

}  // namespace tess
