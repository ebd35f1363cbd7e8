// File and folder queries: existence, sizes, folder creation, whole-file reads and writes.
//
// Paths may use '\' or '/' as separators. Nothing here raises: queries answer false or
// -1, reads and writes report the system error code (errno) so that callers can word the
// message. Reads never trust the file: they stop at an explicit byte limit and accept
// regular files only, so a FIFO or device cannot block or flood the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

// Size in bytes of the file or folder of that name; a folder reports 0, as a directory
// entry of a file search does. -1 when nothing of that name exists. Wildcards have no
// special meaning: the name is looked up exactly.
std::int64_t FileSizeOf(std::string_view path);

bool fileExists(std::string_view path);    // a regular file (symbolic links followed)
bool folderExists(std::string_view path);  // a folder (symbolic links followed)

// Creates the folder and every missing parent. True when the folder exists afterwards.
bool createFolders(std::string_view path);

struct FileReadResult {
    bool ok = false;
    std::vector<std::uint8_t> bytes;
    int errorCode = 0;  // errno; EFBIG when the file is larger than the limit
};

// Reads a regular file of at most `limit` bytes.
FileReadResult readWholeFile(std::string_view path, std::size_t limit);

// Replaces the file's contents (creating it). 0 on success, else the errno value.
int writeWholeFile(std::string_view path, std::span<const std::uint8_t> bytes);

// The system's text for an errno value ("No such file or directory").
std::string systemErrorText(int errorCode);

}  // namespace tess
