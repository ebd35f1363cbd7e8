// Reading the product-settings file vantrel.dll: INI text with every byte of each line
// inverted, stored beside the executable.
//
// The file is untrusted: it is read through a size limit (kMaxProductSettingsSize),
// split into lines at CR LF, lone CR or lone LF, each line inverted and cut at a NUL, and
// handed to MemIniFile, which ignores whatever is not INI text. A missing or unreadable
// file raises tess::Error("Cannot open file \"<path>\". <system reason>").
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/byte_reader.h"
#include "platform/ini_file.h"

namespace tess {

constexpr std::size_t kMaxProductSettingsSize = 1024 * 1024;

// Splits raw bytes into lines at CR LF, lone CR or lone LF; the break after the last line
// is optional and adds no empty line.
std::vector<std::string> splitLines(Bytes bytes);

// The settings file read, split and inverted line by line.
MemIniFile readProductSettings(const std::string& path);

// [SYSTEM] Name, the application title; "" when absent.
std::string readApplicationTitle(const std::string& path);

// Reads the nine [SYSTEM] keys of the product information into GlobalVars.
void ReadProductInfo(const std::string& path);

}  // namespace tess
