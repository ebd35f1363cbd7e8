// Build tool: turns plain INI text into the product-settings file, every line's bytes
// inverted and the lines ended with CR LF.
//
// usage: tess_invert_settings INPUT OUTPUT
#include <cstdio>
#include <string>

#include "app/product_settings.h"
#include "app/util_funcs.h"
#include "platform/file_queries.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: tess_invert_settings INPUT OUTPUT\n", stderr);
        return 2;
    }
    const std::string input = argv[1];
    const std::string output = argv[2];
    const tess::FileReadResult file = tess::readWholeFile(input, tess::kMaxProductSettingsSize);
    if (!file.ok) {
        std::fprintf(stderr, "tess_invert_settings: cannot read %s: %s\n", input.c_str(),
                     tess::systemErrorText(file.errorCode).c_str());
        return 1;
    }
    std::string out;
    int lineNumber = 0;
    for (const std::string& line : tess::splitLines(file.bytes)) {
        ++lineNumber;
        // These bytes would invert to CR, LF or NUL and break the line structure.
        for (char c : line) {
            const auto b = static_cast<unsigned char>(c);
            if (b == 0xF2 || b == 0xF5 || b == 0xFF) {
                std::fprintf(stderr, "tess_invert_settings: %s:%d: byte 0x%02X cannot be stored\n",
                             input.c_str(), lineNumber, b);
                return 1;
            }
        }
        out += tess::InvertText(line);
        out += "\r\n";
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(out.data());
    if (const int error = tess::writeWholeFile(output, {data, out.size()}); error != 0) {
        std::fprintf(stderr, "tess_invert_settings: cannot write %s: %s\n", output.c_str(),
                     tess::systemErrorText(error).c_str());
        return 1;
    }
    return 0;
}
