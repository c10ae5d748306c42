// Gain, converter, blanking, snap and trigger settings: the calls they make and what they return.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "api_fixture.h"

namespace korvex::test {
namespace {

using Strings = std::vector<std::string>;
using Codes = std::vector<int64_t>;

class Controls : public ApiTest {
protected:
    void SetUp() override {
        ApiTest::SetUp();
        ASSERT_EQ(ZqOpenDevice(1), 1);
        TakeCalls();
    }

    // The ops and first arguments of the calls made since the last look.
    std::vector<std::pair<HvSimOp, int64_t>> OpsAndFirstArgs() {
        std::vector<std::pair<HvSimOp, int64_t>> result;
        for (const HvSimCall& call : TakeCalls()) result.emplace_back(call.op, call.args[0]);
        return result;
    }

    // Checks a four-call sequence: codes 16..19 in order, each with value.
    void ExpectFourChannels(HvSimOp op, int64_t value) {
        const auto calls = TakeCalls();
        ASSERT_EQ(calls.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(calls[i].op, op);
            EXPECT_EQ(calls[i].args[0], 16 + i);
            EXPECT_EQ(calls[i].args[1], value);
        }
    }
};

TEST_F(Controls, FourChannelSequencesTakeTheirResultFromTheLastCall) {
    EXPECT_EQ(ZqSetGain(1, 0, 40), 1);
    ExpectFourChannels(HVSIM_HVAGCControl, 40);
    EXPECT_EQ(ZqSetADCValue(1, 264), 1);
    ExpectFourChannels(HVSIM_HVADCControl, 264);
    EXPECT_EQ(ZqSetADCValue(1, -255), 1);
    ExpectFourChannels(HVSIM_HVADCControl, -255);

    hvsim_fail(HVSIM_HVAGCControl, 2, 1, 3);
    hvsim_fail(HVSIM_HVADCControl, 2, 1, 3);
    EXPECT_EQ(ZqSetGain(1, 0, 40), 1);
    EXPECT_EQ(ZqSetADCValue(1, 7), 1);
    hvsim_fail(HVSIM_HVAGCControl, 2, 4, 1);
    hvsim_fail(HVSIM_HVADCControl, 2, 4, 1);
    EXPECT_EQ(ZqSetGain(1, 0, 40), 0);
    EXPECT_EQ(ZqSetADCValue(1, 7), 0);
}

TEST_F(Controls, OtherGainModesAndOutOfRangeConverterValuesSendNothing) {
    EXPECT_EQ(ZqSetGain(1, 1, 40), 1);
    EXPECT_EQ(ZqSetGain(1, -1, 40), 1);
    EXPECT_EQ(ZqSetADCValue(1, 265), 0);
    EXPECT_EQ(ZqSetADCValue(1, -256), 0);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(Controls, SingleCallSettingsPassTheirCodesAndValues) {
    EXPECT_EQ(ZqSetChannelGain(1, 2, 30), 1);
    ZqSetChannelGain(1, 240, 30);  // formed in 8 bits: 256 -> 0
    ZqSetChannelGain(1, -1, 30);   // 0xFF + 16 -> 15
    EXPECT_EQ(ZqSetADCLevel(1, 3), 1);
    for (const int16_t flag : {int16_t{1}, int16_t{2}, int16_t{-1}, int16_t{0}}) ZqEnableADC(1, flag);
    EXPECT_EQ(ZqSetSnapMode(1, 1), 1);
    EXPECT_EQ(OpsAndFirstArgs(), (std::vector<std::pair<HvSimOp, int64_t>>{{HVSIM_HVAGCControl, 18},
                                                                           {HVSIM_HVAGCControl, 0},
                                                                           {HVSIM_HVAGCControl, 15},
                                                                           {HVSIM_HVADCControl, 0},
                                                                           {HVSIM_HVADCControl, 1},
                                                                           {HVSIM_HVADCControl, 1},
                                                                           {HVSIM_HVADCControl, 1},
                                                                           {HVSIM_HVADCControl, 1},
                                                                           {HVSIM_HVSetSnapMode, 1}}));
    HvSimCameraState state{};
    ASSERT_EQ(hvsim_get_state(1, &state), 0);
    EXPECT_EQ(state.adcEnabled, 0);  // only a flag of exactly 1 enables
    ZqEnableADC(1, 1);
    ASSERT_EQ(hvsim_get_state(1, &state), 0);
    EXPECT_EQ(state.adcEnabled, 1);
}

TEST_F(Controls, SingleCallSettingsReportTheCamerasRefusal) {
    const std::vector<std::pair<HvSimOp, std::function<int16_t()>>> cases = {
        {HVSIM_HVAGCControl, [] { return ZqSetChannelGain(1, 0, 30); }},
        {HVSIM_HVADCControl, [] { return ZqSetADCLevel(1, 3); }},
        {HVSIM_HVADCControl, [] { return ZqEnableADC(1, 1); }},
        {HVSIM_HVSetBlanking, [] { return ZqSetBlanking(1, 10, 20); }},
        {HVSIM_HVSetSnapMode, [] { return ZqSetSnapMode(1, 0); }},
        {HVSIM_HVTriggerShot, [] { return ZqTriggerShot(1); }},
        {HVSIM_HVTriggerShot, [] { return ZqSetTrigerShot(1); }},
    };
    for (const auto& [op, call] : cases) {
        hvsim_fail(op, 8, 1, 1);
        EXPECT_EQ(call(), 0) << hvsim_op_name(op);
        hvsim_clear_faults();
    }
}

TEST_F(Controls, FlagSettingsSendOneOrZeroAndAlwaysReportSuccess) {
    const std::vector<std::pair<HvSimOp, int16_t (*)(int16_t, int16_t)>> cases = {
        {HVSIM_HVSetSnapSpeed, [](int16_t d, int16_t f) { return ZqSetSnapSpeed(d, f); }},
        {HVSIM_HVSetTriggerPolarity, [](int16_t d, int16_t f) { return ZqSetTriggerPolarity(d, f); }},
        {HVSIM_HVSetStrobePolarity, [](int16_t d, int16_t f) { return ZqSetStrobePolarity(d, f); }},
    };
    for (const auto& [op, set] : cases) {
        EXPECT_EQ(set(1, 5), 1);
        EXPECT_EQ(set(1, 0), 1);
        hvsim_fail(op, 8, 1, -1);
        EXPECT_EQ(set(1, -3), 1);
        hvsim_clear_faults();
        const auto calls = TakeCalls();
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[0].args[0], 1);
        EXPECT_EQ(calls[1].args[0], 0);
        EXPECT_EQ(calls[2].args[0], 1);
        EXPECT_NE(calls[2].status, 0);
    }
}

TEST_F(Controls, BothTriggerNamesFireOneShot) {
    ASSERT_EQ(ZqSetSnapMode(1, 1), 1);
    TakeCalls();
    ZqTriggerShot(1);
    ZqSetTrigerShot(1);
    EXPECT_EQ(Names(TakeCalls()), (Strings{"HVTriggerShot", "HVTriggerShot"}));
}

TEST_F(Controls, BlankingNeedsNoOpenCameraAndPassesHandleZero) {
    EXPECT_EQ(ZqSetBlanking(1, 10, 20), 1);
    EXPECT_EQ(ZqSetBlanking(3, 10, 20), 0);  // the camera library refuses handle 0
    const auto calls = TakeCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_NE(calls[0].handle, 0u);
    EXPECT_EQ(calls[1].handle, 0u);
    EXPECT_EQ(calls[1].args[0], 10);
    EXPECT_EQ(calls[1].args[1], 20);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(ZqSetBlanking(11, 10, 20), 0);
    EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(Controls, GuardedSettingsOnAClosedCameraShowTheMessageAndSendNothing) {
    const std::vector<std::function<int16_t()>> calls = {
        [] { return ZqSetGain(3, 1, 0); },        [] { return ZqSetChannelGain(3, 0, 0); },
        [] { return ZqSetADCLevel(3, 0); },       [] { return ZqEnableADC(3, 1); },
        [] { return ZqSetADCValue(3, 999); },     [] { return ZqSetSnapMode(3, 0); },
        [] { return ZqSetSnapSpeed(3, 1); },      [] { return ZqSetTriggerPolarity(3, 1); },
        [] { return ZqSetStrobePolarity(3, 1); }, [] { return ZqTriggerShot(3); },
    };
    for (const auto& call : calls) EXPECT_EQ(call(), 0);
    EXPECT_EQ(TakeMessageTexts(), Strings(calls.size(), "Please open device first!"));
    EXPECT_EQ(ZqSetGain(0, 0, 0), 0);
    EXPECT_EQ(ZqTriggerShot(-4), 0);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_TRUE(TakeCalls().empty());
}

}  // namespace
}  // namespace korvex::test
