// Korvex.dll as a Windows host uses it: loaded with LoadLibraryA, every function found with
// GetProcAddress by name. Each test loads a fresh copy, so it starts from the library's state at
// load; the simulated cameras (hvsim.dll) are reset around it.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "hvsim_control.h"
#include "korvex.h"
#include "message_watcher.h"

namespace korvex::test {

struct KorvexLibrary {
    explicit KorvexLibrary(const char* fileName);
    ~KorvexLibrary();
    KorvexLibrary(const KorvexLibrary&) = delete;
    KorvexLibrary& operator=(const KorvexLibrary&) = delete;

    HMODULE module = nullptr;
    decltype(&ZqOpenDevice) OpenDevice = nullptr;
    decltype(&ZqAllocateResources) AllocateResources = nullptr;
    decltype(&ZqCloseDevice) CloseDevice = nullptr;
    decltype(&ZqGetDeviceTotal) GetDeviceTotal = nullptr;
    decltype(&ZqStartGrab) StartGrab = nullptr;
    decltype(&ZqStopGrab) StopGrab = nullptr;
    decltype(&ZqSetTimeout) SetTimeout = nullptr;
    decltype(&ZqExportImageData) ExportImageData = nullptr;
    decltype(&ZqGrabSingle) GrabSingle = nullptr;
    decltype(&ZqEnableCross) EnableCross = nullptr;
    decltype(&ZqSetCrossPara) SetCrossPara = nullptr;
    decltype(&ZqSetWhiteBalanceRatio) SetWhiteBalanceRatio = nullptr;
    decltype(&ZqGetImageWidth) GetImageWidth = nullptr;
    decltype(&ZqGetImageHeight) GetImageHeight = nullptr;
    decltype(&ZqSetAOI) SetAOI = nullptr;
    decltype(&ZqSetGain) SetGain = nullptr;
    decltype(&ZqSetTriggerPolarity) SetTriggerPolarity = nullptr;
    decltype(&ZqTriggerShot) TriggerShot = nullptr;
    decltype(&ZqTriggerShot) SetTrigerShot = nullptr;
    decltype(&ZqGetDeviceType) GetDeviceType = nullptr;
    decltype(&ZqGetLastStatus) GetLastStatus = nullptr;
    decltype(&ZqSetSnapMode) SetSnapMode = nullptr;
};

// The Windows folder's Korvex.ini, where the private-profile service keeps the bare name.
std::string SettingsPath();
std::string ReadSettings();
void WriteSettings(const std::string& text);

class WinApiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Opens and allocates cameras 1..count; no message expected.
    void OpenAndAllocate(int16_t count);

    std::unique_ptr<MessageWatcher> watcher_;
    std::unique_ptr<KorvexLibrary> kx_;
};

}  // namespace korvex::test
