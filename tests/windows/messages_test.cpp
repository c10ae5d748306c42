// The four messages through the real Win32 box: text from Korvex.dll's own string resources,
// caption from its file name, OK only with the warning icon, and the owner found from the
// calling thread's active window with the top-level window above it disabled meanwhile.
#include "korvex_library.h"

namespace korvex::test {
namespace {

using Texts = std::vector<std::string>;

TEST_F(WinApiTest, EachMisuseShowsItsExactTextOnceWithTheLibraryCaption) {
    EXPECT_EQ(kx_->OpenDevice(0), 0);
    EXPECT_EQ(watcher_->TakeTexts(), Texts{"The device num can't smaller than 1"});
    EXPECT_EQ(kx_->OpenDevice(11), 0);
    EXPECT_EQ(watcher_->TakeTexts(), Texts{"Too many device!"});
    EXPECT_EQ(kx_->OpenDevice(3), 0);  // the simulator has two cameras
    EXPECT_EQ(watcher_->TakeTexts(), Texts{"Open device error!"});
    EXPECT_EQ(kx_->StartGrab(4), 0);
    const std::vector<ShownBox> boxes = watcher_->Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Please open device first!");
    EXPECT_EQ(boxes[0].caption, "Korvex");
    EXPECT_TRUE(boxes[0].okOnly);
    EXPECT_TRUE(boxes[0].warningIcon);
    EXPECT_EQ(boxes[0].owner, nullptr);  // this thread has no active window
}

TEST_F(WinApiTest, TheCaptionFollowsTheLibraryFileNameUpToItsFirstDot) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(kx_->module, path, MAX_PATH);
    std::string copy(path);
    copy = copy.substr(0, copy.rfind('\\') + 1) + "Kx2.adapter.dll";
    ASSERT_TRUE(CopyFileA(path, copy.c_str(), FALSE));
    {
        KorvexLibrary renamed(copy.c_str());
        ASSERT_NE(renamed.module, nullptr);
        EXPECT_EQ(renamed.GetDeviceType(1, nullptr), 0);
        const std::vector<ShownBox> boxes = watcher_->Take();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Kx2");
        EXPECT_EQ(boxes[0].text, "Please open device first!");
    }
    DeleteFileA(copy.c_str());
}

// A host with a main window and, for some cases, an owned pop-up (a tool window) over it.
class WinOwnerTest : public WinApiTest {
protected:
    void SetUp() override {
        WinApiTest::SetUp();
        main_ = CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
        ASSERT_NE(main_, nullptr);
        watcher_ = std::make_unique<MessageWatcher>(GetCurrentThreadId(), main_);
    }
    void TearDown() override {
        if (popup_ != nullptr) DestroyWindow(popup_);
        DestroyWindow(main_);
        WinApiTest::TearDown();
    }
    void AddPopup() {
        popup_ = CreateWindowExA(0, "STATIC", "Tool", WS_POPUP | WS_CAPTION | WS_VISIBLE, 50, 50, 100, 80, main_,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(popup_, nullptr);
    }
    void Activate(HWND window) {
        SetForegroundWindow(window);
        SetActiveWindow(window);
        ASSERT_EQ(GetActiveWindow(), window);
    }
    HWND main_ = nullptr;
    HWND popup_ = nullptr;
};

TEST_F(WinOwnerTest, TheActiveMainWindowOwnsTheBoxAndIsEnabledAgainAfter) {
    Activate(main_);
    EXPECT_EQ(kx_->StopGrab(1), 0);
    const std::vector<ShownBox> boxes = watcher_->Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, main_);
    EXPECT_FALSE(boxes[0].watchedWindowEnabled);
    EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(WinOwnerTest, AnActivePopupOwnsTheBoxWhileTheTopLevelWindowAboveItIsDisabled) {
    AddPopup();
    Activate(popup_);
    EXPECT_EQ(kx_->StartGrab(1), 0);
    const std::vector<ShownBox> boxes = watcher_->Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, popup_);
    EXPECT_FALSE(boxes[0].watchedWindowEnabled);  // disabled by the library, not by the box
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_TRUE(IsWindowEnabled(popup_));
}

TEST_F(WinOwnerTest, ATopLevelWindowThatWasDisabledStaysDisabled) {
    AddPopup();
    Activate(popup_);
    EnableWindow(main_, FALSE);
    EXPECT_EQ(kx_->StartGrab(1), 0);
    ASSERT_EQ(watcher_->Take().size(), 1u);
    EXPECT_FALSE(IsWindowEnabled(main_));
    EnableWindow(main_, TRUE);
}

}  // namespace
}  // namespace korvex::test
