// A read-only mapping of one whole file, released in the destructor.
#pragma once

#include <memory>
#include <string>

#include "platform/byte_reader.h"

namespace tess {

class MappedFile {
public:
    // nullptr when the file is missing, unreadable, not a regular file or empty.
    // '\' and '/' are both taken as folder separators.
    static std::unique_ptr<MappedFile> open(const std::string& fileName);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    Bytes bytes() const { return m_bytes; }

private:
    MappedFile(void* address, std::size_t size);
    void* m_address;
    Bytes m_bytes;
};

}  // namespace tess
