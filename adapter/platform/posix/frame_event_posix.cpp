// Frame event on POSIX: a flag under a mutex, a condition variable, and a reference count.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

#include "platform/frame_event.h"

namespace korvex::platform {
namespace {

struct EventObject {
    std::mutex mutex;
    std::condition_variable changed;
    bool signalled = false;
    std::atomic<int32_t> references{1};
};

EventObject* ToObject(FrameEvent event) { return reinterpret_cast<EventObject*>(event); }

}  // namespace

FrameEvent CreateFrameEvent() { return reinterpret_cast<FrameEvent>(new (std::nothrow) EventObject); }

void SignalFrameEvent(FrameEvent event) {
    EventObject* object = ToObject(event);
    if (object == nullptr) return;
    {
        std::lock_guard lock(object->mutex);
        object->signalled = true;
    }
    object->changed.notify_one();
}

WaitResult WaitFrameEvent(FrameEvent event, uint32_t timeoutMs) {
    EventObject* object = ToObject(event);
    if (object == nullptr) return WaitResult::Failed;
    std::unique_lock lock(object->mutex);
    if (timeoutMs == kWaitForever) {
        object->changed.wait(lock, [object] { return object->signalled; });
    } else {
        // A steady-clock deadline, so that spurious wake-ups and clock changes neither shorten
        // nor stretch the wait.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        if (!object->changed.wait_until(lock, deadline, [object] { return object->signalled; })) {
            return WaitResult::TimedOut;
        }
    }
    object->signalled = false;  // auto-reset: one wait consumes every signal given before it
    return WaitResult::Signalled;
}

FrameEvent RetainFrameEvent(FrameEvent event) {
    EventObject* object = ToObject(event);
    if (object == nullptr) return 0;
    object->references.fetch_add(1, std::memory_order_relaxed);
    return event;
}

void CloseFrameEvent(FrameEvent event) {
    EventObject* object = ToObject(event);
    if (object == nullptr) return;
    if (object->references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete object;
}

}  // namespace korvex::platform
