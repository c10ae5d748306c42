// Fuzzes the settings file with arbitrary file contents: the text layer's find and set, the
// number reader and writer, and the adapter's load and save of ten cameras' ratios through a real
// file. Any broken property aborts, which libFuzzer reports with the input.
#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "colour/colour_tables.h"
#include "colour/stored_ratios.h"
#include "posix/profile_text.h"
#include "settings_file.h"

namespace {

using korvex::settings::FindProfileValue;
using korvex::settings::FindProfileValues;
using korvex::settings::ProfileSetting;
using korvex::settings::SetProfileValue;
using korvex::settings::SetProfileValues;

constexpr int kCameras = 10;
constexpr const char* kKeys[3] = {"RGain", "GGain", "BGain"};
constexpr std::size_t kValueCharacters = 249;  // what the reader's buffer holds
// Keys the adapter never writes; their values must come through every write unchanged.
constexpr std::string_view kForeignKeys[][2] = {
    {"Video Parameter0", "Other"}, {"Display", "Zoom"}, {"video parameter3", "rgain2"}, {"", ""}};

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

std::string Section(int slot) { return "Video Parameter" + std::to_string(slot); }

std::string folder;

void RemoveFolder() {
    const std::string command = "rm -rf '" + folder + "'";
    (void)std::system(command.c_str());
}

// A private settings folder, on tmpfs where there is one: the store flushes every write to disk.
const std::string& SettingsFile() {
    static const std::string path = [] {
        folder = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/korvex-fuzz-XXXXXX";
        if (mkdtemp(folder.data()) == nullptr) std::abort();
        setenv("KORVEX_CONFIG_DIR", folder.c_str(), 1);
        std::atexit(RemoveFolder);
        return folder + "/" + korvex::settings::kFileName;
    }();
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int NamesInFolder() {
    int names = 0;
    DIR* dir = opendir(folder.c_str());
    while (const dirent* entry = dir ? readdir(dir) : nullptr) names += entry->d_name[0] != '.';
    if (dir) closedir(dir);
    return names;
}

// Setting a key makes it read back as set, leaves every other key's value alone, and setting it
// again changes nothing. Setting or finding all keys in one pass gives what one at a time gives.
void CheckTextLayer(std::string_view original) {
    std::string text(original);
    std::vector<std::string> sections;
    std::vector<std::string> values;
    for (int slot = 0; slot < kCameras; ++slot) {
        sections.push_back(Section(slot));
        for (int key = 0; key < 3; ++key) values.push_back(std::to_string(slot) + "." + std::to_string(key));
    }
    std::vector<ProfileSetting> settings;
    for (int slot = 0; slot < kCameras; ++slot) {
        for (int key = 0; key < 3; ++key) settings.push_back({sections[slot], kKeys[key], values[slot * 3 + key]});
    }
    const std::vector<std::optional<std::string>> foundAtOnce = FindProfileValues(original, settings);
    for (std::size_t i = 0; i < settings.size(); ++i) {
        Require(foundAtOnce[i] == FindProfileValue(original, settings[i].section, settings[i].key),
                "finding all keys at once finds what one at a time finds");
    }
    for (int slot = 0; slot < kCameras; ++slot) {
        for (int key = 0; key < 3; ++key) {
            const std::string& value = values[slot * 3 + key];
            text = SetProfileValue(text, Section(slot), kKeys[key], value);
            Require(FindProfileValue(text, Section(slot), kKeys[key]) == value, "a value reads back as set");
        }
    }
    Require(SetProfileValues(original, settings) == text, "setting all keys at once gives one at a time's text");
    std::string again = text;
    for (int slot = 0; slot < kCameras; ++slot) {
        for (int key = 0; key < 3; ++key) {
            const std::string value = std::to_string(slot) + "." + std::to_string(key);
            Require(FindProfileValue(text, Section(slot), kKeys[key]) == value, "later keys leave earlier ones");
            again = SetProfileValue(again, Section(slot), kKeys[key], value);
        }
    }
    Require(again == text, "setting the same values again changes nothing");
    for (const auto& [section, key] : kForeignKeys) {
        Require(FindProfileValue(text, section, key) == FindProfileValue(original, section, key), "foreign keys stay");
    }
}

// What a stored ratio reads back as: its text cut to the reader's buffer, 0 taken as 1.
double ReadBack(double ratio) {
    const std::string text = korvex::settings::FormatStoredRatio(ratio).substr(0, kValueCharacters);
    const double parsed = korvex::settings::ParseStoredNumber(text.c_str());
    return parsed == 0.0 ? 1.0 : parsed;
}

double& Ratio(int slot, int key) {
    korvex::SlotColour& s = korvex::ColourOf(slot);
    return key == 0 ? s.ratioR : key == 1 ? s.ratioG : s.ratioB;
}

// The text with every camera's ratios set, as a save writes it.
std::string WithRatiosSet(std::string_view original) {
    std::string text(original);
    for (int slot = 0; slot < kCameras; ++slot) {
        for (int key = 0; key < 3; ++key)
            text =
                SetProfileValue(text, Section(slot), kKeys[key], korvex::settings::FormatStoredRatio(Ratio(slot, key)));
    }
    return text;
}

// Load, save and load again through the file: every save writes every camera's three keys, a
// camera's own ratios once changed and the file's own as read otherwise, so the file is what the
// text layer makes of it; no temporary is left, and every ratio reads back as stored.
void CheckStoredRatios(std::string_view original) {
    const std::string& path = SettingsFile();
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(original.data(), std::streamsize(original.size()));
    korvex::LoadStoredRatios(kCameras);
    const std::string expectedAsLoaded = WithRatiosSet(original);
    korvex::SaveStoredRatios(kCameras);
    Require(ReadFile(path) == expectedAsLoaded, "a save of unchanged ratios stores them as read");
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(original.data(), std::streamsize(original.size()));
    const int changed = static_cast<int>(original.size() % kCameras);
    Ratio(changed, 0) = Ratio(changed, 0) == 0.5 ? 0.25 : 0.5;
    korvex::ColourOf(changed).ratiosChanged = true;
    double loaded[kCameras][3];
    for (int slot = 0; slot < kCameras; ++slot) {
        for (int key = 0; key < 3; ++key) loaded[slot][key] = Ratio(slot, key);
    }
    const std::string expected = WithRatiosSet(original);
    korvex::SaveStoredRatios(kCameras);
    Require(ReadFile(path) == expected, "the saved file is the old one with the ratios set");
    Require(NamesInFolder() == 1, "no temporary is left");
    korvex::LoadStoredRatios(kCameras);
    for (int slot = 0; slot < kCameras; ++slot) {
        for (int key = 0; key < 3; ++key) Require(Ratio(slot, key) == ReadBack(loaded[slot][key]), "ratios read back");
    }
}

// Six decimals: a ratio comes back within half a millionth, give or take the double's own rounding.
void CheckNumberRoundTrip(const uint8_t* data, std::size_t size) {
    if (size < sizeof(double)) return;
    double ratio = 0.0;
    std::memcpy(&ratio, data, sizeof ratio);
    if (!std::isfinite(ratio) || std::fabs(ratio) >= 1e15) return;
    const double back = korvex::settings::ParseStoredNumber(korvex::settings::FormatStoredRatio(ratio).c_str());
    Require(std::fabs(back - ratio) <= 5.000001e-7 + std::fabs(ratio) * 1e-15, "six decimals round-trip");
}

// The file round trip costs several times the rest (each write is flushed to disk), so one
// input in kFileRoundTripShare takes it, chosen by the input's own bytes so that a failure repeats.
constexpr uint32_t kFileRoundTripShare = 8;

bool TakesFileRoundTrip(std::string_view text) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const char c : text) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
    return hash % kFileRoundTripShare == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)korvex::settings::ParseStoredNumber(std::string(text.substr(0, kValueCharacters)).c_str());
    CheckNumberRoundTrip(data, size);
    CheckTextLayer(text);
    if (TakesFileRoundTrip(text)) CheckStoredRatios(text);
    return 0;
}
