// A camera slot's life, written once: its states, what each exported function may do in each,
// and how the lifecycle operations move it from one state to the next.
//
//   state       handle    buffers  the camera library                       entered by
//   Closed      0         none     no session of the library's              load; ZqCloseDevice;
//                                                                           a failed ZqRestatDevice
//   Open        non-zero  none     begun                                    ZqOpenDevice; ZqRestatDevice
//   Allocated   non-zero  three    begun, nothing writes into the buffers   ZqAllocateResources; a
//                                                                           confirmed ZqStopGrab
//   Capturing   non-zero  three    may write into the buffers and call the  ZqStartGrab once the
//                                  slot's snap callback                     callback is registered
//   StopFailed  non-zero  three    the stop call failed: it may still write ZqStopGrab when
//                                  into the buffers                         HVCloseSnap fails
//   Dropped     0         three(*) a dropped session whose end was not      ZqCloseDevice, ZqOpenDevice
//                                  confirmed may still write into them      or ZqRestatDevice of a
//                                                                           capture none could stop
//
// Buffers are released only once the camera library has confirmed that nothing writes into them
// any more: HVCloseSnap or EndHVDevice returned 0. A Dropped slot keeps them with the dropped
// session until a later close, open or restart ends that session; a later open or restart of the
// camera then finds the slot Allocated with those buffers. For every exported function Dropped is
// as closed as Closed.
// (*) Should a second session be dropped before the first one ended, the buffers both may write
// into are given up for good (never released, never used again) and the slot holds none.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace korvex {

enum class SlotState : uint8_t { Closed, Open, Allocated, Capturing, StopFailed, Dropped };
inline constexpr int kSlotStateCount = 6;

// What an exported function wants to do with a slot. Each exported function that takes a device
// number names one (exports/), and the guard judges it against kUses before anything else runs.
enum class SlotUse : uint8_t {
    Control,       // camera settings and queries: every function that requires an open camera
    Allocate,      // ZqAllocateResources
    Grab,          // ZqGrabSingle: an open camera with buffers and no capture that may refill them
    StartCapture,  // ZqStartGrab
    StopCapture,   // ZqStopGrab
    ReadFrames,    // export, automatic white balance, buffer leases: buffers of a begun session
    Unchecked,     // table reset, gamma, blanking, last status, restart: any state, no test
    // The cross-hair (ZqEnableCross, ZqSetCrossPara) belongs to no camera: its functions take a
    // device number and ignore it, whatever it is, in every state (exports/guard.h,
    // GuardedIgnoringDevice). Their results stay their own: ZqEnableCross(99, 1) gives 0 because
    // switching on gives 0, not because camera 99 is refused.
    AnyCamera,
};
inline constexpr int kSlotUseCount = 8;

enum class Verdict : uint8_t {
    Allow,
    Refuse,     // result 0, no message
    AskToOpen,  // "Please open device first!", result 0
};

// kUses[use][state].
inline constexpr auto kUses = [] {
    using enum Verdict;
    // clang-format off
    return std::array<std::array<Verdict, kSlotStateCount>, kSlotUseCount>{{
        // Closed   Open    Allocated Capturing StopFailed Dropped
        {AskToOpen, Allow,  Allow,    Allow,    Allow,     AskToOpen},  // Control
        {AskToOpen, Allow,  Allow,    Allow,    Allow,     AskToOpen},  // Allocate
        {AskToOpen, Refuse, Allow,    Refuse,   Refuse,    AskToOpen},  // Grab
        {AskToOpen, Refuse, Allow,    Allow,    Allow,     AskToOpen},  // StartCapture
        {AskToOpen, Allow,  Allow,    Allow,    Allow,     AskToOpen},  // StopCapture
        {Refuse,    Refuse, Allow,    Allow,    Allow,     Refuse},     // ReadFrames
        {Allow,     Allow,  Allow,    Allow,    Allow,     Allow},      // Unchecked
        {Allow,     Allow,  Allow,    Allow,    Allow,     Allow},      // AnyCamera
    }};
    // clang-format on
}();

constexpr Verdict Judge(SlotUse use, SlotState state) {
    return kUses[static_cast<std::size_t>(use)][static_cast<std::size_t>(state)];
}

// What happened to the slot's camera session.
enum class SlotEvent : uint8_t {
    Begun,             // BeginHVDevice gave a handle; the slot holds no buffers
    BegunWithBuffers,  // the same, for a slot that kept its buffers
    BuffersGiven,      // allocation gave or kept buffers
    CaptureStarted,    // the callback is registered and HVStartSnap was called
    StopConfirmed,     // HVCloseSnap returned 0
    StopUnconfirmed,   // HVCloseSnap failed
    Ended,             // the handle was dropped (close, restart, a failed begin)
    Dropped,           // a session that may still write into the buffers was dropped unended
    DroppedEnded,      // EndHVDevice confirmed the end of the dropped session
};
inline constexpr int kSlotEventCount = 9;

// kTransitions[event][state]: the state after event. Cells the guard never lets happen keep
// the state. Open stops a capturing camera before it begins it again.
inline constexpr auto kTransitions = [] {
    using enum SlotState;
    // clang-format off
    return std::array<std::array<SlotState, kSlotStateCount>, kSlotEventCount>{{
        // Closed   Open       Allocated  Capturing   StopFailed  Dropped
        {Open,      Open,      Open,      Open,       Open,       Open},          // Begun
        {Allocated, Allocated, Allocated, Allocated,  Allocated,  Allocated},     // BegunWithBuffers
        {Closed,    Allocated, Allocated, Capturing,  StopFailed, Dropped},       // BuffersGiven
        {Closed,    Open,      Capturing, Capturing,  Capturing,  Dropped},       // CaptureStarted
        {Closed,    Open,      Allocated, Allocated,  Allocated,  Dropped},       // StopConfirmed
        {Closed,    Open,      Allocated, StopFailed, StopFailed, Dropped},       // StopUnconfirmed
        {Closed,    Closed,    Closed,    Closed,     Closed,     Dropped},       // Ended
        {Dropped,   Dropped,   Dropped,   Dropped,    Dropped,    Dropped},       // Dropped
        {Closed,    Open,      Allocated, Capturing,  StopFailed, Closed},        // DroppedEnded
    }};
    // clang-format on
}();

constexpr SlotState Next(SlotState state, SlotEvent event) {
    return kTransitions[static_cast<std::size_t>(event)][static_cast<std::size_t>(state)];
}

// The camera library may be writing into the slot's buffers in this state.
constexpr bool CaptureMayRun(SlotState state) {
    return state == SlotState::Capturing || state == SlotState::StopFailed;
}

}  // namespace korvex
