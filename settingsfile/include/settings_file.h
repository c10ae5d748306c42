// The settings file Korvex.ini, where each camera's white-balance ratios are kept from one use of
// the cameras to the next: the one reader and writer that the adapter and the korvex tool share.
//
// Section "Video Parameter<slot index>" (camera 1 is "Video Parameter0"), keys "RGain", "GGain"
// and "BGain", values written with six decimals. A value text is read up to 249 characters; a
// missing file, section or key reads as "1.00"; the text's leading number is the ratio, and a
// ratio of 0 (no number at all included) reads as 1.0.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace korvex::settings {

inline constexpr const char* kFileName = "Korvex.ini";
inline constexpr int32_t kMaxCameras = 10;
inline constexpr const char* kDefaultText = "1.00";  // what a missing file, section or key reads as
inline constexpr const char* kRatioKeys[3] = {"RGain", "GGain", "BGain"};

// A camera's ratios in the order of its keys: red, green, blue.
struct Ratios {
    double values[3];
};

// The stored text's leading number: blanks, a sign, digits with an optional point, and an
// optional exponent introduced by e, E, d or D. Text without such a number gives 0.0; overflow
// gives an infinity of the number's sign. No hexadecimal, infinity or not-a-number words.
double ParseStoredNumber(const char* text);

// The ratio a read takes from a stored text (null: the key is missing).
double RatioFromText(const char* text);

// A ratio as stored: fixed notation, six decimals, a point whatever the locale.
std::string FormatStoredRatio(double ratio);

// "Video Parameter" followed directly by the slot index (camera number - 1).
std::string SectionName(int32_t slotIndex);

// How a reading or writing of the file came out.
enum class Outcome {
    kRead,       // the file was read
    kAbsent,     // there is no file: every ratio read as 1.0
    kRefused,    // not a regular file, or too large: read as absent, never replaced (the reason says which)
    kWritten,    // the file now holds the values
    kUnchanged,  // the file already held exactly these texts: nothing written
    kFailed,     // the file could not be read or written and is as it was
};

// "read", "absent", "refused", "written", "unchanged" or "failed".
const char* OutcomeName(Outcome outcome);

struct Report {
    Outcome outcome;
    std::string path;    // the file's whole path, as far as the platform tells it
    std::string reason;  // why, for kRefused and kFailed
};

// The ratios of the cameras at slots 0..ratios.size() - 1 (at most ten), from one reading.
Report ReadStoredRatios(std::span<Ratios> ratios);

// Given a camera's slot index and its ratios as the file holds them now (read as above), leaves
// or changes them: the ratios to store.
using RatioEdit = std::function<void(int32_t slotIndex, Ratios& ratios)>;

// Writes the three keys of every listed camera, in the order listed, with the ratios that edit
// makes of those the file holds at that moment, creating the file (and its folder) when absent
// and keeping every other line. Where the tool and the adapter keep the file themselves, this is
// one locked replacement: a store by another process goes before or after it, never between the
// reading and the writing. edit may be called more than once; it should only compute.
Report StoreRatios(std::span<const int32_t> slotIndexes, const RatioEdit& edit);

// Whether the file could be stored now: kWritten when a file can be written where it goes (the
// folder made when missing), else kFailed with the system's reason. Changes no file.
Report CheckWritable();

}  // namespace korvex::settings
