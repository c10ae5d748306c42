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

constexpr uint32_t kValueBufferSize = 250;
constexpr const char* kDefaultValue = "1.00";
constexpr const char* kKeys[3] = {"RGain", "GGain", "BGain"};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "Video Parameter" followed directly by the slot index.
std::string SectionName(int32_t slotIndex) { return "Video Parameter" + std::to_string(slotIndex); }

double* RatioField(SlotColour& slot, int key) {
    switch (key) {
        case 0: return &slot.ratioR;
        case 1: return &slot.ratioG;
        default: return &slot.ratioB;
    }
}

// Reading turns every ratio into a non-zero number, so all three at 0 means this process never
// read them: storing those would overwrite the user's ratios with zeros (a close before any open,
// or after an open that failed).
bool RatiosWereRead(const SlotColour& slot) { return slot.ratioR != 0.0 || slot.ratioG != 0.0 || slot.ratioB != 0.0; }

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
    for (int32_t s = 0; s < count; ++s) {
        const std::string section = SectionName(s);
        for (int key = 0; key < 3; ++key) {
            char value[kValueBufferSize];
            platform::ReadProfileString(section.c_str(), kKeys[key], kDefaultValue, value, kValueBufferSize,
                                        kSettingsFileName);
            const double ratio = ParseStoredNumber(value);
            *RatioField(ColourOf(s), key) = ratio == 0.0 ? 1.0 : ratio;
        }
        const SlotColour& colour = ColourOf(s);
        KX_LOG(diagnostics::Domain::Settings, diagnostics::Level::Info, s + 1,
               "settings read from %s [%s]: ratios R %.6f, G %.6f, B %.6f", kSettingsFileName, section.c_str(),
               colour.ratioR, colour.ratioG, colour.ratioB);
    }
}

void SaveStoredRatios(int32_t count) {
    // All cameras' ratios in one write, so that the file is replaced once, whole.
    constexpr int32_t kMaxEntries = kSlotCount * 3;
    std::string sections[kSlotCount];
    std::string values[kMaxEntries];
    platform::ProfileEntry entries[kMaxEntries];
    uint32_t used = 0;
    for (int32_t s = 0; s < count && s < kSlotCount; ++s) {
        if (!RatiosWereRead(ColourOf(s))) continue;
        sections[s] = SectionName(s);
        for (int key = 0; key < 3; ++key, ++used) {
            values[used] = FormatStoredRatio(*RatioField(ColourOf(s), key));
            entries[used] = {sections[s].c_str(), kKeys[key], values[used].c_str()};
        }
    }
    const bool written = platform::WriteProfileStrings(entries, used, kSettingsFileName);
    KX_LOG(diagnostics::Domain::Settings, written ? diagnostics::Level::Info : diagnostics::Level::Error,
           diagnostics::kNoCamera, "settings %s %s: %u ratios of %d camera(s)",
           written ? "written to" : "not written to", kSettingsFileName, static_cast<unsigned>(used),
           static_cast<int>(count));
}

}  // namespace korvex
