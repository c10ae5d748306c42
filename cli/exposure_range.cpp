#include "exposure_range.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace korvex::cli {
namespace {

constexpr double kClocksPerSecond = 24000000.0;
constexpr int64_t kClocksPerUnit[] = {24, 24000, 24000000};  // us, ms, s

// The three ways the HV families turn a time in clocks into rows.
enum class Family { kHv13, kHv20, kHv30 };

std::optional<Family> FamilyOf(const std::string& model) {
    if (model.rfind("HV13", 0) == 0) return Family::kHv13;
    if (model.rfind("HV20", 0) == 0) return Family::kHv20;
    if (model.rfind("HV30", 0) == 0 || model.rfind("HV31", 0) == 0) return Family::kHv30;
    return std::nullopt;
}

// A fraction above one half gains 1; exactly one half does not, and a negative q never does.
int64_t HalfDown(double q) {
    const auto whole = static_cast<int64_t>(q);
    return q - static_cast<double>(whole) > 0.5 ? whole + 1 : whole;
}

// The HV30xx/31xx constants: mode 1 has its own line timing.
struct Hv30Timing {
    int64_t added, rowAdd, floorBase;
};
Hv30Timing Hv30TimingOf(int mode) { return mode == 1 ? Hv30Timing{673, 22, 632} : Hv30Timing{331, 38, 316}; }

struct RowModel {
    Family family;
    int64_t rowClocks;
    int mode;

    int64_t Limit() const {
        switch (family) {
            case Family::kHv13:
            case Family::kHv20: return 16383;
            case Family::kHv30: return 1048575;
        }
        return 1;
    }
    int64_t Rows(int64_t clocks) const {
        const auto row = static_cast<double>(rowClocks);
        switch (family) {
            case Family::kHv13: return static_cast<int64_t>((static_cast<double>(clocks) + 180.0) / row);
            case Family::kHv20: return HalfDown((static_cast<double>(clocks) + 180.0) / row + 1.0);
            case Family::kHv30: return HalfDown(static_cast<double>(clocks + Hv30TimingOf(mode).added - 132) / row);
        }
        return 1;
    }
    // The time in clocks that a count of rows stands for: the shortest time the formula turns into it.
    int64_t Clocks(int64_t rows) const {
        switch (family) {
            case Family::kHv13: return rows * rowClocks - 180;
            case Family::kHv20: return (rows - 1) * rowClocks - 180;
            case Family::kHv30: return rows * rowClocks - Hv30TimingOf(mode).added + 132;
        }
        return 0;
    }
};

std::optional<RowModel> RowModelOf(const std::string& model, int width, int mode) {
    const std::optional<Family> family = FamilyOf(model);
    if (!family) return std::nullopt;
    switch (*family) {
        case Family::kHv13: return RowModel{*family, width + 244, mode};
        case Family::kHv20: return RowModel{*family, std::max(width + 358, 617), mode};
        case Family::kHv30: {
            const Hv30Timing t = Hv30TimingOf(mode);
            return RowModel{*family, std::max(width + t.rowAdd + t.added + 142, t.floorBase + t.added), mode};
        }
    }
    return std::nullopt;
}

double Seconds(int64_t clocks) { return static_cast<double>(std::max<int64_t>(clocks, 0)) / kClocksPerSecond; }

}  // namespace

std::optional<ExposureLimits> ExposureRangeOf(const std::string& model, int width, int mode) {
    const std::optional<RowModel> rows = RowModelOf(model, width, mode);
    if (!rows) return std::nullopt;
    // Never shorter than the 1 us that the interface's finest unit can ask for.
    return ExposureLimits{std::max(Seconds(rows->Clocks(1)), 1e-6), Seconds(rows->Clocks(rows->Limit()))};
}

std::optional<AppliedExposure> AppliedExposureOf(const std::string& model, Exposure requested, int width, int mode) {
    const std::optional<RowModel> rows = RowModelOf(model, width, mode);
    if (!rows) return std::nullopt;
    const int64_t clocks = int64_t{requested.value} * kClocksPerUnit[requested.unit];
    const int64_t count = rows->Rows(clocks);
    const int clamped = count > rows->Limit() ? 1 : count < 1 ? -1 : 0;
    return AppliedExposure{Seconds(rows->Clocks(std::clamp<int64_t>(count, 1, rows->Limit()))), clamped};
}

std::string SecondsText(double seconds) {
    char text[32];
    if (seconds >= 100.0) {
        std::snprintf(text, sizeof text, "%.0f s", seconds);
    } else if (seconds >= 1.0) {
        std::snprintf(text, sizeof text, "%.3g s", seconds);
    } else if (seconds >= 1e-3) {
        std::snprintf(text, sizeof text, "%.3g ms", seconds * 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.3g us", seconds * 1e6);
    }
    return text;
}

}  // namespace korvex::cli
