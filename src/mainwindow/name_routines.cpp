// Name, number and folder routines.
#include "mainwindow/name_routines.h"

#include <array>
#include <clocale>

#include "platform/paths.h"

namespace tess {

std::string ReverseText(std::string_view text) { return std::string(text.rbegin(), text.rend()); }

std::string LastPathPart(std::string_view path) {
    std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string_view::npos) cut = path.rfind(':');
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string ModuleBaseName(std::string_view path) {
    std::string part = LastPathPart(path);
    const std::size_t dot = part.find('.');
    if (dot != std::string::npos) part.resize(dot);
    return part;
}

std::string CapitalizeWords(std::string_view text) {
    auto isWordSeparator = [](char c) {
        return c == ' ' || c == ',' || c == '.' || c == ':' || c == ';' || c == '\\' || c == '/';
    };
    std::string result(text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsWord = i == 0 || isWordSeparator(text[i - 1]);
        result[i] = startsWord ? asciiUpper(text[i]) : asciiLower(text[i]);
    }
    return result;
}

std::string DropFirstChar(std::string_view text) {
    return text.empty() ? std::string() : std::string(text.substr(1));
}

std::string InsertThousandSeparators(std::string_view digits, std::string_view separator) {
    std::string result(digits);
    // p counts from 1; each insertion lies right of the next one, so the positions left of
    // it do not move.
    for (std::ptrdiff_t p = static_cast<std::ptrdiff_t>(digits.size()) - 2; p > 1; p -= 3) {
        result.insert(static_cast<std::size_t>(p - 1), separator);
    }
    return result;
}

// The C and POSIX locales carry no thousands separator; there the comma is used, since
// counts in this program are always shown grouped.
std::string localeThousandsSeparator() {
    const std::lconv* conv = std::localeconv();
    if (conv == nullptr || conv->thousands_sep == nullptr || conv->thousands_sep[0] == '\0') {
        return ",";
    }
    return conv->thousands_sep;
}

// A locale without a decimal point text falls back to '.'.
std::string localeDecimalSeparator() {
    const std::lconv* conv = std::localeconv();
    if (conv == nullptr || conv->decimal_point == nullptr || conv->decimal_point[0] == '\0') {
        return ".";
    }
    return conv->decimal_point;
}

std::string FormatThousands(std::string_view digits) {
    return InsertThousandSeparators(digits, localeThousandsSeparator());
}

std::string IntToThousands(std::int32_t value) { return FormatThousands(std::to_string(value)); }

std::string FileSizeText(std::int64_t byteCount) {
    struct Unit {
        std::int64_t divisor;
        const char* text;
    };
    static constexpr std::array<Unit, 3> kUnits{{{1073741824, " GB"}, {1048576, " MB"}, {1024, " KB"}}};
    for (const Unit& unit : kUnits) {
        if (byteCount < unit.divisor) continue;
        // Hundredths of the quotient, rounded half up, in integers: the quotient of a
        // power of two is exact in binary, and 1.125 must round to 1.13.
        const std::int64_t whole = byteCount / unit.divisor;
        const std::int64_t rest = byteCount % unit.divisor;
        const std::int64_t hundredths = whole * 100 + (rest * 200 + unit.divisor) / (2 * unit.divisor);
        std::string text = std::to_string(hundredths / 100);
        const std::int64_t fraction = hundredths % 100;
        if (fraction != 0) {
            text += localeDecimalSeparator();
            text += static_cast<char>('0' + fraction / 10);
            if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
        }
        return text + unit.text;
    }
    // The pattern shows no digit for zero.
    return (byteCount == 0 ? std::string() : std::to_string(byteCount)) + " Bytes";
}

std::string FormatExtension(int formatCode) {
    static constexpr std::array<const char*, 29> kExtensions{
        ".tif", ".gif", ".jpg", ".pcx", ".bmp",  ".ico",  ".cur", ".png", ".wmf", ".emf",
        ".tga", ".ppm", ".jp2", ".j2k", ".avi",  ".wbmp", ".ps",  ".pdf", ".dcx", ".raw",
        ".braw", ".wmv", ".mpeg", ".psd", ".iev", ".lyr", ".all", ".dcm", ".wdp"};
    if (formatCode < 1 || formatCode > static_cast<int>(kExtensions.size())) return {};
    return kExtensions[static_cast<std::size_t>(formatCode - 1)];
}

std::string ColorDepthText(std::int32_t samplesPerPixel, std::int32_t bitsPerSample) {
    if (samplesPerPixel == 4 && bitsPerSample == 8) return "RGBA 32-Bit";
    if (samplesPerPixel == 3 && bitsPerSample == 8) return "RGB 24-Bit";
    if (samplesPerPixel == 1) {
        if (bitsPerSample == 8) return "RGB 8-Bit";
        if (bitsPerSample == 4) return "RGB 4-Bit";
        if (bitsPerSample == 2) return "RGB 2-Bit";
    }
    return "Unknown";
}

bool IsModuleFileName(std::string_view fileName) {
    const std::string part = LastPathPart(fileName);
    const std::size_t dot = part.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string extension = asciiLowerCase(std::string_view(part).substr(dot));
    for (const char* module : {".exe", ".dll", ".icl", ".bpl", ".ocx", ".scr", ".cpl"}) {
        if (extension == module) return true;
    }
    return false;
}

}  // namespace tess
