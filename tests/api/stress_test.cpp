// Several cameras capturing freely while host threads export from them and another thread
// moves the cross-hair; the run ends with a close while exports may be waiting. Built for
// ThreadSanitizer: any unsynchronised access between the callbacks, the exports, the overlay and
// the close shows up as a report.
//
// Each camera has an exporting thread of its own that goes straight back to waiting: the camera
// library refills a buffer two frames after it was delivered, and the library leaves it to the
// host to have finished reading by then (the next wait orders the read before the refill).
#include <atomic>
#include <chrono>
#include <thread>

#include "capture_support.h"

namespace korvex::test {
namespace {

constexpr int16_t kWidth = 128;  // the stamp lies in columns 0..63; the cross stays right of it
constexpr int16_t kHeight = HVSIM_STAMP_HEIGHT;

class StressTest : public AcquisitionTest {};

struct ExportTally {
    std::atomic<int> delivered{0};  // read by the test's thread while the exporter counts
    int wrongCamera = 0;
    int wentBack = 0;
    int other = 0;
};

// Exports from its camera until told to stop or the camera is closed.
void ExportLoop(std::vector<int16_t> cameras, const std::atomic<bool>& stop, ExportTally& tally) {
    std::vector<int32_t> lastFrame(cameras.size(), -1);
    Destination out(static_cast<std::size_t>(kWidth) * kHeight * 4);
    while (!stop.load()) {
        for (std::size_t c = 0; c < cameras.size(); ++c) {
            const int16_t result = ZqExportImageData(cameras[c], out.data(), kWidth, kHeight, cameras[c] == 2, 1);
            if (result == 0) return;  // closed
            if (result != 1) {
                ++tally.other;
                continue;
            }
            ++tally.delivered;
            HvSimStamp stamp{};
            if (cameras[c] != 2 && hvsim_decode_stamp(out.data(), kWidth, kHeight, 4, &stamp) == 0) {
                tally.wrongCamera += stamp.device != cameras[c];
                tally.wentBack += stamp.frame < lastFrame[c];
                lastFrame[c] = stamp.frame;
            }
            if (!out.GuardsIntact()) ++tally.other;
        }
    }
}

TEST_F(StressTest, CamerasCaptureWhileThreadsExportAndCloseEndsIt) {
    ASSERT_EQ(hvsim_configure("HV1300UM,HV1300UC,HV1300UM,HV1300UM"), 4);
    OpenAndAllocate(4);
    // Small frames, so that producing one costs little even under a sanitizer, each exposed for
    // 20 ms, so that a buffer is refilled no sooner than 40 ms after it was delivered.
    for (int16_t k = 1; k <= 4; ++k) {
        ASSERT_EQ(ZqSetAOI(k, 0, 0, kWidth, 32), 1);
        ASSERT_EQ(ZqSetShutter(k, 1, 20), 1);
        ASSERT_GE(hvsim_frame_interval_us(k), 15000);
    }
    hvsim_set_manual_frames(0);
    ZqSetTimeout(30000);  // only a camera that stopped delivering times out; the close wakes the waits
    ZqEnableCross(0, 1);
    for (int16_t k = 1; k <= 4; ++k) ASSERT_EQ(ZqStartGrab(k), 1);

    std::atomic<bool> stop{false};
    std::vector<ExportTally> tallies(4);
    std::vector<std::thread> exporters;
    for (int16_t k = 1; k <= 4; ++k) {
        exporters.emplace_back(ExportLoop, std::vector<int16_t>{k}, std::cref(stop), std::ref(tallies[k - 1]));
    }
    std::thread overlay([&] {
        for (int16_t n = 0; !stop.load(); n = static_cast<int16_t>((n + 1) % 40)) {
            ZqSetCrossPara(0, static_cast<int16_t>(70 + n), static_cast<int16_t>(n % 8), 30, 12, 3);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });

    // At least a second, and until every camera delivered a few frames however loaded the machine
    // (the hang guard fails only cameras that stopped delivering).
    const auto start = std::chrono::steady_clock::now();
    const auto enough = [&] {
        for (const ExportTally& t : tallies) {
            if (t.delivered.load() <= 2) return false;
        }
        return std::chrono::steady_clock::now() - start >= std::chrono::seconds(1);
    };
    while (!enough() && std::chrono::steady_clock::now() - start < std::chrono::seconds(60)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(ZqCloseDevice(), 1);  // wakes whatever export is waiting
    stop.store(true);
    for (std::thread& exporter : exporters) exporter.join();
    overlay.join();

    for (const ExportTally& t : tallies) {
        EXPECT_GT(t.delivered.load(), 2);
        EXPECT_EQ(t.wrongCamera, 0);
        EXPECT_EQ(t.wentBack, 0);
        EXPECT_EQ(t.other, 0);
    }
}

}  // namespace
}  // namespace korvex::test
