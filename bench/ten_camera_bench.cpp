// Ten simulated colour cameras, free-running at their natural frame rates, each exported in
// colour at its full size by a host thread of its own, as a multi-camera host runs them.
//
// Prints, for a run of a few seconds (first argument, default 10):
// - the process's CPU time over the wall time, in cores: the adapter's exports and the
//   simulator's frame rendering together;
// - the export latency, from the frame's callback to the export's return with the frame written,
//   as p50 / p99 / max over all frames;
// - frames the cameras made and frames the hosts missed (a newer frame overtook an older one
//   before its host got to it).
//
// The latency needs the moment each frame landed. This program defines HVOpenSnap itself, so that
// the adapter's call reaches it first (the program exports its symbols); it registers a callback
// that notes the time per camera and buffer and then calls the adapter's own callback, and hands
// the registration on to the camera library's HVOpenSnap.
#include <dlfcn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "HVDAILT.h"
#include "hvsim_control.h"
#include "korvex.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCameras = 10;
constexpr const char* kModels =
    "HV1300UC,HV2000UC,HV3102UC,HV1301UC,HV2001UC,HV1302UC,HV2002UC,HV3103UC,HV1303UC,SV1410FC";

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// When each camera's buffer 0 and 1 last received a frame, by device number 1..10.
std::array<std::array<std::atomic<int64_t>, 2>, kCameras + 1> landedNs{};
std::array<std::atomic<HVSnapCallback>, kCameras + 1> adapterCallbacks{};
std::atomic<int32_t> startingDevice{0};

int32_t NoteLanding(SnapInfo* info) {
    if (info == nullptr || info->device < 1 || info->device > kCameras) return 1;
    if (info->bufferIndex == 0 || info->bufferIndex == 1) {
        landedNs[static_cast<std::size_t>(info->device)][static_cast<std::size_t>(info->bufferIndex)].store(NowNs());
    }
    HVSnapCallback adapter = adapterCallbacks[static_cast<std::size_t>(info->device)].load();
    return adapter != nullptr ? adapter(info) : 1;
}

struct HostResult {
    std::vector<int64_t> latenciesNs;
    int64_t missed = 0;  // frame numbers skipped between two exports
    int64_t failed = 0;  // exports that did not return 1 or carried no stamp
};

// One host thread: exports camera device's newest frame in colour until stop.
void Host(int16_t device, const std::atomic<bool>& stop, HostResult& result) {
    HvSimCameraState state{};
    hvsim_get_state(device, &state);
    const auto width = static_cast<int16_t>(ZqGetImageWidth(device));
    const auto height = static_cast<int16_t>(ZqGetImageHeight(device));
    const auto layout = static_cast<int16_t>(state.bayerLayout);
    std::vector<uint8_t> frame(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    result.latenciesNs.reserve(4096);
    int32_t lastFrame = -1;
    while (!stop.load()) {
        if (ZqExportImageData(device, frame.data(), width, height, 1, layout) != 1) {
            ++result.failed;
            continue;
        }
        const int64_t doneNs = NowNs();
        HvSimStamp stamp{};
        if (hvsim_decode_stamp(frame.data(), width, height, 4, &stamp) != 0 || stamp.device != device) {
            ++result.failed;
            continue;
        }
        const auto buffer = static_cast<std::size_t>(stamp.bufferIndex);
        result.latenciesNs.push_back(doneNs - landedNs[static_cast<std::size_t>(device)][buffer].load());
        if (lastFrame >= 0 && stamp.frame > lastFrame + 1) result.missed += stamp.frame - lastFrame - 1;
        lastFrame = stamp.frame;
    }
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Percentile(std::vector<int64_t>& values, double fraction) {
    if (values.empty()) return 0.0;
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index), values.end());
    return static_cast<double>(values[index]) / 1e6;
}

int64_t FramesMade() {
    int64_t total = 0;
    for (int16_t device = 1; device <= kCameras; ++device) {
        HvSimCameraState state{};
        hvsim_get_state(device, &state);
        total += state.framesDelivered;
    }
    return total;
}

void PrintCameras() {
    std::printf("cameras:");
    for (int16_t device = 1; device <= kCameras; ++device) {
        std::printf(" %dx%d@%.1ffps", ZqGetImageWidth(device), ZqGetImageHeight(device),
                    1e6 / static_cast<double>(hvsim_frame_interval_us(device)));
    }
    std::printf("\n");
}

}  // namespace

// The adapter registers camera k's callback while this program starts camera k (startingDevice).
extern "C" __attribute__((visibility("default"))) HVSTATUS KX_CALL HVOpenSnap(HHV handle, HVSnapCallback callback,
                                                                              void* userValue) {
    using OpenSnap = HVSTATUS (*)(HHV, HVSnapCallback, void*);
    static const auto library = reinterpret_cast<OpenSnap>(dlsym(RTLD_NEXT, "HVOpenSnap"));
    adapterCallbacks[static_cast<std::size_t>(startingDevice.load())].store(callback);
    return library(handle, NoteLanding, userValue);
}

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    char folder[] = "/tmp/korvex-ten-XXXXXX";
    if (mkdtemp(folder) == nullptr) return 1;
    setenv("KORVEX_CONFIG_DIR", folder, 1);
    if (hvsim_configure(kModels) != kCameras) return 1;
    if (ZqOpenDevice(kCameras) != 1 || ZqAllocateResources() != 1) return 1;
    ZqSetTimeout(1000);
    PrintCameras();
    for (int16_t device = 1; device <= kCameras; ++device) {
        startingDevice.store(device);
        if (ZqStartGrab(device) != 1) return 1;
    }

    std::atomic<bool> stop{false};
    std::array<HostResult, kCameras> results{};
    std::vector<std::thread> hosts;
    const int64_t madeBefore = FramesMade();
    const double cpuBefore = CpuSeconds();
    const auto start = Clock::now();
    for (int16_t device = 1; device <= kCameras; ++device) {
        hosts.emplace_back(Host, device, std::cref(stop), std::ref(results[static_cast<std::size_t>(device - 1)]));
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    stop.store(true);
    for (std::thread& host : hosts) host.join();
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = CpuSeconds() - cpuBefore;
    const int64_t made = FramesMade() - madeBefore;

    for (int16_t device = 1; device <= kCameras; ++device) ZqStopGrab(device);
    ZqCloseDevice();
    std::remove((std::string(folder) + "/Korvex.ini").c_str());
    rmdir(folder);

    std::vector<int64_t> latencies;
    int64_t missed = 0, failed = 0;
    for (HostResult& r : results) {
        latencies.insert(latencies.end(), r.latenciesNs.begin(), r.latenciesNs.end());
        missed += r.missed;
        failed += r.failed;
    }
    const std::size_t exported = latencies.size();
    const double p50 = Percentile(latencies, 0.50);
    const double p99 = Percentile(latencies, 0.99);
    const double worst = Percentile(latencies, 1.0);
    std::printf("%.1f s: CPU %.2f cores (goal <= 1.00, simulator included)\n", wall, cpu / wall);
    std::printf("export latency from the frame's callback: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", p50, p99, worst);
    std::printf("frames: %lld made, %zu exported, %lld missed between exports, %lld failed exports\n",
                static_cast<long long>(made), exported, static_cast<long long>(missed), static_cast<long long>(failed));
    return 0;
}
