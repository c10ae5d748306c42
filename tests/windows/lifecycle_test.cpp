// Lifecycle and the settings file through the Win32 private-profile service: Korvex.ini in the
// Windows folder, written at close and read back at the next open, by a freshly loaded library.
#include "korvex_library.h"

namespace korvex::test {
namespace {

std::string Stored(const char* section, const char* key) {
    char value[250] = {};
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, "Korvex.ini");
    return value;
}

TEST_F(WinApiTest, LoadingTheLibraryTouchesNoCameraAndNoSettings) {
    EXPECT_EQ(hvsim_log_count(), 0);
    EXPECT_EQ(GetFileAttributesA(SettingsPath().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(kx_->GetDeviceTotal(), 2);
}

TEST_F(WinApiTest, OpenAllocateCloseStoresTheRatiosInTheWindowsFolder) {
    OpenAndAllocate(2);
    EXPECT_GT(kx_->GetImageWidth(2), 0);
    EXPECT_EQ(kx_->CloseDevice(), 1);
    EXPECT_TRUE(watcher_->Take().empty());
    for (const char* section : {"Video Parameter0", "Video Parameter1"}) {
        for (const char* key : {"RGain", "GGain", "BGain"})
            EXPECT_EQ(Stored(section, key), "1.000000") << section << key;
    }
    EXPECT_EQ(Stored("Video Parameter2", "RGain"), "<missing>");
    EXPECT_EQ(kx_->StartGrab(1), 0);  // closed again
    EXPECT_EQ(watcher_->TakeTexts(), std::vector<std::string>{"Please open device first!"});
}

TEST_F(WinApiTest, ManualWhiteBalanceOutlivesTheLibraryThroughKorvexIni) {
    OpenAndAllocate(1);
    ASSERT_EQ(kx_->SetWhiteBalanceRatio(1, 57, 125), 1);  // blue, then red, in hundredths
    ASSERT_EQ(kx_->CloseDevice(), 1);
    EXPECT_EQ(Stored("Video Parameter0", "RGain"), "1.250000");
    EXPECT_EQ(Stored("Video Parameter0", "GGain"), "1.000000");
    EXPECT_EQ(Stored("Video Parameter0", "BGain"), "0.570000");

    // A new load reads the stored texts as the settings-file rules say, then writes them back.
    WriteSettings("[other]\r\nkeep=this\r\n[video parameter0]\r\nrgain = 2d-1 \r\nGGAIN=0x10\r\nBGain=\r\n");
    kx_ = std::make_unique<KorvexLibrary>("Korvex.dll");
    ASSERT_EQ(kx_->OpenDevice(1), 1);
    ASSERT_EQ(kx_->CloseDevice(), 1);
    EXPECT_EQ(Stored("Video Parameter0", "RGain"), "0.200000");
    EXPECT_EQ(Stored("Video Parameter0", "GGain"), "1.000000");
    EXPECT_EQ(Stored("Video Parameter0", "BGain"), "1.000000");
    EXPECT_EQ(Stored("other", "keep"), "this");
}

TEST_F(WinApiTest, UnloadingWritesNothingAndEndsNoCamera) {
    OpenAndAllocate(1);
    kx_.reset();
    EXPECT_EQ(hvsim_log_count(), 0);
    EXPECT_EQ(GetFileAttributesA(SettingsPath().c_str()), INVALID_FILE_ATTRIBUTES);
    HvSimCameraState state{};
    ASSERT_EQ(hvsim_get_state(1, &state), 0);
    EXPECT_EQ(state.open, 1);
}

}  // namespace
}  // namespace korvex::test
