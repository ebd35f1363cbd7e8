// The user's special folders and the system folders, as this Linux build finds them.
//
// Environment variables (HOME, XDG_CONFIG_HOME, WINEPREFIX) are read at every call. The
// user-dirs file is read through a size limit and parsed as untrusted text. Folders that
// the caller cannot do without raise tess::Error with the message the window shows.
#pragma once

#include <string>

namespace tess {

// The first character of the process's current folder.
char CurrentDriveLetter();

// The per-user settings root, without a trailing separator.
std::string AppDataFolder();

// The user's documents and desktop folders, each with a trailing '/'.
std::string DocumentsFolder();
std::string DesktopFolder();

// The folder that stands for the Windows folder and its System32 folder.
std::string WindowsFolder();
std::string System32Folder();

// The default root destination folder, with a trailing '/'.
std::string DefaultDestinationRoot();

// The folder holding the running executable, without a trailing separator; "" when the
// system cannot tell.
std::string ExecutableFolder();

}  // namespace tess
