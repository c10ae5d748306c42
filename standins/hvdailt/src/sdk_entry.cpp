// The camera library's 20 operations on the simulated cameras. Each one counts itself for fault
// injection, checks its handle and pointers, acts under the simulator's lock, and logs itself
// with the status it returns. A failing call changes nothing and writes nothing.
#include "sdk_entry.h"

#include <cstring>
#include <initializer_list>

#include "simulator.h"

namespace hvsim {
namespace {

constexpr int64_t Flag(const void* pointer) { return pointer != nullptr ? 1 : 0; }

template <class Operation>
HVSTATUS Run(HvSimOp op, HHV handle, std::initializer_list<int64_t> args, Operation&& operation) {
    Simulator& sim = TheSimulator();
    HvSimCall call{};
    call.op = op;
    call.handle = handle;
    for (int64_t value : args) call.args[call.argCount++] = value;
    HVSTATUS status = 0;
    {
        std::unique_lock lock(sim.mutex);
        status = sim.InjectedFault(op);
        if (status == 0) status = operation(sim, lock, call);
    }
    call.status = status;
    sim.Log(call);
    return status;
}

// Runs an operation on the camera of the handle, also when its session was lost to an unplug.
template <class Operation>
HVSTATUS OnSession(HvSimOp op, HHV handle, std::initializer_list<int64_t> args, Operation&& operation) {
    return Run(op, handle, args, [&](Simulator& sim, std::unique_lock<std::mutex>& lock, HvSimCall&) -> HVSTATUS {
        const auto camera = sim.FindByHandle(handle);
        if (!camera) return HVSIM_STATUS_INVALID_HANDLE;
        return operation(sim, lock, *camera, camera);
    });
}

// Runs an operation on the open, plugged-in camera of the handle.
template <class Operation>
HVSTATUS OnCamera(HvSimOp op, HHV handle, std::initializer_list<int64_t> args, Operation&& operation) {
    return OnSession(op, handle, args, [&](Simulator& sim, auto& lock, Camera& camera, const auto& shared) -> HVSTATUS {
        if (camera.sessionLost) return HVSIM_STATUS_UNPLUGGED;
        return operation(sim, lock, camera, shared);
    });
}

bool InRange(int64_t value, int64_t low, int64_t high) { return value >= low && value <= high; }

}  // namespace

namespace operations {

HVSTATUS BeginHVDevice(int32_t device, HHV* handle) {
    return Run(HVSIM_BeginHVDevice, 0, {device, Flag(handle)},
               [&](Simulator& sim, auto& lock, HvSimCall& call) -> HVSTATUS {
                   if (handle == nullptr) return HVSIM_STATUS_INVALID_PARAMETER;
                   const auto camera = sim.FindByDevice(device);
                   if (!camera) return HVSIM_STATUS_INVALID_PARAMETER;
                   if (!camera->plugged) return HVSIM_STATUS_UNPLUGGED;
                   if (camera->handle != 0) {
                       // Begun again: the earlier session ends, its handle stops working.
                       if (!sim.StopCapture(camera, lock)) return HVSIM_STATUS_BAD_STATE;
                       camera->callback = nullptr;
                   }
                   camera->sessionLost = false;
                   camera->handle = sim.NewHandle();
                   *handle = camera->handle;
                   call.handle = camera->handle;
                   return 0;
               });
}

HVSTATUS EndHVDevice(HHV handle) {
    // Also after an unplug: the session's capture thread is stopped and joined, and the session ends.
    return OnSession(HVSIM_EndHVDevice, handle, {},
                     [&](Simulator& sim, auto& lock, Camera& camera, const auto& shared) -> HVSTATUS {
                         if (!sim.StopCapture(shared, lock)) return HVSIM_STATUS_BAD_STATE;
                         if (camera.handle != handle) return HVSIM_STATUS_INVALID_HANDLE;  // ended meanwhile
                         camera.handle = 0;
                         camera.sessionLost = false;
                         camera.callback = nullptr;
                         camera.userValue = nullptr;
                         return 0;
                     });
}

HVSTATUS HVGetDeviceTotal(int32_t* count) {
    return Run(HVSIM_HVGetDeviceTotal, 0, {Flag(count)}, [&](Simulator& sim, auto&, HvSimCall&) -> HVSTATUS {
        if (count == nullptr) return HVSIM_STATUS_INVALID_PARAMETER;
        *count = static_cast<int32_t>(sim.cameras.size());
        return 0;
    });
}

HVSTATUS HVGetDeviceInfo(HHV handle, int32_t kind, void* buffer, int32_t* size) {
    return OnCamera(HVSIM_HVGetDeviceInfo, handle, {kind, Flag(buffer), Flag(size)},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        if (size == nullptr) return HVSIM_STATUS_INVALID_PARAMETER;
                        const void* source = nullptr;
                        int32_t needed = 0;
                        const int32_t typeCode = camera.model.typeCode;
                        const int32_t hwVersion = camera.model.hwVersion;
                        switch (kind) {
                            case HV_INFO_TYPE_CODE:
                                source = &typeCode;
                                needed = 4;
                                break;
                            case HV_INFO_RESOLUTIONS:
                                source = camera.model.resolutions.data();
                                needed =
                                    static_cast<int32_t>(camera.model.resolutions.size() * sizeof(ResolutionEntry));
                                break;
                            case HV_INFO_SERIAL:
                                source = camera.serial.c_str();
                                needed = static_cast<int32_t>(camera.serial.size() + 1);
                                break;
                            case HV_INFO_HW_VERSION:
                                source = &hwVersion;
                                needed = 4;
                                break;
                            default: return HVSIM_STATUS_INVALID_PARAMETER;
                        }
                        if (buffer == nullptr) {
                            *size = needed;
                            return 0;
                        }
                        if (*size < needed) return HVSIM_STATUS_BUFFER_TOO_SMALL;
                        if (needed > 0) std::memcpy(buffer, source, static_cast<size_t>(needed));
                        *size = needed;
                        return 0;
                    });
}

HVSTATUS HVSetResolution(HHV handle, int32_t mode) {
    return OnCamera(HVSIM_HVSetResolution, handle, {mode},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        const auto& modes = camera.model.resolutions;
                        if (mode < 0 || mode >= static_cast<int32_t>(modes.size()))
                            return HVSIM_STATUS_INVALID_PARAMETER;
                        CameraSettings& s = camera.settings;
                        s.resolutionMode = mode;
                        s.windowLeft = 0;
                        s.windowTop = 0;
                        s.windowWidth = modes[static_cast<size_t>(mode)].width;
                        s.windowHeight = modes[static_cast<size_t>(mode)].height;
                        camera.wake.notify_all();
                        return 0;
                    });
}

HVSTATUS HVSetOutputWindow(HHV handle, int32_t left, int32_t top, int32_t width, int32_t height) {
    return OnCamera(HVSIM_HVSetOutputWindow, handle, {left, top, width, height},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        CameraSettings& s = camera.settings;
                        const auto& modes = camera.model.resolutions;
                        if (s.resolutionMode < 0 || s.resolutionMode >= static_cast<int32_t>(modes.size())) {
                            return HVSIM_STATUS_BAD_STATE;
                        }
                        const ResolutionEntry full = modes[static_cast<size_t>(s.resolutionMode)];
                        if (left < 0 || top < 0 || width <= 0 || height <= 0 || int64_t{left} + width > full.width ||
                            int64_t{top} + height > full.height) {
                            return HVSIM_STATUS_INVALID_PARAMETER;
                        }
                        s.windowLeft = left;
                        s.windowTop = top;
                        s.windowWidth = width;
                        s.windowHeight = height;
                        camera.wake.notify_all();
                        return 0;
                    });
}

HVSTATUS HVSetSnapMode(HHV handle, int32_t mode) {
    return OnCamera(HVSIM_HVSetSnapMode, handle, {mode},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        if (!InRange(mode, 0, 3))
                            return HVSIM_STATUS_INVALID_PARAMETER;  // 0 continuous, 1..3 triggered
                        camera.settings.snapMode = mode;
                        camera.triggersPending = 0;
                        camera.nextDueSet = false;
                        camera.wake.notify_all();
                        return 0;
                    });
}

HVSTATUS HVAGCControl(HHV handle, uint8_t code, int32_t value) {
    return OnCamera(HVSIM_HVAGCControl, handle, {code, value},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        if (!InRange(code, 16, 19) || !InRange(value, 0, 255)) return HVSIM_STATUS_INVALID_PARAMETER;
                        camera.settings.gain[static_cast<size_t>(code - 16)] = value;
                        return 0;
                    });
}

HVSTATUS HVAECControl(HHV handle, uint8_t code, uint32_t value) {
    return OnCamera(HVSIM_HVAECControl, handle, {code, int64_t{value}},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        CameraSettings& s = camera.settings;
                        if (camera.model.family == Family::SvDirect) {
                            switch (code) {
                                case 3:  // time unit: 0 microseconds, 1 milliseconds, 2 seconds
                                    if (value > 2) return HVSIM_STATUS_INVALID_PARAMETER;
                                    s.exposureUnit = static_cast<int32_t>(value);
                                    break;
                                case 2:  // time in that unit
                                    if (value > 0x7FFFFFFFu) return HVSIM_STATUS_INVALID_PARAMETER;
                                    s.exposureValue = static_cast<int32_t>(value);
                                    break;
                                case 1: return HVSIM_STATUS_NOT_SUPPORTED;
                                default: return HVSIM_STATUS_INVALID_PARAMETER;
                            }
                        } else {
                            if (code == 2 || code == 3) return HVSIM_STATUS_NOT_SUPPORTED;
                            if (code != 1 || value < 1 || value > MaxExposureRows(camera.model.family)) {
                                return HVSIM_STATUS_INVALID_PARAMETER;
                            }
                            s.exposureRows = value;
                        }
                        camera.wake.notify_all();
                        return 0;
                    });
}

HVSTATUS HVADCControl(HHV handle, uint8_t code, int32_t value) {
    return OnCamera(HVSIM_HVADCControl, handle, {code, value},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        CameraSettings& s = camera.settings;
                        if (code == 0 && InRange(value, 0, 15)) {
                            s.adcLevel = value;
                        } else if (code == 1 && InRange(value, 0, 1)) {
                            s.adcEnabled = value;
                        } else if (InRange(code, 16, 19) && InRange(value, -255, 264)) {
                            s.adcValue[static_cast<size_t>(code - 16)] = value;
                        } else {
                            return HVSIM_STATUS_INVALID_PARAMETER;
                        }
                        return 0;
                    });
}

HVSTATUS HVOpenSnap(HHV handle, HVSnapCallback callback, void* userValue) {
    int64_t slot = callback != nullptr ? 1 : 0;
    {
        Simulator& sim = TheSimulator();
        std::lock_guard lock(sim.mutex);
        for (size_t i = 0; i < sim.callbackSlots.size(); ++i) {
            if (callback != nullptr && sim.callbackSlots[i] == callback) slot = static_cast<int64_t>(i + 1);
        }
    }
    return OnCamera(HVSIM_HVOpenSnap, handle, {slot, Flag(userValue)},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        if (callback == nullptr) return HVSIM_STATUS_INVALID_PARAMETER;
                        camera.callback = callback;
                        camera.userValue = userValue;
                        return 0;
                    });
}

HVSTATUS HVStartSnap(HHV handle, uint8_t** buffers, int32_t count) {
    return OnCamera(HVSIM_HVStartSnap, handle, {Flag(buffers), count},
                    [&](Simulator& sim, auto&, Camera& camera, const auto& shared) -> HVSTATUS {
                        if (buffers == nullptr || !InRange(count, 1, 2)) return HVSIM_STATUS_INVALID_PARAMETER;
                        for (int32_t i = 0; i < count; ++i) {
                            if (buffers[i] == nullptr) return HVSIM_STATUS_INVALID_PARAMETER;
                        }
                        if (camera.capturing || camera.threadRunning) return HVSIM_STATUS_BAD_STATE;
                        camera.buffers = {buffers[0], count > 1 ? buffers[1] : buffers[0]};
                        camera.bufferCount = count;
                        camera.nextBufferIndex = 0;
                        camera.triggersPending = 0;
                        camera.nextDueSet = false;
                        camera.manualRequested = camera.manualDone;
                        if (camera.thread.joinable()) camera.thread.join();  // finished earlier, never joined
                        sim.StartCapture(shared);
                        return 0;
                    });
}

HVSTATUS HVSnapShot(HHV handle, uint8_t** buffers, int32_t count) {
    return OnCamera(HVSIM_HVSnapShot, handle, {Flag(buffers), count},
                    [&](Simulator& sim, auto& lock, Camera& camera, const auto&) -> HVSTATUS {
                        if (buffers == nullptr || count < 1 || buffers[0] == nullptr)
                            return HVSIM_STATUS_INVALID_PARAMETER;
                        // The shot takes one frame time (exposure and readout) unless frames are manual.
                        const auto due = std::chrono::steady_clock::now() +
                                         std::chrono::microseconds(
                                             sim.manualFrames ? 0 : sim.FrameIntervalUs(camera, camera.frameCounter));
                        ++camera.snapshotsInFlight;
                        const bool ended = camera.wake.wait_until(
                            lock, due, [&] { return camera.handle != handle || camera.sessionLost; });
                        if (ended) {
                            --camera.snapshotsInFlight;
                            camera.progress.notify_all();
                            return camera.sessionLost ? HVSIM_STATUS_UNPLUGGED : HVSIM_STATUS_BAD_STATE;
                        }
                        const FrameParams params = sim.NextFrameParams(camera, 0);
                        lock.unlock();
                        RenderFrame(camera, params, buffers[0]);
                        lock.lock();
                        ++camera.framesDelivered;
                        --camera.snapshotsInFlight;
                        camera.progress.notify_all();
                        return 0;
                    });
}

HVSTATUS HVCloseSnap(HHV handle) {
    // After an unplug it fails, though the capture thread is stopped and joined all the same.
    return OnSession(HVSIM_HVCloseSnap, handle, {},
                     [&](Simulator& sim, auto& lock, Camera& camera, const auto& shared) -> HVSTATUS {
                         if (!sim.StopCapture(shared, lock)) return HVSIM_STATUS_BAD_STATE;
                         camera.callback = nullptr;
                         return camera.sessionLost ? HVSIM_STATUS_UNPLUGGED : 0;
                     });
}

HVSTATUS HVTriggerShot(HHV handle) {
    return OnCamera(HVSIM_HVTriggerShot, handle, {}, [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
        if (!camera.capturing || camera.settings.snapMode == 0) return HVSIM_STATUS_BAD_STATE;
        ++camera.triggersPending;
        camera.wake.notify_all();
        return 0;
    });
}

HVSTATUS HVSetTriggerPolarity(HHV handle, int32_t polarity) {
    return OnCamera(HVSIM_HVSetTriggerPolarity, handle, {polarity},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        if (!InRange(polarity, 0, 1)) return HVSIM_STATUS_INVALID_PARAMETER;
                        camera.settings.triggerPolarity = polarity;
                        return 0;
                    });
}

HVSTATUS HVSetStrobePolarity(HHV handle, int32_t polarity) {
    return OnCamera(HVSIM_HVSetStrobePolarity, handle, {polarity},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        if (!InRange(polarity, 0, 1)) return HVSIM_STATUS_INVALID_PARAMETER;
                        camera.settings.strobePolarity = polarity;
                        return 0;
                    });
}

HVSTATUS HVSetSnapSpeed(HHV handle, int32_t speed) {
    return OnCamera(HVSIM_HVSetSnapSpeed, handle, {speed},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        if (!InRange(speed, 0, 1)) return HVSIM_STATUS_INVALID_PARAMETER;
                        camera.settings.snapSpeed = speed;
                        return 0;
                    });
}

HVSTATUS HVSetBlanking(HHV handle, int32_t first, int32_t second) {
    return OnCamera(HVSIM_HVSetBlanking, handle, {first, second},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        // Extra pixel clocks per row and extra rows per frame.
                        if (!InRange(first, 0, 4095) || !InRange(second, 0, 4095))
                            return HVSIM_STATUS_INVALID_PARAMETER;
                        camera.settings.blankingFirst = first;
                        camera.settings.blankingSecond = second;
                        camera.wake.notify_all();
                        return 0;
                    });
}

HVSTATUS HVCommand(HHV handle, int32_t command, ControlRecord* record, int32_t* length) {
    return OnCamera(HVSIM_HVCommand, handle, {command, Flag(record), Flag(length)},
                    [&](Simulator&, auto&, Camera& camera, const auto&) -> HVSTATUS {
                        if (command != HV_COMMAND_CONTROL || record == nullptr || length == nullptr ||
                            *length != static_cast<int32_t>(sizeof(ControlRecord))) {
                            return HVSIM_STATUS_INVALID_PARAMETER;
                        }
                        if (record->code != HV_CONTROL_STATUS_QUERY) return HVSIM_STATUS_NOT_SUPPORTED;
                        if (record->input == nullptr || record->inputSize < 4 || record->output == nullptr ||
                            record->outputSize < 4) {
                            return HVSIM_STATUS_INVALID_PARAMETER;
                        }
                        int32_t query = 0;
                        std::memcpy(&query, record->input, sizeof query);
                        if (query != 2) return HVSIM_STATUS_INVALID_PARAMETER;
                        std::memcpy(record->output, &camera.cameraStatus, sizeof camera.cameraStatus);
                        return 0;
                    });
}

}  // namespace operations

namespace {

// Nothing thrown inside (memory, a system error) leaves the library: the call fails instead.
template <class Operation>
HVSTATUS Guarded(Operation&& operation) {
    try {
        return operation();
    } catch (...) {
        return HVSIM_STATUS_FAULT;
    }
}

}  // namespace
}  // namespace hvsim

extern "C" {

#define HVSIM_DEFINE_ENTRY(returnType, name, ...)                                                       \
    returnType hvsim_sdk_##name(HVDAILT_MAP(HVDAILT_PARAMETER_DECLARATION, __VA_ARGS__)) {              \
        return hvsim::Guarded(                                                                          \
            [&] { return hvsim::operations::name(HVDAILT_MAP(HVDAILT_PARAMETER_NAME, __VA_ARGS__)); }); \
    }
HVDAILT_OPERATIONS(HVSIM_DEFINE_ENTRY)
#undef HVSIM_DEFINE_ENTRY

}  // extern "C"
