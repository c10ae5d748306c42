// The user sees misuse once, with the library's file name as caption.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "api_fixture.h"

namespace korvex::test {
namespace {

using Strings = std::vector<std::string>;
using Messages = ApiTest;

TEST_F(Messages, CaptionIsTheLibraryFileNameWithoutFolderOrExtension) {
    EXPECT_EQ(ZqOpenDevice(0), 0);
    EXPECT_EQ(TakeMessages(), Strings{"libKorvex|The device num can't smaller than 1"});
}

TEST_F(Messages, ACopyUnderAnotherNameShowsThatName) {
    const std::string copy = folder_ + "/CameraLink.v2.so";
    const std::string command = std::string("cp '") + KORVEX_BINARY_DIR + "/libKorvex.so' '" + copy + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    void* library = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto open = reinterpret_cast<int16_t (*)(int16_t)>(dlsym(library, "ZqOpenDevice"));
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open(11), 0);
    EXPECT_EQ(TakeMessages(), Strings{"CameraLink|Too many device!"});
    dlclose(library);
}

TEST_F(Messages, GuardedFunctionsOnAClosedCameraAskForItOnceAndCallNothing) {
    OpenAndAllocate(2);
    uint8_t buffer[64] = {};
    EXPECT_EQ(ZqStartGrab(3), 0);
    EXPECT_EQ(ZqGetDeviceType(3, buffer), 0);
    EXPECT_EQ(ZqSetShutter(3, 9, 1), 0);  // the open test comes before any argument test
    EXPECT_EQ(ZqSetADCValue(3, 999), 0);
    EXPECT_EQ(TakeMessageTexts(), Strings(4, "Please open device first!"));
    EXPECT_TRUE(TakeCalls().empty());
    for (uint8_t byte : buffer) ASSERT_EQ(byte, 0);
}

TEST_F(Messages, UnguardedFunctionsShowNothing) {
    EXPECT_EQ(ZqResetLutTable(3), 1);
    EXPECT_EQ(ZqSetGamma(3, 10), 1);
    EXPECT_EQ(ZqSetCrossPara(3, 1, 1, 1, 1, 1), 1);
    EXPECT_EQ(ZqSetTimeout(100), 1);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(Messages, WithoutADialogProgramOrDisplayTheMessageGoesToStandardError) {
    unsetenv("KORVEX_DIALOG");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    testing::internal::CaptureStderr();
    EXPECT_EQ(ZqOpenDevice(11), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "libKorvex: Too many device!\n");
}

// Writes an executable shell script into folder.
std::string MakeScript(const std::string& folder, const std::string& name, const std::string& body) {
    const std::string path = folder + "/" + name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    return chmod(path.c_str(), 0755) == 0 ? path : std::string();
}

TEST_F(Messages, ADialogThatStartsButFailsLeavesTheMessageOnStandardError) {
    const std::string bin = folder_ + "/bin";
    ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
    for (const char* tool : {"zenity", "kdialog", "xmessage"}) ASSERT_FALSE(MakeScript(bin, tool, "exit 1").empty());
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    struct Case {
        const char* what;
        std::string dialog;  // empty: the desktop tools, which find no display
    } const cases[] = {
        {"exits 1", MakeScript(folder_, "fails", "exit 1")},
        {"killed", MakeScript(folder_, "killed", "kill -9 $$")},
        {"cannot exec", folder_ + "/missing"},
        {"desktop tools fail", ""},
    };
    for (const Case& c : cases) {
        if (c.dialog.empty()) {
            unsetenv("KORVEX_DIALOG");
            setenv("DISPLAY", ":97", 1);
            setenv("PATH", bin.c_str(), 1);
        } else {
            setenv("KORVEX_DIALOG", c.dialog.c_str(), 1);
        }
        testing::internal::CaptureStderr();
        EXPECT_EQ(ZqOpenDevice(11), 0);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "libKorvex: Too many device!\n") << c.what;
    }
    setenv("PATH", oldPath.c_str(), 1);
}

}  // namespace
}  // namespace korvex::test
