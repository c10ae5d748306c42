// What the frames look like: the stamp through raw, grey and demosaiced exports, the mosaic and
// light cast, brightness controls, the moving parts and noise.
#include <algorithm>
#include <cmath>

#include "sim_fixture.h"

namespace {

// Colour (0 R, 1 G, 2 B) of a pixel in the converter's layouts 1..4.
int ColourAt(int layout, int x, int y) {
    static constexpr int kCells[4][2][2] = {{{2, 1}, {1, 0}}, {{1, 2}, {0, 1}}, {{1, 0}, {2, 1}}, {{0, 1}, {1, 2}}};
    return kCells[layout - 1][y & 1][x & 1];
}

// Plain bilinear demosaic into B,G,R[,0] pixels, each channel through a scaling table.
std::vector<uint8_t> Demosaic(const std::vector<uint8_t>& raw, int w, int h, int layout, int bytesPerPixel,
                              const double scale[3]) {
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * bytesPerPixel, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double sum[3] = {0, 0, 0};
            int n[3] = {0, 0, 0};
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int sx = std::clamp(x + dx, 0, w - 1), sy = std::clamp(y + dy, 0, h - 1);
                    const int c = ColourAt(layout, sx, sy);
                    if (c == ColourAt(layout, x, y) && (dx != 0 || dy != 0)) continue;  // own colour: centre only
                    sum[c] += raw[static_cast<size_t>(sy) * w + sx];
                    ++n[c];
                }
            }
            uint8_t* p = &out[(static_cast<size_t>(y) * w + x) * bytesPerPixel];
            for (int c = 0; c < 3; ++c) {
                const double v = n[c] > 0 ? sum[c] / n[c] : 0;
                p[2 - c] = static_cast<uint8_t>(std::clamp(v * scale[c], 0.0, 255.0));  // B, G, R order
            }
        }
    }
    return out;
}

double MeanOf(const std::vector<uint8_t>& frame, int w, int x0, int y0, int x1, int y1, int layout = 0,
              int colour = -1) {
    double sum = 0;
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (colour >= 0 && ColourAt(layout, x, y) != colour) continue;
            sum += frame[static_cast<size_t>(y) * w + x];
            ++n;
        }
    }
    return n > 0 ? sum / n : 0;
}

class Frames : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        hvsim_set_manual_frames(1);
    }
    // One snapshot of the device as it is now.
    static std::vector<uint8_t> Shoot(HHV handle, size_t bytes) {
        std::vector<uint8_t> frame(bytes, 0xCD);
        uint8_t* buffers[2] = {frame.data(), nullptr};
        EXPECT_EQ(HVSnapShot(handle, buffers, 1), 0);
        return frame;
    }
};

TEST_F(Frames, StampSurvivesRawAndDemosaicOnEveryLayout) {
    ASSERT_EQ(hvsim_configure("HV1300UC,HV2000UC,HV1301UC,HV2001UC"), 4);
    const double warm[3] = {0.55, 1.0, 1.45};
    for (int device = 1; device <= 4; ++device) {
        HHV handle = Begin(device);
        ASSERT_EQ(HVSetOutputWindow(handle, 2, 0, 160, 64), 0);
        const std::vector<uint8_t> raw = Shoot(handle, 160 * 64);
        const int layout = State(device).bayerLayout;
        HvSimStamp stamp{};
        ASSERT_EQ(hvsim_decode_stamp(raw.data(), 160, 64, 1, &stamp), 0) << device;
        EXPECT_EQ(stamp.device, device);
        EXPECT_EQ(stamp.bufferIndex, 0);
        for (int bytesPerPixel : {3, 4}) {
            const auto colour = Demosaic(raw, 160, 64, layout, bytesPerPixel, warm);
            HvSimStamp decoded{};
            ASSERT_EQ(hvsim_decode_stamp(colour.data(), 160, 64, bytesPerPixel, &decoded), 0) << device;
            EXPECT_EQ(decoded.device, device);
            EXPECT_EQ(decoded.frame, stamp.frame);
        }
    }
}

TEST_F(Frames, StampSurvivesGreyExportAndGain) {
    HHV handle = Begin(2);
    ASSERT_EQ(HVAGCControl(handle, 16, 255), 0);
    ASSERT_EQ(HVAECControl(handle, 1, 16383), 0);  // the scene saturates, the stamp does not care
    Shoot(handle, 1280 * 1024);
    const auto frame = Shoot(handle, 1280 * 1024);
    HvSimStamp stamp{};
    ASSERT_EQ(hvsim_decode_stamp(frame.data(), 1280, 1024, 1, &stamp), 0);
    EXPECT_EQ(stamp.frame, 1);
    EXPECT_EQ(stamp.device, 2);
}

TEST_F(Frames, DamagedOrMissingStampIsRejected) {
    HHV handle = Begin(2);
    ASSERT_EQ(HVSetOutputWindow(handle, 0, 0, 64, 16), 0);
    auto frame = Shoot(handle, 64 * 16);
    HvSimStamp stamp{};
    ASSERT_EQ(hvsim_decode_stamp(frame.data(), 64, 16, 1, &stamp), 0);
    for (int y = 4; y < 8; ++y) {  // invert one payload bit
        for (int x = 20; x < 24; ++x) frame[static_cast<size_t>(y) * 64 + x] ^= 0xFF;
    }
    EXPECT_EQ(hvsim_decode_stamp(frame.data(), 64, 16, 1, &stamp), -1);
    EXPECT_EQ(hvsim_decode_stamp(frame.data(), 63, 16, 1, &stamp), -1);
    EXPECT_EQ(hvsim_decode_stamp(frame.data(), 64, 16, 2, &stamp), -1);
    const std::vector<uint8_t> flat(64 * 16, 128);
    EXPECT_EQ(hvsim_decode_stamp(flat.data(), 64, 16, 1, &stamp), -1);
}

TEST_F(Frames, FramesSmallerThanTheStampCarryNone) {
    HHV handle = Begin(1);
    ASSERT_EQ(HVSetOutputWindow(handle, 0, 0, 40, 10), 0);
    std::vector<uint8_t> frame = Shoot(handle, 40 * 10 + 16);
    EXPECT_EQ(frame[40 * 10], 0xCD);  // nothing written past the frame
    HvSimStamp stamp{};
    EXPECT_EQ(hvsim_decode_stamp(frame.data(), 40, 10, 1, &stamp), -1);
}

TEST_F(Frames, MosaicFollowsLayoutAndLightIsWarm) {
    HHV handle = Begin(1);  // colour HV1300UC
    const int layout = State(1).bayerLayout;
    const auto frame = Shoot(handle, 1280 * 1024);
    // White bar (first eighth, below the stamp): red above green above blue.
    const double r = MeanOf(frame, 1280, 80, 40, 150, 240, layout, 0);
    const double g = MeanOf(frame, 1280, 80, 40, 150, 240, layout, 1);
    const double b = MeanOf(frame, 1280, 80, 40, 150, 240, layout, 2);
    EXPECT_NEAR(r / g, 1.15, 0.05);
    EXPECT_NEAR(b / g, 0.80, 0.05);
    // Red bar (sixth eighth): red sites bright, blue sites dark.
    EXPECT_GT(MeanOf(frame, 1280, 820, 40, 940, 240, layout, 0), 100);
    EXPECT_LT(MeanOf(frame, 1280, 820, 40, 940, 240, layout, 2), 5);
}

TEST_F(Frames, BrightnessFollowsExposureGainAndOffset) {
    HHV handle = Begin(2);                             // mono
    const int x0 = 500, x1 = 600, y0 = 280, y1 = 380;  // mid-grey part of the ramp
    const double base = MeanOf(Shoot(handle, 1280 * 1024), 1280, x0, y0, x1, y1);
    ASSERT_GT(base, 30);
    ASSERT_LT(base, 120);
    const HvSimCameraState defaults = State(2);
    ASSERT_EQ(HVAECControl(handle, 1, defaults.exposureRows * 2), 0);
    EXPECT_NEAR(MeanOf(Shoot(handle, 1280 * 1024), 1280, x0, y0, x1, y1) / base, 2.0, 0.1);
    ASSERT_EQ(HVAECControl(handle, 1, defaults.exposureRows), 0);
    for (uint8_t code = 16; code <= 19; ++code) ASSERT_EQ(HVAGCControl(handle, code, 64), 0);  // (32+64)/(32+16) = 2
    EXPECT_NEAR(MeanOf(Shoot(handle, 1280 * 1024), 1280, x0, y0, x1, y1) / base, 2.0, 0.1);
    for (uint8_t code = 16; code <= 19; ++code) ASSERT_EQ(HVAGCControl(handle, code, 16), 0);
    ASSERT_EQ(HVADCControl(handle, 0, 5), 0);  // level 5: +20
    EXPECT_NEAR(MeanOf(Shoot(handle, 1280 * 1024), 1280, x0, y0, x1, y1) - base, 20.0, 1.0);
    ASSERT_EQ(HVADCControl(handle, 1, 1), 0);
    for (uint8_t code = 16; code <= 19; ++code) ASSERT_EQ(HVADCControl(handle, code, -80), 0);  // -20
    EXPECT_NEAR(MeanOf(Shoot(handle, 1280 * 1024), 1280, x0, y0, x1, y1) - base, 0.0, 1.0);
}

TEST_F(Frames, OneGainChannelChangesOnlyItsSites) {
    HHV handle = Begin(1);
    const int layout = State(1).bayerLayout;
    const auto before = Shoot(handle, 1280 * 1024);
    ASSERT_EQ(HVAGCControl(handle, 19, 64), 0);  // code 19: blue
    const auto after = Shoot(handle, 1280 * 1024);
    const double blue =
        MeanOf(after, 1280, 80, 300, 1200, 360, layout, 2) / MeanOf(before, 1280, 80, 300, 1200, 360, layout, 2);
    const double red =
        MeanOf(after, 1280, 80, 300, 1200, 360, layout, 0) / MeanOf(before, 1280, 80, 300, 1200, 360, layout, 0);
    EXPECT_NEAR(blue, 2.0, 0.15);
    EXPECT_NEAR(red, 1.0, 0.01);
}

TEST_F(Frames, StaticSceneRepeatsUnlessNoiseIsOn) {
    HHV handle = Begin(2);
    const auto first = Shoot(handle, 1280 * 1024);
    const auto second = Shoot(handle, 1280 * 1024);
    const size_t chartStart = 1280 * 200, chartEnd = 1280 * 700;  // below the counter, above the disc
    EXPECT_TRUE(std::equal(first.begin() + chartStart, first.begin() + chartEnd, second.begin() + chartStart));
    // The moving disc makes the lower band change from frame to frame.
    EXPECT_FALSE(std::equal(first.begin() + 1280 * 800, first.end(), second.begin() + 1280 * 800));
    hvsim_set_noise(1);
    const auto noisy = Shoot(handle, 1280 * 1024);
    EXPECT_FALSE(std::equal(first.begin() + chartStart, first.begin() + chartEnd, noisy.begin() + chartStart));
    EXPECT_NEAR(MeanOf(noisy, 1280, 500, 280, 600, 380), MeanOf(first, 1280, 500, 280, 600, 380), 1.5);
}

}  // namespace
