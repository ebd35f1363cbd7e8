#include "resources/mapped_file.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tess {

std::unique_ptr<MappedFile> MappedFile::open(const std::string& fileName) {
    std::string path = fileName;
    std::replace(path.begin(), path.end(), '\\', '/');
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    void* address = MAP_FAILED;
    std::size_t size = 0;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        size = static_cast<std::size_t>(info.st_size);
        address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    }
    // The mapping stays valid after the descriptor is closed.
    ::close(fd);
    if (address == MAP_FAILED) return nullptr;
    return std::unique_ptr<MappedFile>(new MappedFile(address, size));
}

MappedFile::MappedFile(void* address, std::size_t size)
    : m_address(address), m_bytes(static_cast<const std::uint8_t*>(address), size) {}

MappedFile::~MappedFile() { ::munmap(m_address, m_bytes.size()); }

}  // namespace tess
