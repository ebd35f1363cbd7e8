// The exception type that carries a user-facing message.
//
// Failures that reach the user (a file that cannot be opened or created, a folder that
// cannot be found) are raised as tess::Error with the exact text the window shows.
#pragma once

#include <stdexcept>
#include <string>

namespace tess {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace tess
