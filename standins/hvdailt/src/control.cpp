// The test-only control interface of the simulator (hvsim_control.h).
#include "hvsim_control.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "simulator.h"
#include "stamp.h"

using namespace hvsim;

namespace {

// Runs a call of the control interface so that nothing thrown inside (memory, a system error)
// leaves it: the call returns fallback instead.
template <class Result, class Call>
Result Guarded(Result fallback, Call&& call) {
    try {
        return call();
    } catch (...) {
        return fallback;
    }
}

template <class Call>
void Guarded(Call&& call) {
    try {
        call();
    } catch (...) {
        std::fputs("hvsim: a control call failed (out of memory or a system error)\n", stderr);
    }
}

// Runs a change on one camera under the simulator's lock: 0, or -1 for an unknown device.
template <class Change>
int32_t WithDevice(int32_t device, Change&& change) {
    Simulator& sim = TheSimulator();
    std::lock_guard lock(sim.mutex);
    const auto camera = sim.FindByDevice(device);
    if (!camera) return -1;
    change(*camera);
    return 0;
}

void FillState(const Camera& camera, const CameraSettings& s, bool current, HvSimCameraState* state) {
    *state = HvSimCameraState{};
    state->open = current && camera.handle != 0 ? 1 : 0;
    state->capturing = current && camera.capturing ? 1 : 0;
    state->typeCode = camera.model.typeCode;
    state->resolutionMode = s.resolutionMode;
    state->windowLeft = s.windowLeft;
    state->windowTop = s.windowTop;
    state->windowWidth = s.windowWidth;
    state->windowHeight = s.windowHeight;
    state->snapMode = s.snapMode;
    state->snapSpeed = s.snapSpeed;
    state->triggerPolarity = s.triggerPolarity;
    state->strobePolarity = s.strobePolarity;
    state->blankingFirst = s.blankingFirst;
    state->blankingSecond = s.blankingSecond;
    for (size_t c = 0; c < 4; ++c) {
        state->gain[c] = s.gain[c];
        state->adcValue[c] = s.adcValue[c];
    }
    state->adcLevel = s.adcLevel;
    state->adcEnabled = s.adcEnabled;
    state->exposureUnit = s.exposureUnit;
    state->exposureValue = s.exposureValue;
    state->exposureRows = s.exposureRows;
    state->framesDelivered = current ? camera.framesDelivered : 0;
    state->colour = camera.model.colour ? 1 : 0;
    state->bayerLayout = camera.model.bayerLayout;
    if (!camera.model.resolutions.empty()) {
        state->sensorWidth = camera.model.resolutions.front().width;
        state->sensorHeight = camera.model.resolutions.front().height;
    }
}

}  // namespace

extern "C" {

void hvsim_reset(void) {
    Guarded([] { TheSimulator().Reset(); });
}

int32_t hvsim_configure(const char* cameras) {
    return Guarded(int32_t{-1}, [&] {
        Simulator& sim = TheSimulator();
        if (!sim.Configure(cameras != nullptr ? cameras : "")) return int32_t{-1};
        std::lock_guard lock(sim.mutex);
        return static_cast<int32_t>(sim.cameras.size());
    });
}

const char* hvsim_configuration_error(void) {
    thread_local std::string copy;  // the caller's own, so another thread's configuration cannot change it
    return Guarded(static_cast<const char*>(""), [] {
        Simulator& sim = TheSimulator();
        std::lock_guard lock(sim.mutex);
        copy = sim.configurationError;
        return copy.c_str();
    });
}

int32_t hvsim_set_type_code(int32_t device, int32_t typeCode) {
    // The reported code and the exposure family follow; sensor, colour and serial stay.
    return Guarded(int32_t{-1}, [&] {
        return WithDevice(device, [&](Camera& camera) {
            camera.model.typeCode = typeCode;
            camera.model.family = ModelForCode(typeCode).family;
        });
    });
}

int32_t hvsim_set_resolutions(int32_t device, const ResolutionEntry* entries, int32_t count) {
    if (count < 0 || (count > 0 && entries == nullptr)) return -1;
    for (int32_t i = 0; i < count; ++i) {
        if (entries[i].width <= 0 || entries[i].height <= 0) return -1;
    }
    return Guarded(int32_t{-1}, [&] {
        return WithDevice(device, [&](Camera& camera) {
            camera.model.resolutions.assign(entries, entries + count);
            for (CameraSettings* s : {&camera.settings, &camera.defaults}) {
                s->resolutionMode = 0;
                s->windowLeft = s->windowTop = 0;
                s->windowWidth = count > 0 ? entries[0].width : 0;
                s->windowHeight = count > 0 ? entries[0].height : 0;
            }
        });
    });
}

int32_t hvsim_set_serial(int32_t device, const char* serial) {
    if (serial == nullptr) return -1;
    return Guarded(int32_t{-1}, [&] { return WithDevice(device, [&](Camera& camera) { camera.serial = serial; }); });
}

int32_t hvsim_set_hw_version(int32_t device, int32_t version) {
    return Guarded(int32_t{-1},
                   [&] { return WithDevice(device, [&](Camera& camera) { camera.model.hwVersion = version; }); });
}

int32_t hvsim_set_camera_status(int32_t device, int32_t status) {
    return Guarded(int32_t{-1},
                   [&] { return WithDevice(device, [&](Camera& camera) { camera.cameraStatus = status; }); });
}

void hvsim_fail(HvSimOp op, int32_t status, int32_t first, int32_t count) {
    if (op < 0 || op >= HVSIM_OP_COUNT || status == 0 || first < 1 || count == 0 || count < -1) return;
    Guarded([&] {
        Simulator& sim = TheSimulator();
        std::lock_guard lock(sim.mutex);
        FaultRule rule;
        rule.status = status;
        rule.first = first;
        rule.last = count < 0 ? -1 : int64_t{first} + count - 1;
        sim.faults[op].push_back(rule);
    });
}

void hvsim_clear_faults(void) {
    Guarded([] {
        Simulator& sim = TheSimulator();
        std::lock_guard lock(sim.mutex);
        for (auto& rules : sim.faults) rules.clear();
    });
}

int32_t hvsim_log_count(void) {
    return Guarded(int32_t{0}, [] { return TheSimulator().LogCount(); });
}

int32_t hvsim_log_get(int32_t index, HvSimCall* call) {
    if (call == nullptr) return -1;
    return Guarded(int32_t{-1}, [&] { return TheSimulator().LogGet(index, *call) ? 0 : -1; });
}

void hvsim_log_clear(void) {
    Guarded([] { TheSimulator().LogClear(); });
}

const char* hvsim_op_name(HvSimOp op) {
    switch (op) {
#define HVSIM_OP_NAME_CASE(returnType, name, ...) \
    case HVSIM_##name: return #name;
        HVDAILT_OPERATIONS(HVSIM_OP_NAME_CASE)
#undef HVSIM_OP_NAME_CASE
        case HVSIM_OP_COUNT: break;
    }
    return "?";
}

int32_t hvsim_set_callback_slot(int32_t slot, HVSnapCallback callback) {
    if (slot < 1 || slot > 10) return -1;
    return Guarded(int32_t{-1}, [&] {
        Simulator& sim = TheSimulator();
        std::lock_guard lock(sim.mutex);
        sim.callbackSlots[static_cast<size_t>(slot - 1)] = callback;
        return int32_t{0};
    });
}

void hvsim_set_manual_frames(int32_t enabled) {
    Guarded([&] {
        Simulator& sim = TheSimulator();
        std::lock_guard lock(sim.mutex);
        sim.manualFrames = enabled != 0;
        for (const auto& camera : sim.cameras) {
            camera->nextDueSet = false;
            camera->wake.notify_all();
        }
    });
}

int32_t hvsim_deliver_frames(int32_t device, int32_t count) {
    return Guarded(int32_t{0}, [&] {
        Simulator& sim = TheSimulator();
        std::unique_lock lock(sim.mutex);
        const auto camera = sim.FindByDevice(device);
        if (!camera || count <= 0 || !camera->capturing) return int32_t{0};
        if (camera->threadId == std::this_thread::get_id()) return int32_t{0};  // from its own callback
        const std::thread::id session = camera->threadId;
        camera->manualRequested += count;
        const int64_t target = camera->manualRequested;
        camera->wake.notify_all();
        camera->progress.wait(lock, [&] {
            return camera->manualDone >= target || !camera->capturing || camera->threadId != session ||
                   !camera->plugged || camera->sessionLost;
        });
        const int64_t done = camera->manualDone - (target - count);
        return static_cast<int32_t>(done < 0 ? 0 : done > count ? count : done);
    });
}

int32_t hvsim_unplug(int32_t device) {
    return Guarded(int32_t{-1}, [&] {
        Simulator& sim = TheSimulator();
        std::unique_lock lock(sim.mutex);
        const auto camera = sim.FindByDevice(device);
        if (!camera) return int32_t{-1};
        sim.Unplug(*camera, lock);
        return int32_t{0};
    });
}

int32_t hvsim_replug(int32_t device) {
    return Guarded(int32_t{-1}, [&] {
        Simulator& sim = TheSimulator();
        std::lock_guard lock(sim.mutex);
        const auto camera = sim.FindByDevice(device);
        if (!camera) return int32_t{-1};
        sim.Replug(*camera);
        return int32_t{0};
    });
}

void hvsim_set_noise(int32_t enabled) {
    Guarded([&] {
        Simulator& sim = TheSimulator();
        std::lock_guard lock(sim.mutex);
        sim.noise = enabled != 0;
    });
}

void hvsim_set_tear_stamp(int32_t enabled) {
    Guarded([&] {
        Simulator& sim = TheSimulator();
        std::lock_guard lock(sim.mutex);
        sim.tearStamp = enabled != 0;
    });
}

int64_t hvsim_frame_interval_us(int32_t device) {
    return Guarded(int64_t{-1}, [&] {
        Simulator& sim = TheSimulator();
        std::lock_guard lock(sim.mutex);
        const auto camera = sim.FindByDevice(device);
        return camera ? sim.FrameIntervalUs(*camera, camera->frameCounter) : int64_t{-1};
    });
}

int32_t hvsim_decode_stamp(const uint8_t* image, int32_t width, int32_t height, int32_t bytesPerPixel,
                           HvSimStamp* stamp) {
    return Guarded(int32_t{-1}, [&] { return DecodeStamp(image, width, height, bytesPerPixel, stamp); });
}

int32_t hvsim_get_state(int32_t device, HvSimCameraState* state) {
    if (state == nullptr) return -1;
    return Guarded(int32_t{-1}, [&] {
        return WithDevice(device, [&](Camera& camera) { FillState(camera, camera.settings, true, state); });
    });
}

int32_t hvsim_get_defaults(int32_t device, HvSimCameraState* state) {
    if (state == nullptr) return -1;
    return Guarded(int32_t{-1}, [&] {
        return WithDevice(device, [&](Camera& camera) { FillState(camera, camera.defaults, false, state); });
    });
}

}  // extern "C"
