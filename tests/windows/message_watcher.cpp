#include "message_watcher.h"

#include <array>
#include <chrono>
#include <set>
#include <utility>

namespace korvex::test {
namespace {

std::string ClassOf(HWND window) {
    std::array<char, 64> name{};
    GetClassNameA(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

std::string TextOf(HWND window) {
    std::array<char, 512> text{};
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

BOOL CALLBACK CollectBox(HWND window, LPARAM boxes) {
    if (IsWindowVisible(window) && ClassOf(window) == "#32770")
        reinterpret_cast<std::vector<HWND>*>(boxes)->push_back(window);
    return TRUE;
}

struct BoxParts {
    std::string text;
    HICON icon = nullptr;
};

BOOL CALLBACK CollectParts(HWND child, LPARAM parts) {
    auto* found = reinterpret_cast<BoxParts*>(parts);
    if (ClassOf(child) != "Static") return TRUE;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        found->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else if (std::string text = TextOf(child); !text.empty()) {
        found->text = text;
    }
    return TRUE;
}

ShownBox Inspect(HWND box, HWND watched) {
    ShownBox shown;
    shown.caption = TextOf(box);
    BoxParts parts;
    EnumChildWindows(box, CollectParts, reinterpret_cast<LPARAM>(&parts));
    shown.text = parts.text;
    shown.owner = GetWindow(box, GW_OWNER);
    shown.watchedWindowEnabled = watched == nullptr || IsWindowEnabled(watched);
    shown.okOnly = GetDlgItem(box, IDOK) != nullptr && GetDlgItem(box, IDCANCEL) == nullptr &&
                   GetDlgItem(box, IDYES) == nullptr && GetDlgItem(box, IDNO) == nullptr &&
                   GetDlgItem(box, IDHELP) == nullptr;
    shown.warningIcon =
        parts.icon != nullptr && parts.icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32515));  // IDI_WARNING
    return shown;
}

}  // namespace

MessageWatcher::MessageWatcher(DWORD threadId, HWND watchedWindow)
    : threadId_(threadId), watchedWindow_(watchedWindow), thread_([this] { Run(); }) {}

MessageWatcher::~MessageWatcher() {
    stop_ = true;
    thread_.join();
}

void MessageWatcher::Run() {
    std::set<HWND> dismissed;
    while (!stop_) {
        std::vector<HWND> boxes;
        EnumThreadWindows(threadId_, CollectBox, reinterpret_cast<LPARAM>(&boxes));
        for (HWND box : boxes) {
            if (dismissed.count(box) != 0) continue;
            ShownBox shown = Inspect(box, watchedWindow_);
            if (shown.text.empty()) continue;  // not laid out yet
            dismissed.insert(box);
            {
                std::lock_guard lock(mutex_);
                shown_.push_back(shown);
            }
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        }
        for (auto it = dismissed.begin(); it != dismissed.end();)
            it = IsWindow(*it) ? std::next(it) : dismissed.erase(it);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::vector<ShownBox> MessageWatcher::Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(shown_, {});
}

std::vector<std::string> MessageWatcher::TakeTexts() {
    std::vector<std::string> texts;
    for (const ShownBox& box : Take()) texts.push_back(box.text);
    return texts;
}

}  // namespace korvex::test
