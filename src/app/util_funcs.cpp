// Unit UtilFuncs.
#include "app/util_funcs.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>

#include <thread>
#include <vector>

#include "platform/paths.h"
#include "platform/known_folders.h"

extern char** environ;

namespace tess {

namespace {

std::int32_t g_busyCount = 0;
BusyCursorHook g_cursorHook;
LinkOpener g_linkOpener = openWithXdgOpen;

}  // namespace

std::string GetProductSettingsFileName() {
    return AddTrailingBackslash(ExecutableFolder()) + "vantrel.dll";
}

std::string InvertText(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(~static_cast<unsigned char>(c));
    return result;
}

std::string AddTrailingBackslash(std::string_view path) { return withTrailingSeparator(path); }

void openWithXdgOpen(const std::string& text) {
    std::string program = "xdg-open";
    std::string argument = text;
    std::vector<char*> argv{program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return;
    // Reap the child without making the caller wait for the desktop to finish opening.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

LinkOpener setLinkOpener(LinkOpener opener) {
    LinkOpener previous = std::move(g_linkOpener);
    g_linkOpener = std::move(opener);
    return previous;
}

void OpenLink(const std::string& text) {
    BusyScope busy;
    try {
        if (g_linkOpener) g_linkOpener(text);
    } catch (...) {
        // A link that cannot be opened does nothing visible.
    }
}

void BeginBusy() {
    ++g_busyCount;
    if (g_cursorHook) g_cursorHook(true);
}

void EndBusy() {
    if (g_busyCount <= 0) return;
    --g_busyCount;
    if (g_busyCount == 0 && g_cursorHook) g_cursorHook(false);
}

std::int32_t BusyCount() { return g_busyCount; }

BusyCursorHook setBusyCursorHook(BusyCursorHook hook) {
    BusyCursorHook previous = std::move(g_cursorHook);
    g_cursorHook = std::move(hook);
    return previous;
}

}  // namespace tess
