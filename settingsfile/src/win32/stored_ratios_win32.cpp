// The ratios in the settings file on Windows: the private-profile service reads and writes each
// key, by the bare file name, in the Windows folder. The service takes no lock across keys, so a
// store reads the keys it keeps just before it writes them.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "profile_store.h"  // kProfileValueSize and ReadProfileString
#include "settings_file.h"

namespace korvex::settings {
namespace {

// Where the service keeps a bare file name: the Windows folder.
std::string SettingsPath() {
    char folder[MAX_PATH] = "";
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return kFileName;
    return std::string(folder) + "\\" + kFileName;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The system's text for the last error.
std::string LastErrorText() {
    const DWORD error = GetLastError();
    char text[256] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
    std::string reason = length != 0 ? std::string(text, length) : "no text for it";
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
        reason.pop_back();
    return reason + " (error " + std::to_string(error) + ")";
}

Ratios ReadRatios(int32_t slotIndex) {
    const std::string section = SectionName(slotIndex);
    Ratios ratios{};
    for (int key = 0; key < 3; ++key) {
        char text[kProfileValueSize] = "";
        ReadProfileString(section.c_str(), kRatioKeys[key], kDefaultText, text, kProfileValueSize, kFileName);
        ratios.values[key] = RatioFromText(text);
    }
    return ratios;
}

}  // namespace

Report ReadStoredRatios(std::span<Ratios> ratios) {
    Report report{Outcome::kRead, SettingsPath(), {}};
    if (!Exists(report.path)) report.outcome = Outcome::kAbsent;
    for (int32_t s = 0; s < static_cast<int32_t>(ratios.size()) && s < kMaxCameras; ++s) ratios[s] = ReadRatios(s);
    return report;
}

Report StoreRatios(std::span<const int32_t> slotIndexes, const RatioEdit& edit) {
    Report report{Outcome::kWritten, SettingsPath(), {}};
    for (int32_t slot : slotIndexes) {
        Ratios ratios = ReadRatios(slot);
        edit(slot, ratios);
        const std::string section = SectionName(slot);
        for (int key = 0; key < 3; ++key) {
            const std::string value = FormatStoredRatio(ratios.values[key]);
            if (WritePrivateProfileStringA(section.c_str(), kRatioKeys[key], value.c_str(), kFileName) != FALSE)
                continue;
            report = {Outcome::kFailed, report.path, LastErrorText()};
        }
    }
    return report;
}

Report CheckWritable() {
    Report report{Outcome::kWritten, SettingsPath(), {}};
    const std::string probe = report.path + ".partial-check";
    const HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {Outcome::kFailed, report.path, LastErrorText()};
    CloseHandle(file);
    return report;
}

}  // namespace korvex::settings
