#include "simulator.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace hvsim {
namespace {

constexpr size_t kMaxLogEntries = size_t{1} << 20;
constexpr int64_t kMinFrameIntervalUs = 1000;  // the link's limit for tiny windows and exposures
const char* const kDefaultCameras = "HV1300UC,HV1300UM";

CameraSettings DefaultSettings(const ModelInfo& model) {
    CameraSettings s;
    if (!model.resolutions.empty()) {
        s.windowWidth = model.resolutions.front().width;
        s.windowHeight = model.resolutions.front().height;
    }
    s.gain.fill(SettingDefaults::kGain);
    s.exposureUnit = SettingDefaults::kSvExposureUnit;
    s.exposureValue = SettingDefaults::kSvExposureValue;
    s.exposureRows = DefaultExposureRows(model);
    return s;
}

// A replayed camera is its recorded model with one resolution, the recorded size, and the
// recorded mosaic layout (0: monochrome).
ModelInfo ModelOf(const CameraEntry& entry) {
    ModelInfo model = ModelForCode(entry.typeCode);
    if (entry.recording) {
        const Recording& r = *entry.recording;
        model.resolutions = {ResolutionEntry{r.width, r.height}};
        model.colour = r.bayerLayout != 0;
        model.bayerLayout = r.bayerLayout;
    }
    return model;
}

int64_t ExposureUs(const Camera& camera) {
    const CameraSettings& s = camera.settings;
    if (camera.model.family == Family::SvDirect) {
        static constexpr int64_t kUnitUs[3] = {1, 1000, 1000000};
        return int64_t{s.exposureValue} * kUnitUs[std::clamp(s.exposureUnit, 0, 2)];
    }
    const int64_t rowClocks = RowLengthClocks(camera.model.family, s.windowWidth, s.resolutionMode);
    return static_cast<int64_t>(s.exposureRows) * rowClocks * 1000000 / kPixelClockHz;
}

}  // namespace

Simulator& TheSimulator() {
    static Simulator instance;
    return instance;
}

Simulator::Simulator() { ConfigureFromEnvironment(); }

Simulator::~Simulator() { StopAllCaptures(); }

std::vector<std::shared_ptr<Camera>> Simulator::BuildCameras(const std::vector<CameraEntry>& entries) {
    std::vector<std::shared_ptr<Camera>> built;
    for (size_t i = 0; i < entries.size(); ++i) {
        auto camera = std::make_shared<Camera>();
        camera->device = static_cast<int32_t>(i + 1);
        camera->model = ModelOf(entries[i]);
        camera->recording = entries[i].recording;
        camera->serial = DefaultSerial(camera->model, camera->device);
        camera->defaults = DefaultSettings(camera->model);
        camera->settings = camera->defaults;
        camera->unplugAfterMs = entries[i].unplugAfterMs;
        camera->unplugAtFrame = entries[i].unplugAtFrame;
        built.push_back(std::move(camera));
    }
    return built;
}

bool Simulator::Configure(const std::string& text) {
    std::vector<CameraEntry> entries;
    std::string error;
    const bool ok = ParseCameraList(text, entries, error);
    if (ok && entries.empty()) ParseCameraList(kDefaultCameras, entries, error);
    if (ok) StopAllCaptures();
    auto built = ok ? BuildCameras(entries) : std::vector<std::shared_ptr<Camera>>{};
    std::lock_guard lock(mutex);
    configurationError = error;
    if (ok) cameras = std::move(built);
    return ok;
}

void Simulator::ConfigureFromEnvironment() {
    const char* env = std::getenv("KORVEX_SIM_CAMERAS");
    if (Configure(env != nullptr ? env : "")) return;
    // No silent stand-in set: with no cameras, BeginHVDevice fails and the host says so.
    StopAllCaptures();
    std::string error;
    {
        std::lock_guard lock(mutex);
        cameras.clear();
        error = configurationError;
    }
    std::fprintf(stderr, "hvsim: %s\n", error.c_str());
}

void Simulator::Reset() {
    ConfigureFromEnvironment();
    {
        std::lock_guard lock(mutex);
        for (auto& rules : faults) rules.clear();
        manualFrames = false;
        noise = false;
        tearStamp = false;
    }
    LogClear();
}

void Simulator::StopAllCaptures() {
    std::unique_lock lock(mutex);
    const auto current = cameras;
    for (const auto& camera : current) {
        if (!StopCapture(camera, lock)) {
            // Called from this camera's own callback: its loop ends when the callback returns,
            // and the thread keeps the camera alive until then.
            camera->capturing = false;
            camera->stopRequested = true;
            if (camera->thread.joinable()) camera->thread.detach();
        }
        camera->handle = 0;
    }
}

int32_t Simulator::InjectedFault(HvSimOp op) {
    int32_t status = 0;
    for (FaultRule& rule : faults[op]) {
        ++rule.calls;
        if (status == 0 && rule.calls >= rule.first && (rule.last < 0 || rule.calls <= rule.last)) status = rule.status;
    }
    return status;
}

std::shared_ptr<Camera> Simulator::FindByHandle(HHV handle) const {
    if (handle == 0) return nullptr;
    for (const auto& camera : cameras) {
        if (camera->handle == handle) return camera;
    }
    return nullptr;
}

std::shared_ptr<Camera> Simulator::FindByDevice(int32_t device) const {
    if (device < 1 || device > static_cast<int32_t>(cameras.size())) return nullptr;
    return cameras[static_cast<size_t>(device - 1)];
}

HHV Simulator::NewHandle() {
    ++lastHandle_;
    if (lastHandle_ == 0) ++lastHandle_;
    return lastHandle_;
}

bool Simulator::StopCapture(const std::shared_ptr<Camera>& camera, std::unique_lock<std::mutex>& lock) {
    if (camera->threadRunning && camera->threadId == std::this_thread::get_id()) return false;
    camera->capturing = false;
    camera->stopRequested = true;
    camera->manualRequested = camera->manualDone;
    camera->wake.notify_all();
    camera->progress.notify_all();
    if (camera->thread.joinable()) {
        std::thread thread = std::move(camera->thread);
        lock.unlock();
        thread.join();
        lock.lock();
    }
    camera->progress.wait(lock, [&] { return !camera->threadRunning && camera->snapshotsInFlight == 0; });
    return true;
}

void Simulator::StartCapture(const std::shared_ptr<Camera>& camera) {
    // The thread waits for the mutex, held by the caller, before it reads any of this; when it
    // cannot be started (it throws), nothing has changed.
    camera->thread = std::thread([this, camera] { CaptureLoop(camera); });
    camera->threadId = camera->thread.get_id();
    camera->capturing = true;
    camera->stopRequested = false;
    camera->threadRunning = true;
    if (camera->unplugAfterMs >= 0 && !camera->unplugDueSet) {
        camera->unplugDue = std::chrono::steady_clock::now() + std::chrono::milliseconds(camera->unplugAfterMs);
        camera->unplugDueSet = true;
    }
}

void Simulator::Unplug(Camera& camera, std::unique_lock<std::mutex>& lock) {
    camera.plugged = false;
    if (camera.handle != 0) camera.sessionLost = true;
    camera.triggersPending = 0;
    camera.wake.notify_all();
    camera.progress.notify_all();
    if (camera.threadRunning && camera.threadId == std::this_thread::get_id()) return;
    camera.progress.wait(lock, [&] { return !camera.frameInProgress && camera.snapshotsInFlight == 0; });
}

void Simulator::Replug(Camera& camera) {
    camera.plugged = true;
    camera.settings = camera.defaults;
}

bool Simulator::ScheduledUnplugDue(const Camera& camera) const {
    if (!camera.plugged) return false;
    if (camera.unplugAtFrame >= 0 && camera.frameCounter >= camera.unplugAtFrame) return true;
    return camera.unplugDueSet && camera.unplugAfterMs >= 0 && std::chrono::steady_clock::now() >= camera.unplugDue;
}

void Simulator::WaitForWork(Camera& camera, std::unique_lock<std::mutex>& lock,
                            std::chrono::steady_clock::time_point until) {
    if (camera.unplugDueSet && camera.unplugAfterMs >= 0 && camera.plugged) until = std::min(until, camera.unplugDue);
    if (until == std::chrono::steady_clock::time_point::max()) {
        camera.wake.wait(lock);
    } else {
        camera.wake.wait_until(lock, until);
    }
}

FrameParams Simulator::NextFrameParams(Camera& camera, int32_t bufferIndex) {
    const CameraSettings& s = camera.settings;
    FrameParams p;
    p.colour = camera.model.colour;
    p.bayerLayout = camera.model.bayerLayout;
    const auto& modes = camera.model.resolutions;
    if (s.resolutionMode >= 0 && s.resolutionMode < static_cast<int32_t>(modes.size())) {
        p.resolutionWidth = modes[static_cast<size_t>(s.resolutionMode)].width;
        p.resolutionHeight = modes[static_cast<size_t>(s.resolutionMode)].height;
    }
    p.left = s.windowLeft;
    p.top = s.windowTop;
    p.width = s.windowWidth;
    p.height = s.windowHeight;
    p.exposureFactor = static_cast<double>(ExposureUs(camera)) / SettingDefaults::kNominalExposureUs;
    for (size_t c = 0; c < 4; ++c) {
        // Gain 16 is unity; every step adds 1/48.
        p.gainFactor[c] = (32.0 + s.gain[c]) / (32.0 + SettingDefaults::kGain);
        p.offset[c] = 4.0 * s.adcLevel + (s.adcEnabled != 0 ? s.adcValue[c] / 4.0 : 0.0);
    }
    p.noise = noise;
    p.bottomStamp = tearStamp;
    p.stamp.device = camera.device;
    p.frameNumber = camera.frameCounter++;
    p.stamp.frame = static_cast<int32_t>(p.frameNumber);
    p.stamp.bufferIndex = bufferIndex;
    return p;
}

int64_t Simulator::FrameIntervalUs(const Camera& camera, int64_t frameNumber) const {
    if (!camera.recording || camera.recording->timestampsUs.size() < 2) return SimulatedIntervalUs(camera);
    return std::max(ReplayIntervalUs(*camera.recording, frameNumber), kMinFrameIntervalUs);
}

int64_t Simulator::SimulatedIntervalUs(const Camera& camera) const {
    const CameraSettings& s = camera.settings;
    const int64_t rowClocks =
        RowLengthClocks(camera.model.family, s.windowWidth, s.resolutionMode) + std::max(0, s.blankingFirst);
    const int64_t rows = int64_t{s.windowHeight} + std::max(0, s.blankingSecond);
    const int64_t readoutUs = rows * rowClocks * 1000000 / kPixelClockHz;
    return std::max({readoutUs, ExposureUs(camera), kMinFrameIntervalUs});
}

void RenderFrame(Camera& camera, const FrameParams& params, uint8_t* destination) {
    if (camera.recording) {
        // Recorded pixels as they are: exposure, gain, converter and noise do not apply.
        CopyRecordedWindow(*camera.recording, params.frameNumber, params.left, params.top, params.width, params.height,
                           destination);
        return;
    }
    std::lock_guard lock(camera.renderMutex);
    camera.renderer.Render(params, destination);
}

void Simulator::CaptureLoop(std::shared_ptr<Camera> camera) {
    Camera& cam = *camera;
    std::unique_lock lock(mutex);
    constexpr auto kForever = std::chrono::steady_clock::time_point::max();
    while (!cam.stopRequested) {
        if (ScheduledUnplugDue(cam)) {
            cam.unplugAfterMs = cam.unplugAtFrame = -1;  // once per configuration
            Unplug(cam, lock);
        }
        if (!cam.plugged || cam.sessionLost) {  // no frames without a cable, nor for a lost session
            cam.manualRequested = cam.manualDone;
            cam.progress.notify_all();
            WaitForWork(cam, lock, kForever);
            continue;
        }
        const bool manual = cam.manualRequested > cam.manualDone;
        const bool triggered = !manual && cam.settings.snapMode != 0 && cam.triggersPending > 0;
        if (!manual && !triggered) {
            if (manualFrames || cam.settings.snapMode != 0) {
                WaitForWork(cam, lock, kForever);
                continue;
            }
            const auto now = std::chrono::steady_clock::now();
            if (!cam.nextDueSet) {
                cam.nextDue = now + std::chrono::microseconds(FrameIntervalUs(cam, cam.frameCounter));
                cam.nextDueSet = true;
            }
            if (now < cam.nextDue) {
                WaitForWork(cam, lock, cam.nextDue);
                continue;
            }
            // This frame is due; the one after it follows by its own interval.
            const auto interval = std::chrono::microseconds(FrameIntervalUs(cam, cam.frameCounter + 1));
            cam.nextDue = std::max(cam.nextDue + interval, now);
        }
        if (triggered) --cam.triggersPending;

        const int32_t index = cam.nextBufferIndex;
        cam.nextBufferIndex = (index + 1) % std::max(1, cam.bufferCount);
        const FrameParams params = NextFrameParams(cam, index);
        uint8_t* const destination = cam.buffers[static_cast<size_t>(index)];
        const HVSnapCallback callback = cam.callback;
        SnapInfo info{cam.handle, cam.device, index, static_cast<int32_t>(reinterpret_cast<intptr_t>(cam.userValue))};
        cam.frameInProgress = true;
        lock.unlock();
        RenderFrame(cam, params, destination);
        if (callback != nullptr) callback(&info);
        lock.lock();
        cam.frameInProgress = false;
        ++cam.framesDelivered;
        if (manual) ++cam.manualDone;
        cam.progress.notify_all();
    }
    cam.threadRunning = false;
    cam.progress.notify_all();
}

void Simulator::Log(const HvSimCall& call) {
    std::lock_guard lock(logMutex_);
    if (log_.size() < kMaxLogEntries) log_.push_back(call);
}

int32_t Simulator::LogCount() {
    std::lock_guard lock(logMutex_);
    return static_cast<int32_t>(log_.size());
}

bool Simulator::LogGet(int32_t index, HvSimCall& call) {
    std::lock_guard lock(logMutex_);
    if (index < 0 || index >= static_cast<int32_t>(log_.size())) return false;
    call = log_[static_cast<size_t>(index)];
    return true;
}

void Simulator::LogClear() {
    std::lock_guard lock(logMutex_);
    log_.clear();
}

}  // namespace hvsim
