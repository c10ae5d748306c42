// Frame event: an auto-reset event that a frame callback signals and an export waits on.
//
// Contract, the same on every platform:
// - CreateFrameEvent makes an unnamed, auto-reset, non-signalled event; 0 when it cannot.
// - SignalFrameEvent sets it. Signals given while nobody waits collapse into one.
// - WaitFrameEvent waits until it is set, then resets it, or until timeoutMs milliseconds have
//   passed on a steady clock. kWaitForever waits without limit; 0 only tests. Waiting on 0 (no
//   event) fails at once.
// - RetainFrameEvent gives a second reference to the same event, for a waiter that must keep it
//   alive while another thread closes the slot's reference; each reference is closed once.
// - CloseFrameEvent drops one reference; the event goes when the last one is closed.
#pragma once

#include <cstdint>

namespace korvex::platform {

using FrameEvent = std::uintptr_t;  // 0 = none

inline constexpr uint32_t kWaitForever = 0xFFFFFFFFu;

enum class WaitResult { Signalled, TimedOut, Failed };

FrameEvent CreateFrameEvent();
void SignalFrameEvent(FrameEvent event);
WaitResult WaitFrameEvent(FrameEvent event, uint32_t timeoutMs);
FrameEvent RetainFrameEvent(FrameEvent event);
void CloseFrameEvent(FrameEvent event);

}  // namespace korvex::platform
