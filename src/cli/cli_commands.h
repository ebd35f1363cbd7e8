// Sub-commands of tessarine-cli. Each takes the arguments after its own name, prints to
// stdout/stderr, and returns the process exit status (0 ok, 1 input not decodable or not
// a valid module, 2 usage error or unreadable/unwritable file).
#pragma once

#include <string>
#include <vector>

namespace tess::cli {

using Args = std::vector<std::string>;

int runStats(const Args& args);
int runTree(const Args& args);
int runFrames(const Args& args);
int runConvert(const Args& args);

}  // namespace tess::cli
