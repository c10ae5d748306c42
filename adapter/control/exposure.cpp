#include "control/exposure.h"

#include <algorithm>
#include <cmath>

#include "HVDAILT.h"
#include "control/control.h"
#include "registry/slot.h"
#include "camera/camera_calls.h"
#include "diagnostics/log.h"

namespace korvex {
namespace {

using diagnostics::Domain;
using diagnostics::Level;

// HVAECControl codes.
constexpr uint8_t kAecRows = 1;
constexpr uint8_t kAecValue = 2;
constexpr uint8_t kAecUnit = 3;

constexpr int64_t kShortRowLimit = 16383;   // 2^14 - 1: DefaultRows and Hv2Rows
constexpr int64_t kLongRowLimit = 1048575;  // 2^20 - 1: Hv3Rows

constexpr int32_t kHv2RowsCodes[] = {1, 3, 7, 11, 15, 36, 40, 57};
constexpr int32_t kHv3RowsCodes[] = {4, 8, 12, 16, 37, 41, 58};

// Clock counts (24 MHz) in one unit: microseconds, milliseconds, seconds.
std::optional<int64_t> ClocksPerUnit(int32_t unit) {
    switch (unit) {
        case 0: return 24;
        case 1: return 24000;
        case 2: return 24000000;
        default: return std::nullopt;
    }
}

// Rounds half down: a fraction above .5 gains 1, exactly .5 does not, and a negative q never does.
double RoundHalfDown(double q) {
    const double whole = std::trunc(q);
    return q - whole > 0.5 ? std::trunc(q + 1.0) : whole;
}

// The camera takes the rows as an unsigned 32-bit count, so a negative result reads as a huge
// count and saturates at the limit; a count that truncated to 0 is raised to 1.
uint32_t ClampRows(double rows, int64_t upperLimit) {
    if (!std::isfinite(rows)) return static_cast<uint32_t>(upperLimit);
    // The divisor is a non-zero whole number, so |rows| stays below |time| + 181 < 2^40.
    const auto whole = static_cast<int64_t>(rows);
    if (whole < 0 || whole > upperLimit) return static_cast<uint32_t>(upperLimit);
    if (whole == 0) return 1;
    return static_cast<uint32_t>(whole);
}

int64_t UpperLimit(ExposureClass exposureClass) {
    switch (exposureClass) {
        case ExposureClass::SvDirect:
        case ExposureClass::Hv2Rows:
        case ExposureClass::DefaultRows: return kShortRowLimit;
        case ExposureClass::Hv3Rows: return kLongRowLimit;
    }
    return kShortRowLimit;
}

int64_t DefaultRowLength(int64_t width) { return width + 244; }
int64_t Hv2RowLength(int64_t width) { return std::max<int64_t>(width + 358, 617); }

// HV30xx/31xx line timing: mode 1 has its own; every other mode shares the second set.
struct Hv3Timing {
    int64_t k;
    int64_t rowLength;
};
Hv3Timing Hv3TimingFor(int64_t width, int32_t resolutionMode) {
    const bool modeOne = resolutionMode == 1;
    const int64_t k = modeOne ? 673 : 331;
    const int64_t rowAdd = modeOne ? 22 : 38;
    const int64_t floorBase = modeOne ? 632 : 316;
    return {k, std::max(width + rowAdd + k + 142, floorBase + k)};
}

double UnroundedRows(ExposureClass exposureClass, int64_t timeClocks, int64_t width, int32_t resolutionMode) {
    switch (exposureClass) {
        case ExposureClass::SvDirect: return 0.0;
        case ExposureClass::DefaultRows:
            return (static_cast<double>(timeClocks) + 180.0) / static_cast<double>(DefaultRowLength(width));
        case ExposureClass::Hv2Rows:
            return RoundHalfDown((static_cast<double>(timeClocks) + 180.0) / static_cast<double>(Hv2RowLength(width)) +
                                 1.0);
        case ExposureClass::Hv3Rows: {
            const Hv3Timing timing = Hv3TimingFor(width, resolutionMode);
            const double numerator = static_cast<double>(timeClocks + timing.k) - 132.0;
            return RoundHalfDown(numerator / static_cast<double>(timing.rowLength));
        }
    }
    return 0.0;
}

constexpr double kClocksPerSecond = 24000000.0;

// The time that a row count gives, in seconds: the formulas above solved for the time; and the
// time of one row, the step between two counts.
double RowsToSeconds(ExposureClass exposureClass, uint32_t rows, int64_t width, int32_t resolutionMode) {
    const double count = rows;
    double clocks = 0.0;
    switch (exposureClass) {
        case ExposureClass::SvDirect: break;
        case ExposureClass::DefaultRows: clocks = count * static_cast<double>(DefaultRowLength(width)) - 180.0; break;
        case ExposureClass::Hv2Rows: clocks = (count - 1.0) * static_cast<double>(Hv2RowLength(width)) - 180.0; break;
        case ExposureClass::Hv3Rows: {
            const Hv3Timing timing = Hv3TimingFor(width, resolutionMode);
            clocks = count * static_cast<double>(timing.rowLength) - static_cast<double>(timing.k) + 132.0;
            break;
        }
    }
    return std::max(clocks, 0.0) / kClocksPerSecond;
}

// Says what was asked and what the camera was given; a time the camera cannot take is a warning.
void NoteExposure(int camera, const SlotGeometry& geometry, ExposureClass exposureClass, int32_t unit, int32_t value,
                  uint32_t rows, bool applied) {
    const double asked = static_cast<double>(int64_t{value} * ClocksPerUnit(unit).value_or(0)) / kClocksPerSecond;
    const double given = RowsToSeconds(exposureClass, rows, geometry.width, geometry.resolutionMode);
    const double oneRow = RowsToSeconds(exposureClass, rows + 1, geometry.width, geometry.resolutionMode) - given;
    const bool atLimit = rows == 1 || rows == static_cast<uint32_t>(UpperLimit(exposureClass));
    if (applied && atLimit && std::abs(asked - given) > oneRow) {
        KX_LOG(Domain::Control, Level::Warn, camera, "exposure %.3g s asked, %.3g s applied: the camera's %s limit",
               asked, given, asked > given ? "upper" : "lower");
    }
    KX_LOG(Domain::Control, Level::Info, camera, "exposure %.6g s asked: %u rows of width %d sent, %.6g s; %s", asked,
           static_cast<unsigned>(rows), static_cast<int>(geometry.width), given,
           applied ? "applied" : "refused by the camera");
}

}  // namespace

ExposureClass ClassifyExposure(int32_t typeCode) {
    if (typeCode > 17 && typeCode < 35) return ExposureClass::SvDirect;
    if (std::ranges::find(kHv2RowsCodes, typeCode) != std::end(kHv2RowsCodes)) return ExposureClass::Hv2Rows;
    if (std::ranges::find(kHv3RowsCodes, typeCode) != std::end(kHv3RowsCodes)) return ExposureClass::Hv3Rows;
    return ExposureClass::DefaultRows;
}

std::optional<uint32_t> ExposureRows(ExposureClass exposureClass, int32_t unit, int32_t value, int32_t width,
                                     int32_t resolutionMode) {
    if (exposureClass == ExposureClass::SvDirect) return std::nullopt;
    const std::optional<int64_t> clocksPerUnit = ClocksPerUnit(unit);
    if (!clocksPerUnit) return std::nullopt;
    const int64_t timeClocks = int64_t{value} * *clocksPerUnit;
    const double rows = UnroundedRows(exposureClass, timeClocks, width, resolutionMode);
    return ClampRows(rows, UpperLimit(exposureClass));
}

int16_t SetShutter(Slot& slot, int16_t unit, int16_t value) {
    const int cameraNumber = slot.number();
    const HHV handle = slot.handle();

    // Zeroed and checked: a query that fails leaves no stale code to classify.
    int32_t typeCode = 0;
    int32_t size = sizeof typeCode;
    if (camera::HVGetDeviceInfo(cameraNumber, handle, HV_INFO_TYPE_CODE, &typeCode, &size) != 0) return 0;

    const ExposureClass exposureClass = ClassifyExposure(typeCode);
    if (exposureClass == ExposureClass::SvDirect) {
        // The camera takes the pair as given, each widened with its sign; only the value's
        // status counts.
        (void)camera::HVAECControl(cameraNumber, handle, kAecUnit, static_cast<uint32_t>(int32_t{unit}));
        const bool applied =
            camera::HVAECControl(cameraNumber, handle, kAecValue, static_cast<uint32_t>(int32_t{value})) == 0;
        KX_LOG(Domain::Control, Level::Info, slot.index() + 1, "exposure %d in unit %d sent as given; %s",
               static_cast<int>(value), static_cast<int>(unit), applied ? "applied" : "refused by the camera");
        return applied ? 1 : 0;
    }

    const SlotGeometry geometry = slot.geometry();
    const std::optional<uint32_t> rows =
        ExposureRows(exposureClass, unit, value, geometry.width, geometry.resolutionMode);
    if (!rows) {
        KX_LOG(Domain::Control, Level::Info, slot.index() + 1, "exposure refused: unit %d is not 0, 1 or 2 (us, ms, s)",
               static_cast<int>(unit));
        return 0;
    }
    const bool applied = camera::HVAECControl(cameraNumber, handle, kAecRows, *rows) == 0;
    NoteExposure(slot.number(), geometry, exposureClass, unit, value, *rows, applied);
    return applied ? 1 : 0;
}

}  // namespace korvex
