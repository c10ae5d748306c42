// The warning box on Windows: the text from the library's own string resources, shown with
// MessageBoxA, owned by the calling thread's active window, with the top-level window above that
// owner disabled while the box is up.
#include <array>

#include "diagnostics/log.h"
#include "platform/message_box.h"
#include "platform/win32/own_module_win32.h"

namespace korvex::platform {
namespace {

struct BoxOwner {
    HWND owner = nullptr;           // the box's owner, or none
    HWND disabledWindow = nullptr;  // the top-level window disabled for the box, or none
};

// From the active window, climb out of child windows to the first non-child window; its last
// active pop-up owns the box. The top of that window's parent chain is disabled while the box is
// shown, unless it is the owner itself (MessageBoxA disables that one) or already disabled.
BoxOwner FindOwner() {
    BoxOwner found;
    HWND window = GetActiveWindow();
    while (window != nullptr && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0) window = GetParent(window);
    if (window == nullptr) return found;
    found.owner = GetLastActivePopup(window);
    HWND top = window;
    for (HWND parent = GetParent(top); parent != nullptr; parent = GetParent(parent)) top = parent;
    if (top != found.owner && IsWindowEnabled(top)) {
        EnableWindow(top, FALSE);
        found.disabledWindow = top;
    }
    return found;
}

}  // namespace

void ShowModalWarning(uint32_t messageId, const char* caption, const char* text) {
    std::array<char, 512> loaded{};
    const int length = LoadStringA(OwnModule(), messageId, loaded.data(), static_cast<int>(loaded.size()));
    const char* shown = length > 0 ? loaded.data() : text;  // the resource, else the built-in text

    const BoxOwner owner = FindOwner();
    if (MessageBoxA(owner.owner, shown, caption, MB_OK | MB_ICONWARNING) != 0) {
        KX_LOG(diagnostics::Domain::Message, diagnostics::Level::Info, diagnostics::kNoCamera,
               "message box shown: \"%s\"", shown);
    } else {
        KX_LOG(diagnostics::Domain::Message, diagnostics::Level::Warn, diagnostics::kNoCamera,
               "message box \"%s\" could not be shown (error %lu)", shown, static_cast<unsigned long>(GetLastError()));
    }
    if (owner.disabledWindow != nullptr) EnableWindow(owner.disabledWindow, TRUE);
}

}  // namespace korvex::platform
