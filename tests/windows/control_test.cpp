// A few controls end to end: what the simulated camera was told, the trigger's two names, and
// identification.
#include <cstring>

#include "korvex_library.h"

namespace korvex::test {
namespace {

HvSimCameraState StateOf(int32_t device) {
    HvSimCameraState state{};
    EXPECT_EQ(hvsim_get_state(device, &state), 0);
    return state;
}

TEST_F(WinApiTest, GainAndTriggerPolarityReachTheCamera) {
    OpenAndAllocate(1);
    EXPECT_EQ(kx_->SetGain(1, 0, 12), 1);
    const HvSimCameraState state = StateOf(1);
    for (int32_t gain : state.gain) EXPECT_EQ(gain, 12);
    EXPECT_EQ(kx_->SetTriggerPolarity(1, 5), 1);
    EXPECT_EQ(StateOf(1).triggerPolarity, 1);
}

TEST_F(WinApiTest, BothTriggerNamesFireTheSoftwareTrigger) {
    OpenAndAllocate(1);
    ASSERT_EQ(kx_->SetSnapMode(1, 1), 1);
    EXPECT_EQ(kx_->TriggerShot(1), kx_->SetTrigerShot(1));
    int32_t triggers = 0;
    for (int32_t i = 0; i < hvsim_log_count(); ++i) {
        HvSimCall call{};
        ASSERT_EQ(hvsim_log_get(i, &call), 0);
        triggers += call.op == HVSIM_HVTriggerShot ? 1 : 0;
    }
    EXPECT_EQ(triggers, 2);
    EXPECT_EQ(kx_->TriggerShot(2), 0);  // not open
    EXPECT_EQ(watcher_->TakeTexts(), std::vector<std::string>{"Please open device first!"});
}

TEST_F(WinApiTest, IdentificationWritesTheModelNameAndStatus) {
    OpenAndAllocate(1);
    ASSERT_EQ(hvsim_set_type_code(1, 24), 0);
    uint8_t name[10];
    std::memset(name, 0xAA, sizeof name);
    EXPECT_EQ(kx_->GetDeviceType(1, name), 1);
    EXPECT_EQ(std::memcmp(name, "SV400FC\0\0\0", 10), 0);
    ASSERT_EQ(hvsim_set_camera_status(1, 7), 0);
    EXPECT_EQ(kx_->GetLastStatus(1), -1);
}

}  // namespace
}  // namespace korvex::test
