// The simulator: the configured cameras, their settings and capture threads, fault injection and
// the call log. One process-wide instance; every member is guarded by its mutex.
//
// A camera's life:
//
//   closed --BeginHVDevice--> open --HVStartSnap--> capturing
//     ^                        |  <--HVCloseSnap---     |
//     +-----EndHVDevice--------+----EndHVDevice---------+   (ends the capture first)
//
// BeginHVDevice on an open camera ends that session (and its capture) and opens a new one with a
// fresh handle; the old handle is refused from then on. Settings persist across sessions until
// hvsim_reset. The capture thread is started by HVStartSnap and joined by HVCloseSnap,
// EndHVDevice and hvsim_reset, which return only when it has finished its last callback.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "camera_list.h"
#include "hvsim_control.h"
#include "models.h"
#include "recording.h"
#include "scene.h"

namespace hvsim {

struct CameraSettings {
    int32_t resolutionMode = 0;
    int32_t windowLeft = 0, windowTop = 0, windowWidth = 0, windowHeight = 0;
    int32_t snapMode = 0, snapSpeed = 0, triggerPolarity = 0, strobePolarity = 0;
    int32_t blankingFirst = 0, blankingSecond = 0;
    std::array<int32_t, 4> gain{};
    int32_t adcLevel = 0, adcEnabled = 0;
    std::array<int32_t, 4> adcValue{};
    int32_t exposureUnit = 0, exposureValue = 0;
    uint32_t exposureRows = 0;
};

struct Camera {
    int32_t device = 0;
    ModelInfo model;
    std::string serial;
    int32_t cameraStatus = SettingDefaults::kCameraStatus;
    CameraSettings settings, defaults;
    std::shared_ptr<const Recording> recording;  // set for a replayed recording, never changed

    HHV handle = 0;  // 0 while closed
    bool plugged = true;
    bool sessionLost = false;                        // the session of handle was cut by an unplug
    int64_t unplugAfterMs = -1, unplugAtFrame = -1;  // the camera list's scheduled unplug, -1: none
    std::chrono::steady_clock::time_point unplugDue{};
    bool unplugDueSet = false;
    HVSnapCallback callback = nullptr;
    void* userValue = nullptr;

    // Capture session.
    bool capturing = false;
    bool stopRequested = false;
    bool threadRunning = false;
    std::thread thread;
    std::thread::id threadId;
    std::array<uint8_t*, 2> buffers{};
    int32_t bufferCount = 0;
    int32_t nextBufferIndex = 0;
    int64_t triggersPending = 0;
    int64_t manualRequested = 0, manualDone = 0;  // frames asked of and made by hvsim_deliver_frames
    std::chrono::steady_clock::time_point nextDue{};
    bool nextDueSet = false;

    int64_t frameCounter = 0;  // frame numbers handed out since hvsim_reset
    int64_t framesDelivered = 0;
    int32_t snapshotsInFlight = 0;
    bool frameInProgress = false;  // the capture thread is writing a frame or calling back

    std::condition_variable wake;      // the capture thread waits on it
    std::condition_variable progress;  // frames delivered, thread ended, snapshot finished

    std::mutex renderMutex;  // guards renderer
    FrameRenderer renderer;
};

struct FaultRule {
    int32_t status = 0;
    int64_t first = 0, last = 0;  // call numbers, counted from 1 at the rule's setting; last < 0: open-ended
    int64_t calls = 0;
};

class Simulator {
public:
    Simulator();
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    std::mutex mutex;
    std::vector<std::shared_ptr<Camera>> cameras;
    std::array<std::vector<FaultRule>, HVSIM_OP_COUNT> faults;
    bool manualFrames = false;
    bool noise = false;
    bool tearStamp = false;  // the stamp again at each frame's bottom-left
    std::array<HVSnapCallback, 10> callbackSlots{};

    // Counts the call and returns the injected status for it, 0 when it is not to fail.
    int32_t InjectedFault(HvSimOp op);

    // The open camera with this handle, or null. Caller holds the mutex.
    std::shared_ptr<Camera> FindByHandle(HHV handle) const;
    std::shared_ptr<Camera> FindByDevice(int32_t device) const;
    HHV NewHandle();

    // Rebuilds the camera set; caller holds no lock. False, with nothing changed and the reason
    // in configurationError, when an entry cannot be used.
    bool Configure(const std::string& text);
    // The camera set of KORVEX_SIM_CAMERAS (unset or empty: the default pair). An unusable value
    // leaves no cameras and writes its reason to standard error.
    void ConfigureFromEnvironment();
    void Reset();
    std::string configurationError;  // empty after a configuration that worked

    // Ends the camera's capture and waits until its thread has finished. Caller holds `lock` on
    // the mutex; it is released while waiting. False when called on the capture thread itself.
    bool StopCapture(const std::shared_ptr<Camera>& camera, std::unique_lock<std::mutex>& lock);
    void StartCapture(const std::shared_ptr<Camera>& camera);

    // Pulls the camera's cable: no frames from now on, and its session (if any) is lost. Caller
    // holds `lock`; unless called on the camera's own capture thread, waits until a frame or
    // snapshot in progress has finished, so that nothing is written after it returns.
    void Unplug(Camera& camera, std::unique_lock<std::mutex>& lock);
    // Plugs it back in with its default settings; a lost session stays lost.
    void Replug(Camera& camera);

    // The parameters of the camera's next frame as its settings stand (counts the frame); caller
    // holds the mutex.
    FrameParams NextFrameParams(Camera& camera, int32_t bufferIndex);
    // Time from the frame before frameNumber to it: the readout and exposure with the current
    // settings, or for a replayed recording the recorded interval (never below the link's limit).
    int64_t FrameIntervalUs(const Camera& camera, int64_t frameNumber) const;

    void Log(const HvSimCall& call);
    int32_t LogCount();
    bool LogGet(int32_t index, HvSimCall& call);
    void LogClear();

private:
    void CaptureLoop(std::shared_ptr<Camera> camera);
    // True when the camera list's scheduled unplug has come; caller holds the mutex.
    bool ScheduledUnplugDue(const Camera& camera) const;
    // The capture thread's wait for something to do, bounded by a scheduled unplug's time.
    void WaitForWork(Camera& camera, std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point until);
    void StopAllCaptures();
    static std::vector<std::shared_ptr<Camera>> BuildCameras(const std::vector<CameraEntry>& entries);
    int64_t SimulatedIntervalUs(const Camera& camera) const;

    HHV lastHandle_ = 0x4B560000u;  // never reused within the process
    std::mutex logMutex_;
    std::vector<HvSimCall> log_;
};

Simulator& TheSimulator();

// Renders into destination outside the simulator's lock.
void RenderFrame(Camera& camera, const FrameParams& params, uint8_t* destination);

}  // namespace hvsim
