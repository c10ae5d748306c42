#include "colour/stored_ratios.h"

#include <cstdio>
#include <span>
#include <string>

#include "colour/colour_tables.h"
#include "diagnostics/log.h"
#include "platform/module_name.h"
#include "registry/slot.h"
#include "settings_file.h"

namespace korvex {
namespace {

using diagnostics::Domain;
using diagnostics::Level;
using settings::Outcome;
using settings::Ratios;

// A camera's ratios, and whether a white balance set them since the file was read.
struct HeldRatios {
    Ratios ratios;
    bool changed;
};

// The ratios as they stand, read in a writers' turn of the camera's tables (which publishes
// nothing): a white balance that changes them meanwhile gives the old three or the new three,
// never a mix.
HeldRatios RatiosOf(SlotColour& colour) {
    ColourTablesChange turn(colour.tables);
    return {{{colour.ratioR, colour.ratioG, colour.ratioB}}, colour.ratiosChanged};
}

// Sets all three as read from the file, in a writers' turn, for the same reason.
void SetReadRatios(SlotColour& colour, const Ratios& ratios) {
    ColourTablesChange turn(colour.tables);
    colour.ratioR = ratios.values[0];
    colour.ratioG = ratios.values[1];
    colour.ratioB = ratios.values[2];
    colour.ratiosChanged = false;
}

// Once stored, ratios count as read again, unless a white balance changed them meanwhile: a
// later close then keeps what another process stores after this one.
void MarkStored(SlotColour& colour, const Ratios& stored) {
    ColourTablesChange turn(colour.tables);
    if (colour.ratioR == stored.values[0] && colour.ratioG == stored.values[1] && colour.ratioB == stored.values[2]) {
        colour.ratiosChanged = false;
    }
}

// A file that is not a regular one is told on standard error too: it is never replaced, so the
// ratios do not last until the user removes it.
void TellRefusal(const settings::Report& report, const char* consequence) {
    std::fprintf(stderr, "%s: settings file %s %s: %s\n", platform::OwnModuleCaption(), report.path.c_str(),
                 consequence, report.reason.c_str());
    std::fflush(stderr);
}

void LogCameraRatios(int32_t slot, const char* how, const Ratios& ratios) {
    KX_LOG(Domain::Settings, Level::Info, slot + 1, "[%s] %s: R %.6f, G %.6f, B %.6f",
           settings::SectionName(slot).c_str(), how, ratios.values[0], ratios.values[1], ratios.values[2]);
}

}  // namespace

void LoadStoredRatios(int32_t count) {
    Ratios read[settings::kMaxCameras]{};
    const int32_t cameras = count < kSlotCount ? count : kSlotCount;
    const settings::Report report = settings::ReadStoredRatios(std::span(read, static_cast<std::size_t>(cameras)));
    if (report.outcome == Outcome::kRefused) {
        TellRefusal(report, "is not read");
        KX_LOG(Domain::Settings, Level::Warn, diagnostics::kNoCamera,
               "settings file %s refused: %s; ratios read as absent", report.path.c_str(), report.reason.c_str());
    } else {
        KX_LOG(Domain::Settings, Level::Info, diagnostics::kNoCamera, "settings file %s %s%s", report.path.c_str(),
               settings::OutcomeName(report.outcome), report.outcome == Outcome::kAbsent ? ": ratios 1.0" : "");
    }
    for (int32_t s = 0; s < cameras; ++s) {
        SetReadRatios(ColourOf(s), read[s]);
        LogCameraRatios(s, "ratios read", read[s]);
    }
}

void SaveStoredRatios(int32_t count) {
    // All cameras in one store, so that the file is replaced once, whole.
    const int32_t cameras = count < kSlotCount ? count : kSlotCount;
    int32_t slots[settings::kMaxCameras]{};
    HeldRatios held[settings::kMaxCameras]{};
    for (int32_t s = 0; s < cameras; ++s) {
        slots[s] = s;
        held[s] = RatiosOf(ColourOf(s));
    }
    const auto edit = [&held](int32_t slot, Ratios& stored) {
        if (held[slot].changed) stored = held[slot].ratios;
    };
    const settings::Report report =
        settings::StoreRatios(std::span<const int32_t>(slots, static_cast<std::size_t>(cameras)), edit);
    const bool stored = report.outcome == Outcome::kWritten || report.outcome == Outcome::kUnchanged;
    if (report.outcome == Outcome::kRefused) TellRefusal(report, "is left as it was");
    KX_LOG(Domain::Settings, stored ? Level::Info : Level::Error, diagnostics::kNoCamera,
           "settings file %s %s: ratios of %d camera(s)%s%s", report.path.c_str(),
           stored ? settings::OutcomeName(report.outcome) : "not written", static_cast<int>(cameras),
           stored ? "" : ": ", report.reason.c_str());
    for (int32_t s = 0; s < cameras && stored; ++s) {
        if (!held[s].changed) continue;
        LogCameraRatios(s, "ratios set here stored", held[s].ratios);
        MarkStored(ColourOf(s), held[s].ratios);
    }
}

}  // namespace korvex
