// The name, number and folder routines the main window's commands share: module base
// names, capitalisation, thousands separators, file-size texts, image format extensions,
// colour-depth labels and the module-extension test. The special folders (AppDataFolder,
// DocumentsFolder, DesktopFolder, WindowsFolder, System32Folder, CurrentDriveLetter) and
// FileSizeOf come from the platform layer and are available through this header.
//
// Inputs are texts and numbers from the program itself; paths may use '\' or '/'. None of
// these routines fails except the special folders, which raise tess::Error when a folder
// cannot be found. Case changes touch ASCII letters only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_queries.h"
#include "platform/known_folders.h"

namespace tess {

// The characters in reverse order.
std::string ReverseText(std::string_view text);

// The text after the last '\' or '/'; when there is none, after the last ':'; else the
// whole path.
std::string LastPathPart(std::string_view path);

// LastPathPart cut before its first '.'.
std::string ModuleBaseName(std::string_view path);

// First character upper-cased; every following character upper-cased when the input
// character before it is a blank, ',', '.', ':', ';', '\' or '/', lower-cased otherwise.
std::string CapitalizeWords(std::string_view text);

// The text without its first character ("" stays "").
std::string DropFirstChar(std::string_view text);

// Inserts `separator` before every group of three digits counted from the right, leaving
// the first character alone: "1234567" → "1,234,567". A sign is not treated specially
// ("-123" → "-,123"); callers pass counts and sizes.
std::string InsertThousandSeparators(std::string_view digits, std::string_view separator);

// The user locale's thousands separator (localeconv) and decimal separator.
std::string localeThousandsSeparator();
std::string localeDecimalSeparator();

// InsertThousandSeparators with the locale's thousands separator.
std::string FormatThousands(std::string_view digits);
std::string IntToThousands(std::int32_t value);

// "#.## GB", "#.## MB", "#.## KB" or "#.## Bytes": at most two decimals rounded half up,
// trailing zeros dropped, no digit for zero (0 gives " Bytes"), the locale's decimal
// separator. Takes 64 bits so files of 2 GiB and more show their true size.
std::string FileSizeText(std::int64_t byteCount);

// The extension of image format code 1..29 (".tif" … ".wdp"), "" for any other code.
std::string FormatExtension(int formatCode);

// "RGBA 32-Bit", "RGB 24-Bit", "RGB 8-Bit", "RGB 4-Bit", "RGB 2-Bit" or "Unknown".
std::string ColorDepthText(std::int32_t samplesPerPixel, std::int32_t bitsPerSample);

// True for the extensions .exe .dll .icl .bpl .ocx .scr .cpl in any ASCII case.
bool IsModuleFileName(std::string_view fileName);

}  // namespace tess
