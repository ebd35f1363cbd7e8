// Test fixture: well-formed modules built at test time by the MinGW binutils.
//
// buildWindresModule writes `rcText` to dir/<stem>.rc, compiles it with windres
// (TESS_WINDRES, preprocessed by cpp) and links the object into a resource-only DLL
// with ld (TESS_MINGW_LD, or TESS_MINGW32_LD for PE32). Files the .rc names (icons,
// bitmaps) must be written into `dir` first; the tools run with `dir` as working folder.
// Callers GTEST_SKIP when windresAvailable() is false.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "support/pe_writer.h"
#include "support/temp_dir.h"

namespace tess::test {

// True when windres and the linker for `format` were found at configure time.
bool windresAvailable(PeFormat format = PeFormat::Pe32Plus);

struct WindresOptions {
    PeFormat format = PeFormat::Pe32Plus;
    std::string stem = "module";  // output is dir/<stem>.dll
};

// The built module, or nullopt with the tool's command and output in *error.
std::optional<std::filesystem::path> buildWindresModule(const TempDir& dir, std::string_view rcText,
                                                        std::string* error = nullptr,
                                                        const WindresOptions& options = {});

}  // namespace tess::test
