// The program's entry sequence: product settings, application title and icon, the main
// window and the message loop.
#pragma once

namespace tess {

// Reads vantrel.dll beside the executable (its [SYSTEM] "Name" becomes the application
// title) and icon.ico beside it (the application and window icon), creates the main
// window and runs until it closes. A file that cannot be read is reported in a message box
// (on stderr when TESS_ERRORS_TO_STDERR is set) and ends the program with exit code 1.
int ProgramEntry(int argc, char** argv);

}  // namespace tess
