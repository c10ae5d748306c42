#include "korvex_library.h"

#include <fstream>
#include <sstream>

namespace korvex::test {
namespace {

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (function == nullptr) ADD_FAILURE() << name << " is not exported";
}

}  // namespace

KorvexLibrary::KorvexLibrary(const char* fileName) {
    module = LoadLibraryA(fileName);
    if (module == nullptr) {
        ADD_FAILURE() << "LoadLibraryA(" << fileName << ") failed: " << GetLastError();
        return;
    }
    Resolve(module, "ZqOpenDevice", OpenDevice);
    Resolve(module, "ZqAllocateResources", AllocateResources);
    Resolve(module, "ZqCloseDevice", CloseDevice);
    Resolve(module, "ZqGetDeviceTotal", GetDeviceTotal);
    Resolve(module, "ZqStartGrab", StartGrab);
    Resolve(module, "ZqStopGrab", StopGrab);
    Resolve(module, "ZqSetTimeout", SetTimeout);
    Resolve(module, "ZqExportImageData", ExportImageData);
    Resolve(module, "ZqGrabSingle", GrabSingle);
    Resolve(module, "ZqEnableCross", EnableCross);
    Resolve(module, "ZqSetCrossPara", SetCrossPara);
    Resolve(module, "ZqSetWhiteBalanceRatio", SetWhiteBalanceRatio);
    Resolve(module, "ZqGetImageWidth", GetImageWidth);
    Resolve(module, "ZqGetImageHeight", GetImageHeight);
    Resolve(module, "ZqSetAOI", SetAOI);
    Resolve(module, "ZqSetGain", SetGain);
    Resolve(module, "ZqSetTriggerPolarity", SetTriggerPolarity);
    Resolve(module, "ZqTriggerShot", TriggerShot);
    Resolve(module, "ZqSetTrigerShot", SetTrigerShot);
    Resolve(module, "ZqGetDeviceType", GetDeviceType);
    Resolve(module, "ZqGetLastStatus", GetLastStatus);
    Resolve(module, "ZqSetSnapMode", SetSnapMode);
}

KorvexLibrary::~KorvexLibrary() {
    if (module != nullptr) FreeLibrary(module);
}

std::string SettingsPath() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\Korvex.ini";
}

std::string ReadSettings() {
    std::ifstream in(SettingsPath(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteSettings(const std::string& text) {
    std::ofstream out(SettingsPath(), std::ios::binary | std::ios::trunc);
    out << text;
}

void WinApiTest::SetUp() {
    DeleteFileA(SettingsPath().c_str());
    hvsim_reset();
    hvsim_set_manual_frames(1);
    watcher_ = std::make_unique<MessageWatcher>(GetCurrentThreadId());
    kx_ = std::make_unique<KorvexLibrary>("Korvex.dll");
    ASSERT_NE(kx_->module, nullptr);
}

void WinApiTest::TearDown() {
    hvsim_reset();  // no capture thread may call into the library once it is unloaded
    kx_.reset();
    watcher_.reset();
    DeleteFileA(SettingsPath().c_str());
}

void WinApiTest::OpenAndAllocate(int16_t count) {
    ASSERT_EQ(kx_->OpenDevice(count), 1);
    ASSERT_EQ(kx_->AllocateResources(), 1);
    ASSERT_TRUE(watcher_->Take().empty());
    hvsim_log_clear();
}

}  // namespace korvex::test
