// Fault injection and the call log.
#include <string>

#include "sim_fixture.h"

namespace {

int32_t KX_CALL SlotCallback(SnapInfo*) { return 1; }
int32_t KX_CALL OtherCallback(SnapInfo*) { return 1; }

using Faults = SimTest;

TEST_F(Faults, NthCallFailsOnceAndChangesNothing) {
    HHV handle = Begin(1);
    ASSERT_EQ(HVSetSnapMode(handle, 0), 0);  // counted before the rule: not call 1
    hvsim_fail(HVSIM_HVSetSnapMode, 9, 2, 1);
    EXPECT_EQ(HVSetSnapMode(handle, 0), 0);
    EXPECT_EQ(HVSetSnapMode(handle, 2), 9);
    EXPECT_EQ(State(1).snapMode, 0);
    EXPECT_EQ(HVSetSnapMode(handle, 2), 0);
    EXPECT_EQ(State(1).snapMode, 2);
}

TEST_F(Faults, FromNthCallOnUntilCleared) {
    HHV handle = Begin(1);
    hvsim_fail(HVSIM_HVAGCControl, -77, 3, -1);
    EXPECT_EQ(HVAGCControl(handle, 16, 1), 0);
    EXPECT_EQ(HVAGCControl(handle, 16, 2), 0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(HVAGCControl(handle, 16, 40 + i), -77);
    EXPECT_EQ(State(1).gain[0], 2);
    EXPECT_EQ(HVSetSnapMode(handle, 1), 0);  // other operations are unaffected
    hvsim_clear_faults();
    EXPECT_EQ(HVAGCControl(handle, 16, 50), 0);
}

TEST_F(Faults, FailingCallsWriteNothingThroughPointers) {
    hvsim_fail(HVSIM_BeginHVDevice, 4, 1, 1);
    HHV handle = 55;
    EXPECT_EQ(BeginHVDevice(1, &handle), 4);
    EXPECT_EQ(handle, 55u);
    EXPECT_EQ(State(1).open, 0);
    handle = Begin(1);
    hvsim_fail(HVSIM_HVGetDeviceInfo, 3, 1, 2);
    int32_t size = -5;
    EXPECT_EQ(HVGetDeviceInfo(handle, HV_INFO_SERIAL, nullptr, &size), 3);
    EXPECT_EQ(size, -5);
    hvsim_fail(HVSIM_HVGetDeviceTotal, 6, 1, 1);
    int32_t count = -1;
    EXPECT_EQ(HVGetDeviceTotal(&count), 6);
    EXPECT_EQ(count, -1);
}

TEST_F(Faults, InjectedFaultWinsOverAnUnknownHandle) {
    hvsim_fail(HVSIM_EndHVDevice, 21, 1, 1);
    EXPECT_EQ(EndHVDevice(0), 21);
    EXPECT_EQ(EndHVDevice(0), HVSIM_STATUS_INVALID_HANDLE);
}

TEST_F(Faults, IgnoresRulesThatCouldNeverFail) {
    HHV handle = Begin(1);
    hvsim_fail(HVSIM_HVSetSnapSpeed, 0, 1, -1);  // status 0 is not a failure
    hvsim_fail(HVSIM_HVSetSnapSpeed, 5, 0, 1);   // calls count from 1
    EXPECT_EQ(HVSetSnapSpeed(handle, 1), 0);
}

using CallLog = SimTest;

TEST_F(CallLog, RecordsOperationHandleArgumentsAndStatus) {
    HHV handle = Begin(2);
    int32_t size = 0;
    HVGetDeviceInfo(handle, HV_INFO_RESOLUTIONS, nullptr, &size);
    HVAECControl(handle, 1, 0xFFFFFFFFu);
    HVSetOutputWindow(handle, 1, 2, 3, 4);
    EndHVDevice(handle);
    HVSetBlanking(0, 7, 8);

    const auto log = Calls();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0].op, HVSIM_BeginHVDevice);
    EXPECT_EQ(log[0].handle, handle);
    EXPECT_EQ(log[0].args[0], 2);
    EXPECT_EQ(log[0].status, 0);

    EXPECT_EQ(log[1].op, HVSIM_HVGetDeviceInfo);
    ASSERT_EQ(log[1].argCount, 3);
    EXPECT_EQ(log[1].args[0], HV_INFO_RESOLUTIONS);
    EXPECT_EQ(log[1].args[1], 0);  // null buffer
    EXPECT_EQ(log[1].args[2], 1);

    EXPECT_EQ(log[2].args[1], int64_t{0xFFFFFFFF});  // unsigned value, not -1
    EXPECT_NE(log[2].status, 0);

    ASSERT_EQ(log[3].argCount, 4);
    EXPECT_EQ(log[3].args[3], 4);
    EXPECT_EQ(log[4].op, HVSIM_EndHVDevice);
    EXPECT_EQ(log[4].argCount, 0);
    EXPECT_EQ(log[5].handle, 0u);
    EXPECT_EQ(log[5].status, HVSIM_STATUS_INVALID_HANDLE);

    hvsim_log_clear();
    EXPECT_EQ(hvsim_log_count(), 0);
    HvSimCall call{};
    EXPECT_EQ(hvsim_log_get(0, &call), -1);
}

TEST_F(CallLog, NamesCallbackSlots) {
    HHV handle = Begin(1);
    ASSERT_EQ(hvsim_set_callback_slot(7, SlotCallback), 0);
    EXPECT_EQ(hvsim_set_callback_slot(11, SlotCallback), -1);
    hvsim_log_clear();
    HVOpenSnap(handle, SlotCallback, nullptr);
    HVOpenSnap(handle, OtherCallback, reinterpret_cast<void*>(5));
    HVOpenSnap(handle, nullptr, nullptr);
    const auto log = Calls();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].args[0], 7);
    EXPECT_EQ(log[0].args[1], 0);
    EXPECT_EQ(log[1].args[0], 1);
    EXPECT_EQ(log[1].args[1], 1);
    EXPECT_EQ(log[2].args[0], 0);
    hvsim_set_callback_slot(7, nullptr);
}

TEST_F(CallLog, OperationNamesMatchTheLibrary) {
    EXPECT_EQ(std::string(hvsim_op_name(HVSIM_BeginHVDevice)), "BeginHVDevice");
    EXPECT_EQ(std::string(hvsim_op_name(HVSIM_HVCommand)), "HVCommand");
    EXPECT_EQ(std::string(hvsim_op_name(HVSIM_HVAECControl)), "HVAECControl");
}

}  // namespace
