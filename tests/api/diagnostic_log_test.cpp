// The diagnostic log as a host switches it on, through KORVEX_LOG and KORVEX_LOG_FILE. The library
// reads them at its first log point, once per process: ctest runs each test in a process of its
// own, so each test sets them before its first exported call.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "capture_support.h"

namespace korvex::test {
namespace {

class DiagnosticLogTest : public AcquisitionTest {
protected:
    void SwitchOn(const char* filter) {
        setenv("KORVEX_LOG", filter, 1);
        setenv("KORVEX_LOG_FILE", LogPath().c_str(), 1);
    }
    std::string LogPath() const { return folder_ + "/korvex.log"; }
    // Each text found in the log after the one before it.
    void ExpectInOrder(const std::vector<std::string>& texts) const {
        const std::string log = LogText();
        std::size_t at = 0;
        for (const std::string& text : texts) {
            const std::size_t found = log.find(text, at);
            ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << text << "\n" << log;
            at = found + text.size();
        }
    }
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

// Every domain that exists logs: control and colour say what was asked and what the camera was
// given, a clamped exposure at warn level.
TEST_F(DiagnosticLogTest, ControlAndColourSayWhatWasAskedAndWhatWasApplied) {
    SwitchOn("control:info,colour:info");
    OpenAndAllocate(1);
    EXPECT_EQ(ZqSetShutter(1, 2, 2), 1);  // 2 s: beyond what the camera can take
    EXPECT_EQ(ZqSetShutter(1, 1, 10), 1);
    EXPECT_EQ(ZqSetResolution(1, 0), 1);
    EXPECT_EQ(ZqSetAOI(1, 0, 0, 320, 240), 1);
    EXPECT_EQ(ZqSetGain(1, 0, 10), 1);
    EXPECT_EQ(ZqSetADCValue(1, 300), 0);
    EXPECT_EQ(ZqSetTriggerPolarity(1, 1), 1);
    EXPECT_EQ(ZqSetStrobePolarity(1, 0), 1);
    EXPECT_EQ(ZqSetGamma(1, 15), 1);
    EXPECT_EQ(ZqResetLutTable(1), 1);
    EXPECT_EQ(ZqSetWhiteBalanceRatio(1, 120, 150), 1);
    EXPECT_EQ(ZqAutoWhiteBalance(1), 0);  // nothing exported yet
    ExpectInOrder({" WARN  control   camera 1: exposure 2 s asked, 1.04 s applied: the camera's upper limit\n",
                   " INFO  control   camera 1: exposure 2 s asked: 16383 rows of width ",
                   "camera 1: exposure 0.01 s asked: ", "camera 1: resolution mode 0, ",
                   "camera 1: window 320x240 at 0,0: applied", "camera 1: gain 10 on all four channels: applied",
                   "camera 1: converter value 300 outside -255..264: refused",
                   "camera 1: trigger polarity 1: sent, the answer not looked at", "camera 1: strobe polarity 0: sent",
                   " INFO  colour    camera 1: gamma 15 gives 1.0: tables filled",
                   "camera 1: colour tables reset to identity", "camera 1: white balance set: red 1.50, blue 1.20",
                   "camera 1: automatic white balance: no estimate"});
    EXPECT_EQ(ZqCloseDevice(), 1);
}

// An unplugged camera is named: at capture by the export that waits in vain, and in words beside
// the camera library's status. The start line before them gives the files actually loaded.
TEST_F(DiagnosticLogTest, AnUnpluggedCameraIsNamed) {
    SwitchOn("camera:warn,capture:warn");
    OpenAndAllocate(1);
    EXPECT_EQ(ZqSetTimeout(100), 1);
    ASSERT_EQ(ZqStartGrab(1), 1);
    ASSERT_EQ(hvsim_unplug(1), 0);
    Destination out(64 * 16);
    EXPECT_EQ(ZqExportImageData(1, out.data(), 64, 16, 0, 1), -1);
    EXPECT_EQ(ZqStopGrab(1), 0);
    EXPECT_EQ(ZqCloseDevice(), 1);
    ExpectInOrder({" INFO  log       Korvex ", "libKorvex.so", "; camera libraries ", "/libHVDAILT.so, ",
                   "/libRaw2Rgb.so; KORVEX_LOG=camera:warn,capture:warn\n",
                   " WARN  capture   camera 1: no frame for 0.1 s\n", " WARN  camera    camera 1: HVCloseSnap(",
                   ") failed with status -7 (unplugged: "});
}

// A log reader that stops reading neither stops capture nor loses a frame: the frame callback's
// trace lines that the FIFO cannot take are dropped and counted, and the next line says how many.
TEST_F(DiagnosticLogTest, AStalledLogReaderNeitherStopsCaptureNorLosesFrames) {
    constexpr int kBatches = 20;
    constexpr int kFramesPerBatch = 100;  // 2,000 trace lines: several times what the FIFO holds
    const std::string fifo = folder_ + "/log.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // there, but it reads nothing yet
    ASSERT_GE(reader, 0);
    setenv("KORVEX_LOG", "capture:trace", 1);
    setenv("KORVEX_LOG_FILE", fifo.c_str(), 1);
    OpenAndAllocate(1);
    // Small frames (320 x 256): the lines are what this is about, and rendering 2,000 full frames
    // would take minutes under the sanitizers on a busy machine.
    ASSERT_EQ(ZqSetResolution(1, 2), 1);
    ASSERT_EQ(ZqStartGrab(1), 1);
    int delivered = 0;
    for (int batch = 0; batch < kBatches; ++batch) delivered += hvsim_deliver_frames(1, kFramesPerBatch);
    EXPECT_EQ(delivered, kBatches * kFramesPerBatch);
    const int16_t width = ZqGetImageWidth(1);
    const int16_t height = ZqGetImageHeight(1);
    Destination out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    ASSERT_EQ(hvsim_deliver_frames(1, 1), 1);
    ASSERT_EQ(ZqExportImageData(1, out.data(), width, height, 0, 1), 1);
    EXPECT_EQ(Stamp(out, width, height, 1).frame, delivered);  // the newest frame: none lost on the way

    std::string received;
    char chunk[65536];
    for (ssize_t got; (got = read(reader, chunk, sizeof chunk)) > 0;)
        received.append(chunk, static_cast<std::size_t>(got));
    ASSERT_EQ(hvsim_deliver_frames(1, 1), 1);  // a line the reader, reading again, takes
    for (ssize_t got; (got = read(reader, chunk, sizeof chunk)) > 0;)
        received.append(chunk, static_cast<std::size_t>(got));
    EXPECT_EQ(ZqStopGrab(1), 1);
    EXPECT_EQ(ZqCloseDevice(), 1);
    close(reader);

    std::istringstream lines(received);
    unsigned long long traced = 0;
    unsigned long long dropped = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" TRACE capture   camera 1: frame callback: ") != std::string::npos) ++traced;
        const std::size_t count = line.find(" WARN  log       ");
        unsigned long long droppedHere = 0;
        if (count != std::string::npos &&
            std::sscanf(line.c_str() + count + 17, "%llu lines dropped before this one", &droppedHere) == 1)
            dropped += droppedHere;
    }
    EXPECT_GT(dropped, 0u);
    EXPECT_EQ(traced + dropped, static_cast<unsigned long long>(delivered) + 2);
}

}  // namespace
}  // namespace korvex::test
