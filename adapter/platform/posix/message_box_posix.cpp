// The warning box on POSIX: the host's own dialog program, else a desktop dialog; standard error
// when neither showed it.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "diagnostics/log.h"
#include "platform/message_box.h"

extern char** environ;

namespace korvex::platform {
namespace {

// Runs program with argv and waits for it. True only when it ran and exited with status 0: a
// program that could not start, failed (no reachable display, for one) or was killed has shown
// nothing, and the caller must reach the user another way.
bool RunAndWait(const char* program, char* const argv[]) {
    pid_t child = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool HasDisplay() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

bool ShowDesktopDialog(const char* caption, const char* text) {
    if (!HasDisplay()) return false;
    std::string title = std::string("--title=") + caption;
    std::string body = std::string("--text=") + text;
    char* zenity[] = {const_cast<char*>("zenity"), const_cast<char*>("--warning"), title.data(), body.data(), nullptr};
    if (RunAndWait("zenity", zenity)) return true;
    char* kdialog[] = {const_cast<char*>("kdialog"), const_cast<char*>("--title"), const_cast<char*>(caption),
                       const_cast<char*>("--sorry"), const_cast<char*>(text),      nullptr};
    if (RunAndWait("kdialog", kdialog)) return true;
    char* xmessage[] = {const_cast<char*>("xmessage"), const_cast<char*>("-center"),
                        const_cast<char*>("-title"),   const_cast<char*>(caption),
                        const_cast<char*>("-buttons"), const_cast<char*>("OK:0"),
                        const_cast<char*>(text),       nullptr};
    return RunAndWait("xmessage", xmessage);
}

bool ShowWithDialog(const char* caption, const char* text) {
    const char* program = std::getenv("KORVEX_DIALOG");
    if (program == nullptr || *program == '\0') return ShowDesktopDialog(caption, text);
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(caption), const_cast<char*>(text), nullptr};
    return RunAndWait(program, argv);
}

}  // namespace

// Standard error is the last resort, so that a message no dialog could show is still seen.
void ShowModalWarning(uint32_t /*messageId*/, const char* caption, const char* text) {
    using diagnostics::Domain;
    using diagnostics::Level;
    if (ShowWithDialog(caption, text)) {
        KX_LOG(Domain::Message, Level::Info, diagnostics::kNoCamera, "message box shown: \"%s\"", text);
        return;
    }
    KX_LOG(Domain::Message, Level::Warn, diagnostics::kNoCamera,
           "message box \"%s\" could not be shown (no dialog program ran); written to standard error", text);
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

}  // namespace korvex::platform
