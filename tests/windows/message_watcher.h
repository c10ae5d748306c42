// Stands in for the person at the screen: watches one thread's message boxes from a second
// thread, records what each showed and how its owner looked meanwhile, and presses OK.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace korvex::test {

struct ShownBox {
    std::string caption;
    std::string text;
    HWND owner = nullptr;              // the box's owner window, or none
    bool watchedWindowEnabled = true;  // the state of the watched window while the box was up
    bool okOnly = false;               // an OK button and no Cancel, Yes, No or Help button
    bool warningIcon = false;          // the system's warning (exclamation) icon
};

class MessageWatcher {
public:
    // Watches the boxes that thread threadId shows; watchedWindow (if any) is the window whose
    // enabled state each box records.
    explicit MessageWatcher(DWORD threadId, HWND watchedWindow = nullptr);
    ~MessageWatcher();
    MessageWatcher(const MessageWatcher&) = delete;
    MessageWatcher& operator=(const MessageWatcher&) = delete;

    // The boxes dismissed since the last call.
    std::vector<ShownBox> Take();
    // Their texts only.
    std::vector<std::string> TakeTexts();

private:
    void Run();

    DWORD threadId_;
    HWND watchedWindow_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<ShownBox> shown_;
    std::thread thread_;
};

}  // namespace korvex::test
