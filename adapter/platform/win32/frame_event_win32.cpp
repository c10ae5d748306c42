// Frame event on Windows: an unnamed auto-reset event object; a retained reference is a duplicate
// handle, so the object lives until the last handle to it is closed.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/frame_event.h"

namespace korvex::platform {
namespace {

HANDLE ToHandle(FrameEvent event) { return reinterpret_cast<HANDLE>(event); }

}  // namespace

FrameEvent CreateFrameEvent() {
    // No security attributes, auto-reset, initially non-signalled, no name.
    return reinterpret_cast<FrameEvent>(CreateEventA(nullptr, FALSE, FALSE, nullptr));
}

void SignalFrameEvent(FrameEvent event) {
    if (event != 0) SetEvent(ToHandle(event));
}

WaitResult WaitFrameEvent(FrameEvent event, uint32_t timeoutMs) {
    if (event == 0) return WaitResult::Failed;
    static_assert(kWaitForever == INFINITE);
    switch (WaitForSingleObject(ToHandle(event), timeoutMs)) {
        case WAIT_OBJECT_0: return WaitResult::Signalled;
        case WAIT_TIMEOUT: return WaitResult::TimedOut;
        default: return WaitResult::Failed;
    }
}

FrameEvent RetainFrameEvent(FrameEvent event) {
    if (event == 0) return 0;
    HANDLE process = GetCurrentProcess();
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process, ToHandle(event), process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) return 0;
    return reinterpret_cast<FrameEvent>(copy);
}

void CloseFrameEvent(FrameEvent event) {
    if (event != 0) CloseHandle(ToHandle(event));
}

}  // namespace korvex::platform
