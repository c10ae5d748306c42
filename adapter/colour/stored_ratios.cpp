#include "colour/stored_ratios.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "colour/colour_tables.h"
#include "diagnostics/log.h"
#include "platform/profile_store.h"
#include "registry/slot.h"

namespace korvex {
namespace {

constexpr const char* kDefaultValue = "1.00";
constexpr const char* kKeys[3] = {"RGain", "GGain", "BGain"};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "Video Parameter" followed directly by the slot index.
std::string SectionName(int32_t slotIndex) { return "Video Parameter" + std::to_string(slotIndex); }

// A camera's three ratios, red, green and blue, as one value.
struct Ratios {
    double values[3];
};

// The ratios as they stand, read in a writers' turn of the camera's tables (which publishes
// nothing): a white balance that changes them meanwhile gives the old three or the new three,
// never a mix.
Ratios RatiosOf(SlotColour& colour) {
    ColourTablesChange turn(colour.tables);
    return {{colour.ratioR, colour.ratioG, colour.ratioB}};
}

// Sets all three in a writers' turn, for the same reason.
void SetRatios(SlotColour& colour, const Ratios& ratios) {
    ColourTablesChange turn(colour.tables);
    colour.ratioR = ratios.values[0];
    colour.ratioG = ratios.values[1];
    colour.ratioB = ratios.values[2];
}

// Reading turns every ratio into a non-zero number, so all three at 0 means this process never
// read them: storing those would overwrite the user's ratios with zeros (a close before any open,
// or after an open that failed).
bool RatiosWereRead(const Ratios& ratios) {
    return ratios.values[0] != 0.0 || ratios.values[1] != 0.0 || ratios.values[2] != 0.0;
}

// The ratio a read takes from a stored text (null: the key is missing).
double RatioFromText(const char* text) {
    const double ratio = ParseStoredNumber(text != nullptr ? text : kDefaultValue);
    return ratio == 0.0 ? 1.0 : ratio;
}

// A stored text already holds a value when the next open would read the same ratio from either:
// a close then leaves the file as it is.
bool StoredTextHolds(const char* stored, const char* value) { return RatioFromText(stored) == RatioFromText(value); }

}  // namespace

double ParseStoredNumber(const char* text) {
    const char* p = text;
    while (IsBlank(*p)) ++p;
    // Rebuild the number in from_chars' grammar: the d/D exponent becomes e.
    std::string number;
    if (*p == '+' || *p == '-') number += *p++;
    bool anyDigit = false;
    for (; IsDigit(*p); ++p, anyDigit = true) number += *p;
    if (*p == '.') {
        number += *p++;
        for (; IsDigit(*p); ++p, anyDigit = true) number += *p;
    }
    if (!anyDigit) return 0.0;
    if (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D') {
        const char* q = p + 1;
        std::string exponent = "e";
        if (*q == '+' || *q == '-') exponent += *q++;
        if (IsDigit(*q)) {
            for (; IsDigit(*q); ++q) exponent += *q;
            number += exponent;
        }
    }
    const bool negative = number.front() == '-';
    const char* first = number.data() + ((number.front() == '+' || negative) ? 1 : 0);
    double value = 0.0;
    auto [end, error] = std::from_chars(first, number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too large gives an infinity, too small zero, as the C library's conversion does.
        const bool tiny = number.find("e-") != std::string::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

std::string FormatStoredRatio(double ratio) {
    char text[400];  // fixed notation of the largest double needs 309 digits before the point
    auto [end, error] = std::to_chars(text, text + sizeof text, ratio, std::chars_format::fixed, 6);
    if (error != std::errc()) return "0.000000";
    return std::string(text, end);
}

void LoadStoredRatios(int32_t count) {
    // Every key of every camera from one reading of the file.
    std::string sections[kSlotCount];
    platform::ProfileQuery queries[kSlotCount * 3];
    const int32_t cameras = count < kSlotCount ? count : kSlotCount;
    for (int32_t s = 0; s < cameras; ++s) {
        sections[s] = SectionName(s);
        for (int key = 0; key < 3; ++key) queries[s * 3 + key] = {sections[s].c_str(), kKeys[key], {}};
    }
    platform::ReadProfileStrings(queries, static_cast<uint32_t>(cameras * 3), kDefaultValue, kSettingsFileName);
    for (int32_t s = 0; s < cameras; ++s) {
        Ratios read{};
        for (int key = 0; key < 3; ++key) read.values[key] = RatioFromText(queries[s * 3 + key].value);
        SetRatios(ColourOf(s), read);
        KX_LOG(diagnostics::Domain::Settings, diagnostics::Level::Info, s + 1,
               "settings read from %s [%s]: ratios R %.6f, G %.6f, B %.6f", kSettingsFileName, sections[s].c_str(),
               read.values[0], read.values[1], read.values[2]);
    }
}

void SaveStoredRatios(int32_t count) {
    // All cameras' ratios in one write, so that the file is replaced once, whole; not at all when
    // every stored text already reads as the ratio (a close that changed nothing writes nothing).
    constexpr int32_t kMaxEntries = kSlotCount * 3;
    std::string sections[kSlotCount];
    std::string values[kMaxEntries];
    platform::ProfileEntry entries[kMaxEntries];
    uint32_t used = 0;
    for (int32_t s = 0; s < count && s < kSlotCount; ++s) {
        const Ratios ratios = RatiosOf(ColourOf(s));
        if (!RatiosWereRead(ratios)) continue;
        sections[s] = SectionName(s);
        for (int key = 0; key < 3; ++key, ++used) {
            values[used] = FormatStoredRatio(ratios.values[key]);
            entries[used] = {sections[s].c_str(), kKeys[key], values[used].c_str()};
        }
    }
    const bool written = platform::WriteChangedProfileStrings(entries, used, kSettingsFileName, StoredTextHolds);
    KX_LOG(diagnostics::Domain::Settings, written ? diagnostics::Level::Info : diagnostics::Level::Error,
           diagnostics::kNoCamera, "settings %s %s: %u ratios of %d camera(s)",
           written ? "in step with" : "not stored in", kSettingsFileName, static_cast<unsigned>(used),
           static_cast<int>(count));
}

}  // namespace korvex
