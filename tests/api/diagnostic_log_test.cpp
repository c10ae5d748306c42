// The diagnostic log as a host switches it on, through KORVEX_LOG and KORVEX_LOG_FILE. The library
// reads them at its first log point, once per process: ctest runs each test in a process of its
// own, so each test sets them before its first exported call.
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "api_fixture.h"

namespace korvex::test {
namespace {

class DiagnosticLogTest : public ApiTest {
protected:
    void SwitchOn(const char* filter) {
        setenv("KORVEX_LOG", filter, 1);
        setenv("KORVEX_LOG_FILE", LogPath().c_str(), 1);
    }
    std::string LogPath() const { return folder_ + "/korvex.log"; }
    std::string LogText() const {
        std::ifstream in(LogPath());
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(DiagnosticLogTest, ARefusalNamesTheFunctionTheCameraAndItsState) {
    SwitchOn("guard:info");
    ASSERT_EQ(ZqOpenDevice(2), 1);
    EXPECT_EQ(ZqStartGrab(2), 0);
    EXPECT_EQ(ZqExportImageData(11, nullptr, 1, 1, 0, 1), 0);
    const std::string log = LogText();
    EXPECT_NE(log.find(" INFO  guard     camera 2: ZqStartGrab refused: camera is Open, needs Allocated\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("ZqExportImageData refused: there is no camera 11"), std::string::npos) << log;
    EXPECT_EQ(ZqCloseDevice(), 1);
}

// A call on a camera that is not open goes to the library with handle 0, which no session owns:
// the line still names the camera the host asked about.
TEST_F(DiagnosticLogTest, AFailedCameraCallNamesItsCameraEvenWithoutASession) {
    SwitchOn("camera:warn");
    EXPECT_EQ(ZqGetLastStatus(3), 0);
    const std::string log = LogText();
    EXPECT_NE(log.find("camera 3: HVCommand(0, 256, "), std::string::npos) << log;
    EXPECT_NE(log.find(") failed with status "), std::string::npos) << log;
}

TEST_F(DiagnosticLogTest, DebugShowsTheCameraCallsAndStateChangesOfACaptureInOrder) {
    SwitchOn("debug");
    ASSERT_EQ(ZqOpenDevice(1), 1);
    ASSERT_EQ(ZqAllocateResources(), 1);
    ASSERT_EQ(ZqStartGrab(1), 1);
    ASSERT_EQ(ZqStopGrab(1), 1);
    ASSERT_EQ(ZqCloseDevice(), 1);
    const std::string log = LogText();
    const std::vector<std::string> expected = {"camera 1: BeginHVDevice(1, ",
                                               "camera 1: Closed -> Open",
                                               "opened 1 camera(s)",
                                               "camera 1: HVSetResolution(",
                                               "camera 1: Open -> Allocated",
                                               "camera 1: HVOpenSnap(",
                                               "camera 1: Allocated -> Capturing",
                                               "camera 1: HVStartSnap(",
                                               "camera 1: HVCloseSnap(",
                                               "camera 1: Capturing -> Allocated",
                                               "camera 1: Allocated -> Closed",
                                               "EndHVDevice(",
                                               "closed 1 camera(s)"};
    std::size_t at = 0;
    for (const std::string& line : expected) {
        const std::size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << line << "\n" << log;
        at = found;
    }
}

}  // namespace
}  // namespace korvex::test
