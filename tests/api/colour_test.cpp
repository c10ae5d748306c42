// White balance through the exported functions: persistence across close and open, and the
// simulated light's colour cast corrected end to end.
#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "api_fixture.h"

namespace korvex::test {
namespace {

using WhiteBalance = ApiTest;

TEST_F(WhiteBalance, ManualRatiosPersistAcrossCloseAndOpenAndTablesDoNot) {
    OpenAndAllocate(1);
    ASSERT_EQ(ZqSetWhiteBalanceRatio(1, 80, 125), 1);
    ASSERT_EQ(ZqSetGamma(1, 20), 1);
    ASSERT_EQ(ZqCloseDevice(), 1);
    const std::string stored = "[Video Parameter0]\nRGain=1.250000\nGGain=1.000000\nBGain=0.800000\n";
    EXPECT_EQ(ReadSettings(), stored);

    // Back again, and stored again unchanged: the ratios came back from the file.
    ASSERT_EQ(ZqOpenDevice(1), 1);
    ASSERT_EQ(ZqAllocateResources(), 1);
    ASSERT_EQ(ZqResetLutTable(1), 1);  // tables only; the ratios stay
    ASSERT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ReadSettings(), stored);
}

TEST_F(WhiteBalance, AZeroRatioIsStoredAsZeroAndComesBackAsUnity) {
    OpenAndAllocate(1);
    ASSERT_EQ(ZqSetWhiteBalanceRatio(1, 0, 150), 1);
    ASSERT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ReadSettings(), "[Video Parameter0]\nRGain=1.500000\nGGain=1.000000\nBGain=0.000000\n");
    // Read back as unity, which a close stores when it writes the file (here for camera 2's change).
    ASSERT_EQ(ZqOpenDevice(2), 1);
    ASSERT_EQ(ZqSetWhiteBalanceRatio(2, 50, 200), 1);
    ASSERT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ReadSettings(),
              "[Video Parameter0]\nRGain=1.500000\nGGain=1.000000\nBGain=1.000000\n"
              "[Video Parameter1]\nRGain=2.000000\nGGain=1.000000\nBGain=0.500000\n");
}

struct ChannelMeans {
    double blue = 0, green = 0, red = 0;
};

// Means of the grey ramp's middle row band, away from its black and white ends.
ChannelMeans RampMeans(const std::vector<uint8_t>& frame, int width, int height) {
    ChannelMeans means;
    int count = 0;
    for (int y = height * 30 / 100; y < height * 35 / 100; ++y) {
        for (int x = width * 30 / 100; x < width * 90 / 100; ++x) {
            const uint8_t* pixel = &frame[(static_cast<std::size_t>(y) * width + x) * 4];
            means.blue += pixel[0];
            means.green += pixel[1];
            means.red += pixel[2];
            ++count;
        }
    }
    means.blue /= count;
    means.green /= count;
    means.red /= count;
    return means;
}

double Spread(const ChannelMeans& m) {
    const double low = std::min({m.blue, m.green, m.red});
    const double high = std::max({m.blue, m.green, m.red});
    return (high - low) / high;
}

TEST_F(WhiteBalance, AutomaticBalanceRemovesTheColourCastOfTheGreyRamp) {
    ASSERT_EQ(hvsim_configure("HV1300UC"), 1);
    OpenAndAllocate(1);
    HvSimCameraState state{};
    ASSERT_EQ(hvsim_get_state(1, &state), 0);
    const int16_t width = ZqGetImageWidth(1);
    const int16_t height = ZqGetImageHeight(1);
    const int16_t layout = static_cast<int16_t>(state.bayerLayout);
    std::vector<uint8_t> frame(static_cast<std::size_t>(width) * height * 4);

    ASSERT_EQ(ZqStartGrab(1), 1);
    ASSERT_EQ(hvsim_deliver_frames(1, 1), 1);
    ASSERT_EQ(ZqExportImageData(1, frame.data(), width, height, 1, layout), 1);
    const ChannelMeans before = RampMeans(frame, width, height);
    EXPECT_GT(Spread(before), 0.10) << "the simulated light should tint the ramp";

    ASSERT_EQ(ZqAutoWhiteBalance(1), 1);
    ASSERT_EQ(hvsim_deliver_frames(1, 1), 1);
    ASSERT_EQ(ZqExportImageData(1, frame.data(), width, height, 1, layout), 1);
    const ChannelMeans after = RampMeans(frame, width, height);
    EXPECT_LT(Spread(after), 0.03) << "blue " << after.blue << " green " << after.green << " red " << after.red;
    ASSERT_EQ(ZqStopGrab(1), 1);
}

// A host thread that resets the tables, balances by hand and sets a gamma, over and over, while
// another thread exports: every exported frame was converted with one of the three whole table
// sets, never with a mix of an old and a new one.
TEST_F(WhiteBalance, TableChangesFromAnotherThreadNeverTearAnExport) {
    ASSERT_EQ(hvsim_configure("HV1300UC"), 1);
    OpenAndAllocate(1);
    constexpr int16_t kWidth = 256;
    constexpr int16_t kHeight = 48;
    using Frame = std::vector<uint8_t>;
    Frame grey(static_cast<std::size_t>(kWidth) * kHeight);
    ASSERT_EQ(ZqGrabSingle(1, grey.data(), kWidth, kHeight, 0, 1), 1);  // every export converts it again

    const std::function<int16_t()> changes[] = {
        [] { return ZqResetLutTable(1); },
        [] { return ZqSetWhiteBalanceRatio(1, 50, 200); },  // red doubled, blue halved, green kept
        [] { return ZqSetGamma(1, 20); },
    };
    const auto exportFrame = [] {
        Frame frame(static_cast<std::size_t>(kWidth) * kHeight * 4);
        EXPECT_EQ(ZqExportImageData(1, frame.data(), kWidth, kHeight, 1, 1), 1);
        return frame;
    };
    std::vector<Frame> whole;
    for (const auto& change : changes) {
        ASSERT_EQ(change(), 1);
        whole.push_back(exportFrame());
    }
    ASSERT_NE(whole[0], whole[1]);
    ASSERT_NE(whole[1], whole[2]);

    std::atomic<bool> exporting{true};
    std::thread controller([&] {
        for (int round = 0; exporting.load(); ++round) changes[round % 3]();
    });
    int torn = 0;
    for (int n = 0; n < 300; ++n) torn += std::find(whole.begin(), whole.end(), exportFrame()) == whole.end();
    exporting.store(false);
    controller.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace
}  // namespace korvex::test
