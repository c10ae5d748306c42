// The slot state table, seen from outside: every exported function that takes a device number,
// called on camera 1 in each state a camera can be in, against one table written out here. A cell
// reads "result", then "ask" for each "Please open device first!", then ":" and the camera-library
// calls made, in order ("Name*n" for n calls in a row).
#include <functional>
#include <string>
#include <vector>

#include "api_fixture.h"

namespace korvex::test {
namespace {

enum State { kClosed, kOpen, kAllocated, kCapturing, kStopFailed, kDropped, kStateCount };
const char* const kStateNames[kStateCount] = {"Closed", "Open", "Allocated", "Capturing", "StopFailed", "Dropped"};

constexpr int32_t kStatus = -77;
uint8_t scratch[64 * 16 * 4];  // destination of exports, grabs and the identification getters

struct Row {
    const char* name;
    std::function<int32_t()> call;
    const char* expected[kStateCount];
};

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = {
        // function, call, then its cells in Closed, Open, Allocated, Capturing, StopFailed and Dropped
        {"ZqRestatDevice",
         [] { return ZqRestatDevice(1); },
         {"1 : EndHVDevice BeginHVDevice", "1 : EndHVDevice BeginHVDevice", "1 : EndHVDevice BeginHVDevice",
          "1 : EndHVDevice BeginHVDevice", "1 : EndHVDevice BeginHVDevice", "1 : EndHVDevice*2 BeginHVDevice"}},
        {"ZqStartGrab",
         [] { return ZqStartGrab(1); },
         {"0 ask", "0", "1 : HVOpenSnap HVStartSnap", "0 : HVOpenSnap HVStartSnap", "0 : HVOpenSnap HVStartSnap",
          "0 ask"}},
        {"ZqStopGrab",
         [] { return ZqStopGrab(1); },
         {"0 ask", "1 : HVCloseSnap", "1 : HVCloseSnap", "1 : HVCloseSnap", "1 : HVCloseSnap", "0 ask"}},
        {"ZqExportImageData",
         [] { return ZqExportImageData(1, scratch, 64, 16, 1, 1); },
         {"0", "0", "1", "1", "1", "0"}},
        {"ZqGrabSingle",
         [] { return ZqGrabSingle(1, scratch, 64, 16, 1, 1); },
         {"0 ask", "0", "1 : HVSnapShot", "1 : HVSnapShot", "1 : HVSnapShot", "0 ask"}},
        {"ZqEnableCross", [] { return ZqEnableCross(1, 0); }, {"1", "1", "1", "1", "1", "1"}},
        {"ZqSetCrossPara", [] { return ZqSetCrossPara(1, 0, 0, 8, 8, 2); }, {"1", "1", "1", "1", "1", "1"}},
        {"ZqAutoWhiteBalance", [] { return ZqAutoWhiteBalance(1); }, {"0", "0", "1", "1", "1", "0"}},
        {"ZqSetWhiteBalanceRatio",
         [] { return ZqSetWhiteBalanceRatio(1, 100, 100); },
         {"0 ask", "1", "1", "1", "1", "0 ask"}},
        {"ZqResetLutTable", [] { return ZqResetLutTable(1); }, {"1", "1", "1", "1", "1", "1"}},
        {"ZqSetGamma", [] { return ZqSetGamma(1, 10); }, {"1", "1", "1", "1", "1", "1"}},
        {"ZqSetShutter",
         [] { return ZqSetShutter(1, 1, 10); },
         {"0 ask", "1 : HVGetDeviceInfo HVAECControl", "1 : HVGetDeviceInfo HVAECControl",
          "1 : HVGetDeviceInfo HVAECControl", "1 : HVGetDeviceInfo HVAECControl", "0 ask"}},
        {"ZqSetResolution",
         [] { return ZqSetResolution(1, 0); },
         {"0 ask", "1 : HVGetDeviceInfo*2 HVSetResolution", "1 : HVGetDeviceInfo*2 HVSetResolution",
          "1 : HVGetDeviceInfo*2 HVSetResolution", "1 : HVGetDeviceInfo*2 HVSetResolution", "0 ask"}},
        {"ZqSetAOI",
         [] { return ZqSetAOI(1, 0, 0, 64, 16); },
         {"0 ask", "1 : HVSetOutputWindow", "1 : HVSetOutputWindow", "1 : HVSetOutputWindow", "1 : HVSetOutputWindow",
          "0 ask"}},
        {"ZqGetImageWidth",
         [] { return ZqGetImageWidth(1); },
         {"0 ask", "1280 : HVGetDeviceInfo*2", "1280 : HVGetDeviceInfo*2", "1280 : HVGetDeviceInfo*2",
          "1280 : HVGetDeviceInfo*2", "0 ask"}},
        {"ZqGetImageHeight",
         [] { return ZqGetImageHeight(1); },
         {"0 ask", "1024 : HVGetDeviceInfo*2", "1024 : HVGetDeviceInfo*2", "1024 : HVGetDeviceInfo*2",
          "1024 : HVGetDeviceInfo*2", "0 ask"}},
        {"ZqSetGain",
         [] { return ZqSetGain(1, 0, 20); },
         {"0 ask", "1 : HVAGCControl*4", "1 : HVAGCControl*4", "1 : HVAGCControl*4", "1 : HVAGCControl*4", "0 ask"}},
        {"ZqSetChannelGain",
         [] { return ZqSetChannelGain(1, 1, 20); },
         {"0 ask", "1 : HVAGCControl", "1 : HVAGCControl", "1 : HVAGCControl", "1 : HVAGCControl", "0 ask"}},
        {"ZqSetADCLevel",
         [] { return ZqSetADCLevel(1, 2); },
         {"0 ask", "1 : HVADCControl", "1 : HVADCControl", "1 : HVADCControl", "1 : HVADCControl", "0 ask"}},
        {"ZqEnableADC",
         [] { return ZqEnableADC(1, 1); },
         {"0 ask", "1 : HVADCControl", "1 : HVADCControl", "1 : HVADCControl", "1 : HVADCControl", "0 ask"}},
        {"ZqSetADCValue",
         [] { return ZqSetADCValue(1, 10); },
         {"0 ask", "1 : HVADCControl*4", "1 : HVADCControl*4", "1 : HVADCControl*4", "1 : HVADCControl*4", "0 ask"}},
        {"ZqSetBlanking",
         [] { return ZqSetBlanking(1, 10, 10); },
         {"0 : HVSetBlanking", "1 : HVSetBlanking", "1 : HVSetBlanking", "1 : HVSetBlanking", "1 : HVSetBlanking",
          "0 : HVSetBlanking"}},
        {"ZqSetSnapMode",
         [] { return ZqSetSnapMode(1, 0); },
         {"0 ask", "1 : HVSetSnapMode", "1 : HVSetSnapMode", "1 : HVSetSnapMode", "1 : HVSetSnapMode", "0 ask"}},
        {"ZqSetSnapSpeed",
         [] { return ZqSetSnapSpeed(1, 1); },
         {"0 ask", "1 : HVSetSnapSpeed", "1 : HVSetSnapSpeed", "1 : HVSetSnapSpeed", "1 : HVSetSnapSpeed", "0 ask"}},
        {"ZqSetTriggerPolarity",
         [] { return ZqSetTriggerPolarity(1, 1); },
         {"0 ask", "1 : HVSetTriggerPolarity", "1 : HVSetTriggerPolarity", "1 : HVSetTriggerPolarity",
          "1 : HVSetTriggerPolarity", "0 ask"}},
        {"ZqSetStrobePolarity",
         [] { return ZqSetStrobePolarity(1, 1); },
         {"0 ask", "1 : HVSetStrobePolarity", "1 : HVSetStrobePolarity", "1 : HVSetStrobePolarity",
          "1 : HVSetStrobePolarity", "0 ask"}},
        {"ZqTriggerShot",
         [] { return ZqTriggerShot(1); },
         {"0 ask", "0 : HVTriggerShot", "0 : HVTriggerShot", "0 : HVTriggerShot", "0 : HVTriggerShot", "0 ask"}},
        {"ZqSetTrigerShot",
         [] { return ZqSetTrigerShot(1); },
         {"0 ask", "0 : HVTriggerShot", "0 : HVTriggerShot", "0 : HVTriggerShot", "0 : HVTriggerShot", "0 ask"}},
        {"ZqGetDeviceType",
         [] { return ZqGetDeviceType(1, scratch); },
         {"0 ask", "1 : HVGetDeviceInfo", "1 : HVGetDeviceInfo", "1 : HVGetDeviceInfo", "1 : HVGetDeviceInfo",
          "0 ask"}},
        {"ZqGetDeviceSeriesNum",
         [] { return ZqGetDeviceSeriesNum(1, scratch); },
         {"0 ask", "1 : HVGetDeviceInfo*2", "1 : HVGetDeviceInfo*2", "1 : HVGetDeviceInfo*2", "1 : HVGetDeviceInfo*2",
          "0 ask"}},
        {"ZqGetHardwareVersion",
         [] { return ZqGetHardwareVersion(1, scratch); },
         {"0 ask", "1 : HVGetDeviceInfo*2", "1 : HVGetDeviceInfo*2", "1 : HVGetDeviceInfo*2", "1 : HVGetDeviceInfo*2",
          "0 ask"}},
        {"ZqGetLastStatus",
         [] { return ZqGetLastStatus(1); },
         {"0 : HVCommand", "1 : HVCommand", "1 : HVCommand", "1 : HVCommand", "1 : HVCommand", "0 : HVCommand"}},
    };
    return rows;
}

class SlotTable : public ApiTest {
protected:
    // Camera 1 of one, in state; the call log and messages cleared. A capture has one new frame.
    // StopFailed: the camera library refused the stop. Dropped: the camera was closed while
    // capturing and the camera library did not confirm the end of its session.
    void Arrange(State state) {
        ZqCloseDevice();
        hvsim_reset();
        hvsim_set_manual_frames(1);
        ZqSetTimeout(0);
        if (state != kClosed) {
            ASSERT_EQ(ZqOpenDevice(1), 1);
        }
        if (state >= kAllocated) {
            ASSERT_EQ(ZqAllocateResources(), 1);
            // An export gives automatic white balance the size and layout to estimate at.
            ASSERT_EQ(ZqExportImageData(1, scratch, 64, 16, 1, 1), 1);
        }
        if (state >= kCapturing) {
            ASSERT_EQ(ZqStartGrab(1), 1);
            ASSERT_EQ(hvsim_deliver_frames(1, 1), 1);
        }
        if (state == kStopFailed) {
            hvsim_fail(HVSIM_HVCloseSnap, kStatus, 1, 1);
            ASSERT_EQ(ZqStopGrab(1), 0);
        }
        if (state == kDropped) {  // the end of a capturing camera's session is not confirmed
            hvsim_fail(HVSIM_EndHVDevice, kStatus, 1, 1);
            ASSERT_EQ(ZqCloseDevice(), 1);
        }
        hvsim_clear_faults();
        TakeMessages();
        hvsim_log_clear();
    }

    // The cell of what call did: its result, its messages and its camera calls.
    std::string Observe(const std::function<int32_t()>& call) {
        std::string cell = std::to_string(call());
        for (const std::string& text : TakeMessageTexts())
            cell += text == "Please open device first!" ? " ask" : " " + text;
        const std::vector<std::string> names = Names(TakeCalls());
        if (!names.empty()) cell += " :";
        for (std::size_t i = 0; i < names.size();) {
            std::size_t run = 1;
            while (i + run < names.size() && names[i + run] == names[i]) ++run;
            cell += " " + names[i] + (run > 1 ? "*" + std::to_string(run) : "");
            i += run;
        }
        return cell;
    }
};

TEST_F(SlotTable, EveryFunctionInEveryStateGivesItsCell) {
    for (const Row& row : Rows()) {
        for (int state = 0; state < kStateCount; ++state) {
            Arrange(static_cast<State>(state));
            EXPECT_EQ(Observe(row.call), row.expected[state]) << row.name << " in " << kStateNames[state];
        }
    }
}

}  // namespace
}  // namespace korvex::test
