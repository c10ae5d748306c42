// A camera slot's lifecycle: every camera call that begins, allocates, starts, stops or ends a
// session, and every change of the slot's state.
#include "registry/slot.h"

#include "camera/camera_calls.h"
#include "diagnostics/log.h"
#include "registry/frame_buffers.h"
#include "registry/slot_names.h"
#include "registry/slot_event.h"

namespace korvex {

void Slot::Move(SlotEvent event) {
    const SlotState before = state_.load();
    const SlotState after = Next(before, event);
    state_.store(after);
    if (after != before) {
        KX_LOG(diagnostics::Domain::Lifecycle, diagnostics::Level::Info, index() + 1, "%s -> %s (%s)",
               StateName(before), StateName(after), EventName(event));
    }
}

namespace {

// The bytes of the slot's three buffers: raw pair and converter output.
std::size_t BufferBytes(const FrameBuffers* buffers) { return buffers == nullptr ? 0 : buffers->pixelCapacity * 5; }

}  // namespace

// Says that the slot's buffers stay pinned because what, a stop or an end, was not confirmed.
void Slot::NoteBuffersKept(const char* what) const {
    KX_LOG(diagnostics::Domain::Lifecycle, diagnostics::Level::Warn, index() + 1,
           "%s not confirmed: keeping %zu bytes of frame buffers the camera may still write into", what,
           BufferBytes(buffers_.load()));
}

// The camera library may write into the slot's buffers: a capture of the current session that
// no stop confirmed, or a dropped session that no end confirmed. The dropped session outlives
// the Dropped state only when its end failed again at the next begin: the slot is then Allocated
// over those buffers, which stay pinned until a later end is confirmed.
bool Slot::BuffersPinned() const { return CaptureMayRun(state_.load()) || unendedSession_ != 0; }

// Keeps a session whose end was not confirmed. Should an earlier one be kept already, the
// buffers both may write into are given up for good: never released, never used again.
void Slot::KeepUnendedSession(HHV session) {
    if (unendedSession_ == 0) {
        unendedSession_ = session;
        return;
    }
    (void)ReplaceFrameBuffers(*this, nullptr);
}

// Ends the session kept by KeepUnendedSession, if any.
void Slot::EndUnendedSession() {
    if (unendedSession_ != 0 && camera::EndHVDevice(number(), unendedSession_) == 0) {
        unendedSession_ = 0;
        Move(SlotEvent::DroppedEnded);
    }
}

// Ends the slot's session (also handle 0, which the camera library refuses) and drops it.
void Slot::EndSession() {
    const bool captureMayRun = CaptureMayRun(state_.load());
    const HHV handle = handle_.load();
    Move(SlotEvent::Ended);  // from here guards refuse and new leases find no buffers
    WakeWaiters();
    WaitForBufferReaders(*this);
    EndUnendedSession();  // an earlier session first: this one may take its place
    const HVSTATUS status = camera::EndHVDevice(number(), handle);
    handle_.store(0);
    if (captureMayRun && status != 0) KeepUnendedSession(handle);
    if (unendedSession_ != 0) Move(SlotEvent::Dropped);
}

// Begins camera device in the slot. False, with nothing written into the slot, when it fails.
bool Slot::BeginSession(int32_t device) {
    HHV handle = 0;
    if (camera::BeginHVDevice(number(), device, &handle) != 0) return false;
    handle_.store(handle);
    Move(buffers_.load() != nullptr ? SlotEvent::BegunWithBuffers : SlotEvent::Begun);
    return true;
}

void Slot::Forget() {
    std::lock_guard lock(lifecycle_);
    const HHV handle = handle_.load();
    if (CaptureMayRun(state_.load())) {
        const HVSTATUS status = camera::HVCloseSnap(number(), handle);
        if (status != 0) {
            NoteBuffersKept("stop before open");
            KeepUnendedSession(handle);
        }
        Move(status == 0 ? SlotEvent::StopConfirmed : SlotEvent::StopUnconfirmed);
    }
    Move(SlotEvent::Ended);
    if (unendedSession_ != 0) Move(SlotEvent::Dropped);
    WakeWaiters();
    handle_.store(0);
}

bool Slot::Begin(int32_t device) {
    std::lock_guard lock(lifecycle_);
    EndUnendedSession();
    return BeginSession(device);
}

// Gives the slot buffers for pixels pixels. Buffers the camera library may write into are kept
// (content too), as long as they are large enough. False when it cannot.
bool Slot::ProvideBuffers(std::size_t pixels) {
    FrameBuffers* current = buffers_.load();
    if (BuffersPinned() && current != nullptr) return current->pixelCapacity >= pixels;
    FrameBuffers* fresh = AllocateFrameBuffers(pixels);
    if (fresh == nullptr) return false;
    FreeFrameBuffers(ReplaceFrameBuffers(*this, fresh));
    return true;
}

bool Slot::Allocate(const AllocationPlan& plan, void (*prepareColour)(int32_t index)) {
    std::lock_guard lock(lifecycle_);
    if (camera::HVSetResolution(number(), handle_.load(), 0) != 0) return false;
    prepareColour(index());
    if (!ProvideBuffers(plan.pixels)) return false;
    SetGeometry(SlotGeometry{0, plan.width, plan.height});
    Move(SlotEvent::BuffersGiven);
    return true;
}

int16_t Slot::Start(HVSnapCallback callback) {
    std::lock_guard lock(lifecycle_);
    if (Judge(SlotUse::StartCapture, state_.load()) != Verdict::Allow) return 0;  // closed meanwhile
    FrameBuffers* buffers = buffers_.load();
    if (buffers == nullptr || ProvideFrameEvent() == 0) return 0;
    const HHV handle = handle_.load();
    WakeWaiters();  // a restart ends the waits on the capture it replaces
    // Without the callback no frame would reach an export: nothing is started.
    if (camera::HVOpenSnap(number(), handle, callback, nullptr) != 0) return 0;
    ForgetFrames();
    // An export still reading a frame of the earlier capture finishes before the camera writes
    // into the buffers again.
    WaitForBufferReaders(*this);
    // Capturing from here on even if the start is refused: the camera library promises nothing
    // about its buffers after a failed call, so they stay guarded until a stop is confirmed.
    Move(SlotEvent::CaptureStarted);
    // rawBuffers lives in the buffer block, which stays put while the camera may write into it.
    return camera::HVStartSnap(number(), handle, buffers->rawBuffers, 2) == 0 ? 1 : 0;
}

int16_t Slot::Stop() {
    std::lock_guard lock(lifecycle_);
    if (Judge(SlotUse::StopCapture, state_.load()) != Verdict::Allow) return 0;  // closed meanwhile
    const HVSTATUS status = camera::HVCloseSnap(number(), handle_.load());
    // A failed stop leaves the capture possibly running: the slot keeps guarding its buffers.
    if (status != 0) NoteBuffersKept("stop");
    Move(status == 0 ? SlotEvent::StopConfirmed : SlotEvent::StopUnconfirmed);
    WakeWaiters();
    return status == 0 ? 1 : 0;
}

// Its buffers go only when nothing may write into them any more.
void Slot::Close() {
    std::lock_guard lock(lifecycle_);
    EndSession();
    if (!BuffersPinned()) {
        FreeFrameBuffers(ReplaceFrameBuffers(*this, nullptr));
        return;
    }
    NoteBuffersKept("end");
}

bool Slot::Restart(int32_t device) {
    std::lock_guard lock(lifecycle_);
    EndSession();
    return BeginSession(device);
}

}  // namespace korvex
