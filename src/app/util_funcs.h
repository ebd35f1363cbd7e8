// Small shared routines: the product-settings path, line inversion, trailing separators,
// opening a link, and the nested busy cursor.
//
// No widgets: opening a link and showing the busy cursor go through replaceable hooks that
// the desktop program sets. Inputs are trusted texts from the program itself; nothing here
// raises.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tess {

// The folder of the executable with a trailing separator, followed by "vantrel.dll".
std::string GetProductSettingsFileName();

// Each byte replaced by its bitwise complement; the inversion is its own inverse.
std::string InvertText(std::string_view text);

// The path with '/' added unless it ends in '\' or '/'. An empty path stays empty, so a
// name appended to it stays relative rather than turning into a name in the root folder.
std::string AddTrailingBackslash(std::string_view path);

// Asks the desktop to open a link or document; BeginBusy before, EndBusy after, also when
// the opener fails. Failures are not reported.
void OpenLink(const std::string& text);

using LinkOpener = std::function<void(const std::string&)>;
// Replaces the opener and returns the previous one. The default runs "xdg-open TEXT"
// directly (no shell) and does not wait for it.
LinkOpener setLinkOpener(LinkOpener opener);
// The default opener, for restoring it.
void openWithXdgOpen(const std::string& text);

// BeginBusy adds 1 to the busy count and shows the busy cursor, every time. EndBusy takes 1
// away when the count is above 0 and restores the normal cursor when it reaches 0; at 0 it
// does nothing.
void BeginBusy();
void EndBusy();
std::int32_t BusyCount();

// The hook that shows (true) or restores (false) the cursor; empty by default.
using BusyCursorHook = std::function<void(bool busy)>;
BusyCursorHook setBusyCursorHook(BusyCursorHook hook);

// BeginBusy for the lifetime of a scope, EndBusy however the scope ends.
class BusyScope {
public:
    BusyScope() { BeginBusy(); }
    ~BusyScope() { EndBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

}  // namespace tess
