// A bounded soak of ten free-running cameras, built for ThreadSanitizer: a host thread per camera
// exports (and now and then runs automatic white balance, which shares the export's working
// buffer), one thread changes white balance, gamma and tables, one moves the cross-hair, two stop
// and start cameras, and one closes, opens and allocates all of them again. The threads keep to
// the calls' documented rules: lifecycle calls exclude the calls on the same cameras that the
// public header lists (stop and start, white balance) by a lock of the host's; exports run
// through all of it.
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "capture_support.h"

namespace korvex::test {
namespace {

using std::chrono::milliseconds;

constexpr int16_t kCameras = 10;
constexpr int16_t kWidth = 128;  // the stamp lies in columns 0..63
constexpr int16_t kHeight = HVSIM_STAMP_HEIGHT;
constexpr auto kSoak = std::chrono::seconds(3);
constexpr auto kHangGuard = std::chrono::seconds(60);

bool IsColour(int16_t camera) { return camera % 2 == 1; }

struct Tally {
    std::atomic<int> delivered{0};
    std::atomic<int> woken{0};
    std::atomic<int> wrongCamera{0};
    std::atomic<int> overrun{0};
    std::atomic<int> reopened{0};
    std::atomic<int> restarted{0};
};

class SoakTest : public AcquisitionTest {
protected:
    // Small frames exposed for 20 ms: a buffer is refilled no sooner than 40 ms after delivery,
    // which leaves an export time to finish reading it even under a sanitizer.
    static void StartAll() {
        for (int16_t k = 1; k <= kCameras; ++k) {
            ASSERT_EQ(ZqSetShutter(k, 1, 20), 1);
            ASSERT_EQ(ZqStartGrab(k), 1);
        }
    }

    std::mutex lifecycle_;  // the host's own rule: lifecycle calls run alone
    std::atomic<bool> stop_{false};
    Tally tally_;
};

TEST_F(SoakTest, TenCamerasExportWhileEverythingElseChanges) {
    ASSERT_EQ(hvsim_configure("HV1300UC,HV1300UM,HV1300UC,HV1300UM,HV1300UC,HV1300UM,HV1300UC,HV1300UM,"
                              "HV1300UC,HV1300UM"),
              kCameras);
    // One small mode per camera keeps allocation cheap, so that the soak reopens many times.
    const ResolutionEntry small[] = {{kWidth, 32}};
    for (int16_t k = 1; k <= kCameras; ++k) ASSERT_EQ(hvsim_set_resolutions(k, small, 1), 0);
    OpenAndAllocate(kCameras);
    hvsim_set_manual_frames(0);
    ZqSetTimeout(500);
    ZqEnableCross(0, 1);
    StartAll();

    std::vector<std::thread> threads;
    for (int16_t k = 1; k <= kCameras; ++k) {
        threads.emplace_back([this, k] {
            Destination out(static_cast<std::size_t>(kWidth) * kHeight * 4);
            for (int n = 1; !stop_.load(); ++n) {
                const int16_t result = ZqExportImageData(k, out.data(), kWidth, kHeight, IsColour(k) ? 1 : 0, 1);
                if (!out.GuardsIntact()) ++tally_.overrun;
                if (result == 0) {  // woken, or the camera is closed or not allocated: a host backs off
                    ++tally_.woken;
                    std::this_thread::sleep_for(milliseconds(1));
                }
                if (result != 1) continue;
                ++tally_.delivered;
                HvSimStamp stamp{};
                if (hvsim_decode_stamp(out.data(), kWidth, kHeight, 4, &stamp) == 0 && stamp.device != k) {
                    ++tally_.wrongCamera;
                }
                if (n % 16 == 0 && IsColour(k)) {
                    std::lock_guard lock(lifecycle_);
                    ZqAutoWhiteBalance(k);
                }
            }
        });
    }
    threads.emplace_back([this] {  // colour
        for (int n = 0; !stop_.load(); ++n) {
            const auto k = static_cast<int16_t>(1 + n % kCameras);
            {
                std::lock_guard lock(lifecycle_);
                ZqSetWhiteBalanceRatio(k, static_cast<int16_t>(80 + n % 40), static_cast<int16_t>(90 + n % 30));
                ZqSetGamma(k, static_cast<int16_t>(5 + n % 20));
                if (n % 7 == 0) ZqResetLutTable(k);
            }
            std::this_thread::sleep_for(milliseconds(1));
        }
    });
    threads.emplace_back([this] {  // cross-hair
        for (int16_t n = 0; !stop_.load(); n = static_cast<int16_t>((n + 1) % 40)) {
            ZqSetCrossPara(0, static_cast<int16_t>(70 + n), static_cast<int16_t>(n % 8), 30, 12, 3);
            ZqEnableCross(0, n % 10 == 0 ? 0 : 1);
            std::this_thread::sleep_for(milliseconds(2));
        }
    });
    for (int16_t first : {int16_t{1}, int16_t{6}}) {  // stop and start, two threads of five cameras
        threads.emplace_back([this, first] {
            for (int n = 0; !stop_.load(); ++n) {
                const auto k = static_cast<int16_t>(first + n % 5);
                {
                    std::lock_guard lock(lifecycle_);
                    ZqStopGrab(k);
                    ZqStartGrab(k);
                }
                ++tally_.restarted;
                std::this_thread::sleep_for(milliseconds(30));
            }
        });
    }
    threads.emplace_back([this] {  // close, open and allocate again
        while (!stop_.load()) {
            std::this_thread::sleep_for(milliseconds(200));
            std::lock_guard lock(lifecycle_);
            EXPECT_EQ(ZqCloseDevice(), 1);
            EXPECT_EQ(ZqOpenDevice(kCameras), 1);
            EXPECT_EQ(ZqAllocateResources(), 1);
            StartAll();
            ++tally_.reopened;
        }
    });

    // The soak's time, then on until every count below is reached however loaded the machine (the
    // hang guard fails only a soak whose cameras or threads stopped making progress).
    const auto start = std::chrono::steady_clock::now();
    const auto enough = [&] {
        return std::chrono::steady_clock::now() - start >= kSoak && tally_.delivered.load() > 10 * kCameras &&
               tally_.reopened.load() >= 3 && tally_.restarted.load() > 10;
    };
    while (!enough() && std::chrono::steady_clock::now() - start < kHangGuard) {
        std::this_thread::sleep_for(milliseconds(10));
    }
    stop_.store(true);
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(ZqCloseDevice(), 1);

    EXPECT_GT(tally_.delivered.load(), 10 * kCameras);
    EXPECT_GE(tally_.reopened.load(), 3);
    EXPECT_GT(tally_.restarted.load(), 10);
    EXPECT_EQ(tally_.wrongCamera.load(), 0);
    EXPECT_EQ(tally_.overrun.load(), 0);
    RecordProperty("Delivered", tally_.delivered.load());
    RecordProperty("Woken", tally_.woken.load());
    RecordProperty("Reopened", tally_.reopened.load());
    RecordProperty("Restarted", tally_.restarted.load());
    EXPECT_TRUE(TakeMessages().empty());
}

}  // namespace
}  // namespace korvex::test
