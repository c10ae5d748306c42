// Automatic and manual white balance: ratios and the colour tables built from them.
#include <array>
#include <cmath>
#include <cstddef>

#include "Raw2Rgb.h"
#include "colour/colour.h"
#include "colour/colour_tables.h"
#include "diagnostics/log.h"
#include "registry/frame_buffers.h"
#include "registry/racy_frame_read.h"

namespace korvex {
namespace {

using diagnostics::Domain;
using diagnostics::Level;

constexpr double kHundredth = 0.01;  // hundredths become factors by this multiplication

// The estimate sees the frame's own colours, whatever ratios or gamma the slot's tables hold.
constexpr std::array<uint8_t, 256> kIdentity = [] {
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) table[static_cast<std::size_t>(i)] = static_cast<uint8_t>(i);
    return table;
}();

struct Ratios {
    double red;
    double green;
    double blue;
};

// A frame of at least one pixel that the buffers hold.
bool FitsBuffers(int32_t width, int32_t height, const FrameBuffers& buffers) {
    return width > 0 && height > 0 && HoldsFrame(buffers, width, height);
}

bool Usable(double ratio) { return std::isfinite(ratio) && ratio > 0.0; }

// Converts the frame capture left in a raw buffer with identity tables. The camera may refill that
// buffer meanwhile (a torn frame, as for a late export, which an estimate may come from), so the
// read is one the sanitizer is told of (RacyFrameRead).
int32_t ConvertCapturedFrame(uint8_t* rgb, const uint8_t* raw, int32_t width, int32_t height, int32_t layout) {
    const RacyFrameRead racyRead;
    return ConvertBayer2Rgb(rgb, raw, width, height, 1, kIdentity.data(), kIdentity.data(), kIdentity.data(), 0,
                            layout);
}

// Converts the newest raw frame with identity tables, as the latest export saw it, and estimates
// the ratios over the camera's own frame size. False when there is no frame to estimate from, or
// the converter or the estimate refused, or a ratio is not a positive finite number.
bool EstimateRatios(Slot& slot, Ratios& estimate) {
    BufferLease lease(slot);
    const FrameBuffers* buffers = lease.get();
    if (buffers == nullptr) return false;
    const ExportRecord exported = slot.lastExport();
    const SlotGeometry geometry = slot.geometry();
    if (!FitsBuffers(exported.width, exported.height, *buffers)) return false;  // no export yet
    if (!FitsBuffers(geometry.width, geometry.height, *buffers)) return false;
    if (exported.layout < 1 || exported.layout > 4) return false;
    if (ConvertCapturedFrame(buffers->rgbBuffer, NewestFrame(slot, *buffers), exported.width, exported.height,
                             exported.layout) == 0) {
        return false;
    }
    estimate = Ratios{1.0, 1.0, 1.0};
    if (GetWhiteBalanceRatio(buffers->rgbBuffer, geometry.width, geometry.height, &estimate.red, &estimate.green,
                             &estimate.blue) == 0) {
        return false;
    }
    return Usable(estimate.red) && Usable(estimate.green) && Usable(estimate.blue);
}

}  // namespace

int16_t AutoWhiteBalance(Slot& slot) {
    Ratios estimate{};
    // A failed estimate keeps the earlier ratios and tables.
    if (!EstimateRatios(slot, estimate)) {
        KX_LOG(Domain::Colour, Level::Info, slot.index() + 1,
               "automatic white balance: no estimate (no frame exported yet, or the estimate failed); ratios kept");
        return 0;
    }
    KX_LOG(Domain::Colour, Level::Info, slot.index() + 1,
           "automatic white balance chose red %.4f, green %.4f, blue %.4f", estimate.red, estimate.green,
           estimate.blue);
    SlotColour& colour = ColourOf(slot.index());
    ColourTablesChange change(colour.tables);
    colour.ratioR = estimate.red;
    colour.ratioG = estimate.green;
    colour.ratioB = estimate.blue;
    colour.ratiosChanged = true;
    BuildColourTable(estimate.red, change.tables().red);
    BuildColourTable(estimate.green, change.tables().green);
    BuildColourTable(estimate.blue, change.tables().blue);
    change.Publish();
    return 1;
}

int16_t SetWhiteBalanceRatio(Slot& slot, int16_t blue, int16_t red) {
    SlotColour& colour = ColourOf(slot.index());
    ColourTablesChange change(colour.tables);
    colour.ratioR = red * kHundredth;
    colour.ratioB = blue * kHundredth;
    colour.ratiosChanged = true;
    BuildColourTable(colour.ratioR, change.tables().red);
    BuildColourTable(colour.ratioB, change.tables().blue);  // green keeps what it held
    change.Publish();
    KX_LOG(Domain::Colour, Level::Info, slot.index() + 1, "white balance set: red %.2f, blue %.2f, green kept",
           colour.ratioR, colour.ratioB);
    return 1;
}

}  // namespace korvex
