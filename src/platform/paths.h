// Path text helpers: separators, trailing separators, joining, name parts.
//
// Paths are plain text; nothing here touches the file system. Both '\' and '/' count as
// folder separators in every input, and every path built here uses '/'. None of these
// routines fails: text without the part asked for gives the empty string.
#pragma once

#include <string>
#include <string_view>

namespace tess {

constexpr char kFolderSeparator = '/';

constexpr bool isFolderSeparator(char c) { return c == '\\' || c == '/'; }

// True when the last character is '\' or '/'.
bool endsWithSeparator(std::string_view path);

// The path with a '/' added unless it already ends in a separator; empty stays empty.
std::string withTrailingSeparator(std::string_view path);

// The path without its trailing separators; a path made only of separators keeps one
// ("/" stays "/", "\\" becomes "/").
std::string withoutTrailingSeparator(std::string_view path);

// Every '\' replaced by '/', the form the file system calls take.
std::string toNativePath(std::string_view path);

// folder + '/' + name, with exactly one separator between them; an empty folder gives
// the name alone.
std::string joinPath(std::string_view folder, std::string_view name);

// Position of the last separator, or std::string_view::npos.
std::size_t lastSeparator(std::string_view path);

// The text after the last separator (the whole path when there is none).
std::string fileNamePart(std::string_view path);

// The text before the last separator, separators converted to '/'. A path whose only
// separator is its first character gives "/"; a path without separator gives "".
std::string parentFolder(std::string_view path);

// From the last '.' of the file name part to the end, dot included; "" when the file name
// part has no dot.
std::string extensionOf(std::string_view path);

// ASCII-only case changes; other bytes (including UTF-8 sequences) are kept.
char asciiLower(char c);
char asciiUpper(char c);
std::string asciiLowerCase(std::string_view text);
std::string asciiUpperCase(std::string_view text);
bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b);

}  // namespace tess
