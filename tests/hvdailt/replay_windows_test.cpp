// Replay in the Windows build: a recording in a folder named the Windows way (drive letter,
// backslashes, a space) replays as a camera through the camera library's own calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HVDAILT.h"
#include "hvsim_control.h"
#include "recording_writer.h"

namespace {

TEST(ReplayOnWindows, AFolderWithDriveLetterAndBackslashesReplaysInOrder) {
    TemporaryFolder folder;
    RecordingContent content{"HV2000UC", 64, 32, 2, {}, {0, 20000, 50000}};
    for (int i = 0; i < 3; ++i) {
        std::vector<uint8_t> frame(64 * 32);
        for (size_t p = 0; p < frame.size(); ++p) frame[p] = static_cast<uint8_t>(p * (i + 1) + 40 * i);
        content.frames.push_back(frame);
    }
    const std::filesystem::path where = folder.Path() / "line 3";
    ASSERT_TRUE(WriteRecording(where, content));
    const std::string path = where.string();
    ASSERT_EQ(path.substr(1, 2), ":\\") << path;

    hvsim_reset();
    hvsim_set_manual_frames(1);  // snapshots without waiting a frame time
    ASSERT_EQ(hvsim_configure(("replay:" + path).c_str()), 1) << hvsim_configuration_error();
    HHV handle = 0;
    ASSERT_EQ(BeginHVDevice(1, &handle), 0);
    int32_t code = -1, size = 4;
    ASSERT_EQ(HVGetDeviceInfo(handle, HV_INFO_TYPE_CODE, &code, &size), 0);
    EXPECT_EQ(code, 1);  // HV2000UC
    ResolutionEntry modes[2] = {};
    size = sizeof modes;
    ASSERT_EQ(HVGetDeviceInfo(handle, HV_INFO_RESOLUTIONS, modes, &size), 0);
    ASSERT_EQ(size, static_cast<int32_t>(sizeof(ResolutionEntry)));
    EXPECT_EQ(modes[0].width, 64);
    EXPECT_EQ(modes[0].height, 32);
    std::vector<uint8_t> frame(64 * 32);
    uint8_t* buffers[1] = {frame.data()};
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(HVSnapShot(handle, buffers, 1), 0);
        EXPECT_TRUE(frame == content.frames[static_cast<size_t>(i % 3)]) << i;
    }
    EXPECT_EQ(EndHVDevice(handle), 0);

    EXPECT_EQ(hvsim_configure(("replay:" + path + "\\absent").c_str()), -1);
    EXPECT_NE(std::string(hvsim_configuration_error()).find(path + "\\absent"), std::string::npos)
        << hvsim_configuration_error();
    hvsim_reset();
}

}  // namespace
