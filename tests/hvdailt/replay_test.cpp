// Recordings replayed as cameras: frames recorded through the adapter come back byte for byte,
// and a camera list entry that cannot be used says which one and what exists.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <fstream>
#include <string>
#include <vector>

#include "hvsim_control.h"
#include "korvex.h"
#include "recording_writer.h"

namespace {

uint32_t Crc32(const uint8_t* bytes, size_t size) {  // bit by bit, as the PNG book defines it
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

void PutBigEndian32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// Changes the last byte of a PNG file's first IDAT chunk (the end of its zlib stream: the
// Adler-32), and with fixCrc the chunk's CRC to match, so that only the zlib checksum is wrong.
void DamageImageData(const std::filesystem::path& file, bool fixCrc) {
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const auto idat = std::search(png.begin(), png.end(), std::begin("IDAT"), std::end("IDAT") - 1) - png.begin();
    ASSERT_LT(static_cast<size_t>(idat), png.size());
    const uint32_t length =
        uint32_t{png[idat - 4]} << 24 | uint32_t{png[idat - 3]} << 16 | uint32_t{png[idat - 2]} << 8 | png[idat - 1];
    png[idat + 4 + length - 1] ^= 0x5A;
    if (fixCrc) PutBigEndian32(&png[idat + 4 + length], Crc32(&png[idat], 4 + size_t{length}));
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
}

using Frames = std::vector<std::vector<uint8_t>>;

class Replay : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KORVEX_CONFIG_DIR", folder_.Path().c_str(), 1);
        setenv("KORVEX_DIALOG", "true", 1);  // a misuse message must not wait for a person
        hvsim_reset();
        hvsim_set_manual_frames(1);
        ZqSetTimeout(2000);
    }
    void TearDown() override { hvsim_reset(); }

    // Takes count frames from the camera, one capture each: the grey export (the raw bytes as the
    // camera delivered them) while capturing, then the colour export of the same frame.
    static void Capture(int16_t device, int count, Frames& raw, Frames& colour) {
        const int16_t width = ZqGetImageWidth(device), height = ZqGetImageHeight(device);
        HvSimCameraState state{};
        ASSERT_EQ(hvsim_get_state(device, &state), 0);
        const auto layout = static_cast<int16_t>(state.bayerLayout);
        for (int i = 0; i < count; ++i) {
            std::vector<uint8_t> grey(static_cast<size_t>(width) * height), bgra(grey.size() * 4);
            ASSERT_EQ(ZqStartGrab(device), 1);
            ASSERT_EQ(hvsim_deliver_frames(device, 1), 1);
            ASSERT_EQ(ZqExportImageData(device, grey.data(), width, height, 0, layout), 1);
            ASSERT_EQ(ZqStopGrab(device), 1);
            ASSERT_EQ(ZqExportImageData(device, bgra.data(), width, height, 1, layout), 1);  // not capturing: at once
            raw.push_back(std::move(grey));
            colour.push_back(std::move(bgra));
        }
    }

    static std::string DeviceType(int16_t device) {
        uint8_t name[11] = {};
        EXPECT_EQ(ZqGetDeviceType(device, name), 1);
        return reinterpret_cast<const char*>(name);
    }

    TemporaryFolder folder_;
};

TEST_F(Replay, RecordedFramesReplayByteForByteInOrderLoopingAndCropped) {
    ASSERT_EQ(hvsim_configure("SV400FC,HV1300UM"), 2);
    ASSERT_EQ(ZqOpenDevice(2), 1);
    ASSERT_EQ(ZqAllocateResources(), 1);
    const std::vector<int64_t> stamps = {0, 40000, 100000};
    Frames raw[2], colour[2];
    std::string replayList;
    for (int16_t device = 1; device <= 2; ++device) {
        Capture(device, 3, raw[device - 1], colour[device - 1]);
        HvSimCameraState state{};
        ASSERT_EQ(hvsim_get_state(device, &state), 0);
        RecordingContent content{DeviceType(device), ZqGetImageWidth(device), ZqGetImageHeight(device),
                                 state.bayerLayout,  raw[device - 1],         stamps};
        const auto where = folder_.Path() / ("camera" + std::to_string(device));
        ASSERT_TRUE(WriteRecording(where, content));
        replayList += (device == 1 ? "replay:" : ",replay:") + where.string();
    }
    ASSERT_EQ(ZqCloseDevice(), 1);

    ASSERT_EQ(hvsim_configure(replayList.c_str()), 2) << hvsim_configuration_error();
    ASSERT_EQ(ZqOpenDevice(2), 1);
    ASSERT_EQ(ZqAllocateResources(), 1);
    EXPECT_EQ(DeviceType(1), "SV400FC");
    EXPECT_EQ(DeviceType(2), "HV1300UM");
    EXPECT_EQ(hvsim_frame_interval_us(1), 50000);  // before the first frame: the mean interval
    for (int16_t device = 1; device <= 2; ++device) {
        Frames replayedRaw, replayedColour;
        Capture(device, 4, replayedRaw, replayedColour);  // the fourth is the first again
        if (device == 1) {
            EXPECT_EQ(hvsim_frame_interval_us(1), 40000);  // frame 4 is recorded frame 1
        }
        for (size_t i = 0; i < replayedRaw.size(); ++i) {
            EXPECT_TRUE(replayedRaw[i] == raw[device - 1][i % 3]) << "camera " << device << " frame " << i;
            EXPECT_TRUE(replayedColour[i] == colour[device - 1][i % 3]) << "camera " << device << " frame " << i;
        }
    }

    // A window crops the recorded frame: frame 5 of camera 2 is recorded frame 1.
    const int16_t left = 3, top = 5, width = 100, height = 40, fullWidth = ZqGetImageWidth(2);
    ASSERT_EQ(ZqSetAOI(2, left, top, width, height), 1);
    std::vector<uint8_t> window(static_cast<size_t>(width) * height);
    ASSERT_EQ(ZqStartGrab(2), 1);
    ASSERT_EQ(hvsim_deliver_frames(2, 1), 1);
    ASSERT_EQ(ZqExportImageData(2, window.data(), width, height, 0, 1), 1);
    ASSERT_EQ(ZqStopGrab(2), 1);
    for (int y = 0; y < height; ++y) {
        const uint8_t* recorded = raw[1][1].data() + static_cast<size_t>(top + y) * fullWidth + left;
        ASSERT_TRUE(std::equal(recorded, recorded + width, window.data() + static_cast<size_t>(y) * width)) << y;
    }
    ZqCloseDevice();
}

TEST_F(Replay, AnUnusableEntryIsRefusedWithItsNameAndWhatExists) {
    const std::filesystem::path root = folder_.Path();
    RecordingContent good{"HV1300UC", 8, 4, 1, {std::vector<uint8_t>(32, 7), std::vector<uint8_t>(32, 9)}, {0, 1000}};
    const auto write = [&](const std::string& name, RecordingContent content) {
        EXPECT_TRUE(WriteRecording(root / name, content));
        return root / name;
    };
    const auto rewriteText = [&](const std::filesystem::path& where, const std::string& from, const std::string& to) {
        std::string text = RecordingText(good);
        text.replace(text.find(from), from.size(), to);
        std::ofstream(where / "recording.txt", std::ios::binary) << text;
    };
    RecordingContent nope = good;
    nope.model = "NOPE123";
    write("nope", nope);
    std::filesystem::remove(write("missing", good) / "frame-000001.png");
    std::ofstream(write("garbage", good) / "frame-000001.png", std::ios::binary) << "not a png";
    const std::vector<uint8_t> pixels(64, 1);
    ASSERT_TRUE(WritePng(write("small", good) / "frame-000001.png", 4, 2, 1, pixels.data()));
    ASSERT_TRUE(WritePng(write("rgb", good) / "frame-000001.png", 8, 2, 3, pixels.data()));
    const auto cut = write("cut", good) / "frame-000001.png";
    std::filesystem::resize_file(cut, std::filesystem::file_size(cut) - 12);  // the data ends early
    rewriteText(write("count", good), "frames=2", "frames=3");
    rewriteText(write("format", good), "format=1", "format=2");
    std::filesystem::create_directories(root / "empty");
    std::string seventeen = "0";
    for (int i = 0; i < 16; ++i) seventeen += ",0";

    const std::string r = "replay:" + root.string() + "/";
    const struct {
        std::string entry;
        std::vector<std::string> said;
    } cases[] = {
        {"NOPE123", {"\"NOPE123\"", "HV1300UC", "SV2000FM", "replay:<recording folder>"}},
        {"HV1300UC,,HV1300UM", {"entry 3 is empty"}},
        {seventeen, {"more than 16"}},
        {"replay:", {"\"replay:\"", "names no folder"}},
        {r + "absent", {r + "absent", "recording.txt"}},
        {r + "empty", {r + "empty", "recording.txt"}},
        {r + "nope", {"\"NOPE123\"", "HV1300UC, HV2000UC"}},
        {r + "missing", {"frame-000001.png"}},
        {r + "garbage", {"frame-000001.png", "not a PNG"}},
        {r + "small", {"frame-000001.png", "4x2, not 8x4"}},
        {r + "rgb", {"frame-000001.png", "not an 8-bit greyscale PNG"}},
        {r + "cut", {"frame-000001.png", "cannot be decoded"}},
        {r + "count", {"frames=3", "2 frame lines"}},
        {r + "format", {"format=2"}},
        {"HV1300UC@unplug=soon", {"\"HV1300UC@unplug=soon\"", "@unplug=<milliseconds>ms"}},
    };
    ASSERT_EQ(hvsim_configure(("HV2000UC," + r + "good").c_str()), -1);  // not written yet
    write("good", good);
    ASSERT_EQ(hvsim_configure(("HV2000UC," + r + "good").c_str()), 2) << hvsim_configuration_error();
    EXPECT_STREQ(hvsim_configuration_error(), "");
    for (const auto& c : cases) {
        const std::string entry = "HV1300UM," + c.entry;
        EXPECT_EQ(hvsim_configure(entry.c_str()), -1) << c.entry;
        const std::string message = hvsim_configuration_error();
        for (const std::string& part : c.said) EXPECT_NE(message.find(part), std::string::npos) << message;
        int32_t total = 0;
        ASSERT_EQ(HVGetDeviceTotal(&total), 0);
        EXPECT_EQ(total, 2) << c.entry;  // the earlier set stands
    }
}

TEST_F(Replay, AnUnsafeOrDamagedRecordingIsRefusedWithItsReason) {
    const std::filesystem::path root = folder_.Path();
    const RecordingContent good{"HV1300UC", 8, 4, 1, {std::vector<uint8_t>(32, 7), std::vector<uint8_t>(32, 9)},
                                {0, 1000}};
    const auto write = [&](const std::string& name, const RecordingContent& content) {
        EXPECT_TRUE(WriteRecording(root / name, content));
        return root / name;
    };
    const auto stamped = [&](std::vector<int64_t> stamps) {
        RecordingContent content = good;
        content.timestampsUs = std::move(stamps);
        return content;
    };
    const auto replace = [&](const std::filesystem::path& file) {
        std::filesystem::remove(file);
        return file;
    };
    std::filesystem::create_directory(replace(write("text-directory", good) / "recording.txt"));
    std::filesystem::create_directory(replace(write("frame-directory", good) / "frame-000001.png"));
    ASSERT_EQ(mkfifo(replace(write("frame-fifo", good) / "frame-000001.png").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", replace(write("text-zero", good) / "recording.txt"));
    std::filesystem::resize_file(write("text-huge", good) / "recording.txt", (size_t{256} << 20) + 1);  // sparse
    DamageImageData(write("frame-crc", good) / "frame-000001.png", false);
    DamageImageData(write("frame-adler", good) / "frame-000001.png", true);
    write("stamp-top", stamped({0, INT64_MAX}));
    write("stamp-bottom", stamped({INT64_MIN, 0}));
    write("stamp-interval", stamped({0, int64_t{1} << 62}));

    const std::string r = "replay:" + root.string() + "/";
    const struct {
        std::string folder;
        std::vector<std::string> said;
    } cases[] = {
        {"text-directory", {"text-directory/recording.txt", "is a directory, not a regular file"}},
        {"frame-directory", {"frame-directory/frame-000001.png", "is a directory, not a regular file"}},
        {"frame-fifo", {"frame-fifo/frame-000001.png", "is a FIFO, not a regular file"}},
        {"text-zero", {"text-zero/recording.txt", "is a character device, not a regular file"}},
        {"text-huge", {"text-huge/recording.txt", "is larger than 268435456 bytes"}},
        {"frame-crc", {"frame-crc/frame-000001.png", "bad CRC in its IDAT chunk"}},
        {"frame-adler", {"frame-adler/frame-000001.png", "fails the zlib checksum"}},
        {"stamp-top", {"frame 1's timestamp 9223372036854775807 us is outside"}},
        {"stamp-bottom", {"frame 0's timestamp -9223372036854775808 us is outside"}},
        {"stamp-interval", {"frame 1's timestamp 4611686018427387904 us is outside"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hvsim_configure((r + c.folder).c_str()), -1) << c.folder;
        const std::string message = hvsim_configuration_error();
        for (const std::string& part : c.said) EXPECT_NE(message.find(part), std::string::npos) << message;
    }

    // A byte-order mark before the first line is read past.
    const auto marked = write("byte-order-mark", good);
    std::ofstream(marked / "recording.txt", std::ios::binary) << "\xEF\xBB\xBF" << RecordingText(good);
    EXPECT_EQ(hvsim_configure((r + "byte-order-mark").c_str()), 1) << hvsim_configuration_error();
}

}  // namespace
