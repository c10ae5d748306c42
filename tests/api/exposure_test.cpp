// ZqSetShutter seen through the camera-library call log, and its effect on delivered frames.
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "../adapter/exposure_examples.h"
#include "api_fixture.h"

namespace korvex::test {
namespace {

using Strings = std::vector<std::string>;

class Exposure : public ApiTest {
protected:
    // Camera 1 opened without buffers, so that any row width can be set through the window
    // (the width is kept even where the simulated camera refuses the window).
    void OpenWithGeometry(int32_t typeCode, int32_t width, int16_t mode) {
        ASSERT_EQ(ZqOpenDevice(1), 1);
        ASSERT_EQ(hvsim_set_type_code(1, typeCode), 0);
        ASSERT_EQ(ZqSetResolution(1, mode), 1);
        ZqSetAOI(1, 0, 0, static_cast<int16_t>(width), 1);
        TakeCalls();
    }

    // Sets the exposure and checks that the type query came first and then exactly the expected
    // HVAECControl (code, value) pairs.
    void ExpectShutterSends(int16_t unit, int16_t value, const std::vector<std::pair<int64_t, int64_t>>& sent,
                            int16_t result = 1) {
        EXPECT_EQ(ZqSetShutter(1, unit, value), result);
        const auto calls = TakeCalls();
        ASSERT_EQ(calls.size(), sent.size() + 1);
        EXPECT_EQ(calls[0].op, HVSIM_HVGetDeviceInfo);
        EXPECT_EQ(calls[0].args[0], 0);  // kind 0: the type code
        for (std::size_t i = 0; i < sent.size(); ++i) {
            EXPECT_EQ(calls[i + 1].op, HVSIM_HVAECControl);
            EXPECT_EQ(calls[i + 1].args[0], sent[i].first);
            EXPECT_EQ(calls[i + 1].args[1], sent[i].second);
        }
    }
};

TEST_F(Exposure, KnownSettingsReachTheCameraAsRowCounts) {
    for (const ExposureExample& e : kExposureExamples) {
        SCOPED_TRACE("code " + std::to_string(e.typeCode) + " unit " + std::to_string(e.unit) + " value " +
                     std::to_string(e.value) + " width " + std::to_string(e.width));
        OpenWithGeometry(e.typeCode, e.width, static_cast<int16_t>(e.resolutionMode));
        ExpectShutterSends(e.unit, e.value, {{1, e.rows}});
        ZqCloseDevice();
    }
}

TEST_F(Exposure, TypeCodesAtTheFamilyBordersUseTheirOwnFormula) {
    struct Case {
        int32_t code;
        int64_t rows;  // 10 ms at width 1280, mode 0
    };
    for (const Case c : {Case{17, 157}, Case{35, 157}, Case{36, 148}, Case{37, 134}}) {
        SCOPED_TRACE(c.code);
        OpenWithGeometry(c.code, 1280, 0);
        ExpectShutterSends(1, 10, {{1, c.rows}});
        ZqCloseDevice();
    }
}

TEST_F(Exposure, SvCamerasReceiveUnitThenValueUncheckedAndTheValueDecides) {
    OpenWithGeometry(24, 1280, 0);
    ExpectShutterSends(1, 10, {{3, 1}, {2, 10}});
    ExpectShutterSends(-1, -5, {{3, 0xFFFFFFFF}, {2, 0xFFFFFFFB}}, 0);  // widened with the sign
    hvsim_fail(HVSIM_HVAECControl, 9, 1, 1);
    ExpectShutterSends(1, 10, {{3, 1}, {2, 10}}, 1);  // a refused unit is not reported
    hvsim_fail(HVSIM_HVAECControl, 9, 2, 1);
    ExpectShutterSends(1, 10, {{3, 1}, {2, 10}}, 0);
}

TEST_F(Exposure, RowCountingCamerasRefuseUnknownUnitsAfterTheTypeQuery) {
    for (const int32_t code : {0, 1, 4}) {
        OpenWithGeometry(code, 1280, 0);
        ExpectShutterSends(3, 10, {}, 0);
        ExpectShutterSends(-1, 10, {}, 0);
        ZqCloseDevice();
    }
}

TEST_F(Exposure, FailuresOfTheTypeQueryOrTheRowsCallGiveZero) {
    OpenWithGeometry(0, 1280, 0);
    hvsim_fail(HVSIM_HVGetDeviceInfo, 5, 1, 1);
    ExpectShutterSends(1, 10, {}, 0);  // nothing is sent for an unknown type
    hvsim_fail(HVSIM_HVAECControl, 5, 1, 1);
    ExpectShutterSends(1, 10, {{1, 157}}, 0);
}

TEST_F(Exposure, AClosedCameraGetsTheMessageEvenWithABadUnit) {
    EXPECT_EQ(ZqSetShutter(3, 7, 1), 0);
    EXPECT_EQ(TakeMessageTexts(), Strings{"Please open device first!"});
    EXPECT_EQ(ZqSetShutter(0, 1, 1), 0);
    EXPECT_EQ(ZqSetShutter(11, 1, 1), 0);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_TRUE(TakeCalls().empty());
}

double MeanOf(const std::vector<uint8_t>& pixels) {
    return std::accumulate(pixels.begin(), pixels.end(), 0.0) / static_cast<double>(pixels.size());
}

TEST_F(Exposure, ALongerExposureGivesABrighterFrame) {
    OpenAndAllocate(2);  // camera 2 is monochrome
    const int16_t width = ZqGetImageWidth(2);
    const int16_t height = ZqGetImageHeight(2);
    std::vector<uint8_t> frame(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));

    ASSERT_EQ(ZqSetShutter(2, 1, 2), 1);
    ASSERT_EQ(ZqGrabSingle(2, frame.data(), width, height, 0, 0), 1);
    const double shortMean = MeanOf(frame);
    ASSERT_EQ(ZqSetShutter(2, 1, 8), 1);
    ASSERT_EQ(ZqGrabSingle(2, frame.data(), width, height, 0, 0), 1);
    EXPECT_GT(MeanOf(frame), shortMean + 10.0);
}

}  // namespace
}  // namespace korvex::test
