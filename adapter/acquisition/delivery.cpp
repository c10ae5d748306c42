// Frame delivery: the export of the newest captured frame and the single-frame grab.
//
// Both check the request against the slot's buffers before they do anything else, and write
// exactly width x height pixels. Nothing here allocates and nothing takes a lock: colour frames are
// demosaiced into the slot's working buffer through its published tables, grey frames are copied
// once, straight from the raw buffer into the host's destination.
#include <cstddef>
#include <cstring>
#include <mutex>

#include "Raw2Rgb.h"
#include "acquisition/acquisition.h"
#include "acquisition/cross_overlay.h"
#include "acquisition/pixel_rows.h"
#include "colour/colour_tables.h"
#include "registry/frame_buffers.h"
#include "registry/racy_frame_read.h"
#include "registry/slot_event.h"
#include "registry/slot_state.h"
#include "camera/camera_calls.h"
#include "diagnostics/log.h"

namespace korvex {
namespace {

using diagnostics::Domain;
using diagnostics::Level;

// The request fits the buffers: sizes not negative, a destination, buffers present and large
// enough for width x height pixels.
bool Fits(const FrameBuffers* buffers, const uint8_t* destination, int16_t width, int16_t height) {
    return buffers != nullptr && destination != nullptr && HoldsFrame(*buffers, width, height);
}

bool CurrentlyFits(Slot& slot, const uint8_t* destination, int16_t width, int16_t height) {
    BufferLease lease(slot);
    return Fits(lease.get(), destination, width, height);
}

bool KnownLayout(int32_t layout) { return layout >= 1 && layout <= 4; }

std::size_t PixelCount(int32_t width, int32_t height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

// Row by row: the picture first (writeRow turns a source row into 4-byte pixels), then the row's
// red run over it.
template <typename WriteRow>
void WriteRowsWithCross(const uint8_t* source, std::size_t sourceStride, uint8_t* destination, int32_t width,
                        int32_t height, const CrossSpans& cross, WriteRow writeRow) {
    const std::size_t rowPixels = static_cast<std::size_t>(width);
    for (int32_t i = 0; i < height; ++i) {
        uint8_t* row = destination + static_cast<std::size_t>(i) * 4 * rowPixels;
        writeRow(source + static_cast<std::size_t>(i) * sourceStride, row, rowPixels);
        int32_t begin = 0;
        int32_t end = 0;
        cross.ColumnsOfRow(i, begin, end);
        if (begin < end) {
            pixels::FillRed(row + 4 * static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
        }
    }
}

// Colour: demosaics raw through the slot's published tables (one set for the whole frame) into
// the working buffer, then writes B,G,R,0. False, with nothing written, when the converter
// refused: its working buffer would hold an earlier frame.
bool DeliverColour(Slot& slot, FrameBuffers& buffers, const uint8_t* raw, uint8_t* destination, int32_t width,
                   int32_t height, int32_t layout, const CrossSpans* cross) {
    uint8_t* work = buffers.rgbBuffer;
    {
        HeldColourTables held(ColourOf(slot.index()).tables);
        const ColourTableSet& tables = held.get();
        if (ConvertBayer2Rgb(work, raw, width, height, 1, tables.red, tables.green, tables.blue, 0, layout) == 0) {
            return false;
        }
    }
    if (cross == nullptr) {
        pixels::ExpandBgr(work, destination, PixelCount(width, height));
    } else {
        WriteRowsWithCross(work, 3 * static_cast<std::size_t>(width), destination, width, height, *cross,
                           pixels::ExpandBgr);
    }
    return true;
}

// Grey: straight from the raw buffer into the destination, one byte a pixel, or v,v,v,0 when a
// cross is drawn.
void DeliverGrey(const uint8_t* raw, uint8_t* destination, int32_t width, int32_t height, const CrossSpans* cross) {
    if (cross == nullptr) {
        std::memcpy(destination, raw, PixelCount(width, height));
    } else {
        WriteRowsWithCross(raw, static_cast<std::size_t>(width), destination, width, height, *cross,
                           pixels::GreyToBgra);
    }
}

// Writes one frame from raw into destination: exactly width x height pixels. colour: demosaic
// with layout (1..4) through the slot's tables; otherwise grey. cross, when given, is the
// cross-hair already clipped to this frame. False when the converter refused.
bool Deliver(Slot& slot, FrameBuffers& buffers, const uint8_t* raw, uint8_t* destination, int32_t width, int32_t height,
             bool colour, int32_t layout, const CrossSpans* cross) {
    if (PixelCount(width, height) == 0) return true;
    if (!colour) {
        DeliverGrey(raw, destination, width, height, cross);
        return true;
    }
    return DeliverColour(slot, buffers, raw, destination, width, height, layout, cross);
}

// Deliver for an export of the frame capture left in a raw buffer, which the camera may refill
// while a late export reads it: the export finds out afterwards (MayHaveBeenRefilled) and then does
// not hand that frame over, so the read is one the sanitizer is told of (RacyFrameRead).
bool DeliverCapturedFrame(Slot& slot, FrameBuffers& buffers, const uint8_t* raw, uint8_t* destination, int32_t width,
                          int32_t height, bool colour, int32_t layout, const CrossSpans* cross) {
    const RacyFrameRead racyRead;
    return Deliver(slot, buffers, raw, destination, width, height, colour, layout, cross);
}

// How many frames an export takes before it gives up on a whole one: the frame its wait gave,
// then the newest one again each time the camera may have refilled the buffer while it was read.
// Only an export slower than the camera's frames needs a second take; one that needs every take
// would deliver nothing whole at this rate anyway.
constexpr int kTakes = 4;

enum class Delivery { Whole, MayBeTorn, Refused };

// Delivers the frame taken from its buffer, then judges whether the camera may have begun to
// refill that buffer while it was read.
Delivery DeliverTaken(Slot& slot, FrameBuffers& buffers, FrameMark taken, uint8_t* destination, int32_t width,
                      int32_t height, bool colour, int32_t layout, const CrossSpans* cross) {
    const uint8_t* raw = buffers.rawBuffers[FrameBufferIndex(taken)];
    if (!DeliverCapturedFrame(slot, buffers, raw, destination, width, height, colour, layout, cross)) {
        return Delivery::Refused;
    }
    return MayHaveBeenRefilled(slot, taken) ? Delivery::MayBeTorn : Delivery::Whole;
}

// Delivers the frame taken, or a newer one while the camera may have refilled the buffer of the
// one before as it was read: 1 a whole frame, -1 none whole within kTakes, 0 refused or woken.
int16_t DeliverWholeFrame(Slot& slot, FrameBuffers& buffers, FrameMark& taken, uint8_t* destination, int32_t width,
                          int32_t height, bool colour, int32_t layout, const CrossSpans* cross) {
    for (int take = 1;; ++take) {
        const Delivery delivery = DeliverTaken(slot, buffers, taken, destination, width, height, colour, layout, cross);
        if (delivery != Delivery::MayBeTorn) return delivery == Delivery::Whole ? 1 : 0;
        if (take == kTakes) break;
        // A retake consumes the frame it takes, like any take: the next export waits for a newer
        // one, so that no frame is handed over twice.
        const FrameWait retake = WaitForFrame(slot, 0, taken);
        if (retake == FrameWait::Woken) return 0;
        if (retake == FrameWait::TimedOut) break;
    }
    KX_LOG(Domain::Export, Level::Warn, slot.index() + 1,
           "export: no whole frame, result -1: the camera began to refill the buffer of each frame taken while "
           "the export read it (exports slower than the camera's frames)");
    return -1;
}

}  // namespace

int16_t ExportImageData(Slot& slot, uint8_t* destination, int16_t width, int16_t height, int16_t colour,
                        int16_t layout) {
    const int32_t clampedLayout = KnownLayout(layout) ? layout : 1;
    // The output format (grey or B,G,R,0) and the cross-hair are fixed here, once: a cross-hair
    // turned on during the wait must not make a grey export write four bytes a pixel.
    const bool crossOn = CrossEnabled();
    const CrossParams cross = CurrentCrossParams();
    // A request that cannot be served is refused before it consumes a frame signal.
    if (!CurrentlyFits(slot, destination, width, height)) return 0;

    // The wait holds nothing, so that stop and close never wait for it; they wake it instead,
    // and it then returns without writing. A camera that is not capturing is not waited for.
    const bool traced = diagnostics::LogEnabled(Domain::Export, Level::Trace);
    const int64_t waitStart = traced ? diagnostics::LogClockMicroseconds() : 0;
    FrameMark taken = 0;
    switch (WaitForFrame(slot, static_cast<uint32_t>(Slots().waitTimeoutMs.load()), taken)) {
        case FrameWait::Frame: break;
        case FrameWait::TimedOut:
            // The library has no thread to watch a camera: an export that waits in vain notices it.
            KX_LOG(Domain::Capture, Level::Warn, slot.index() + 1, "no frame for %.1f s",
                   static_cast<double>(Slots().waitTimeoutMs.load()) / 1000.0);
            return -1;
        case FrameWait::Woken:
            KX_LOG(Domain::Export, Level::Debug, slot.index() + 1, "export: wait ended by a stop or close");
            return 0;
    }
    const int64_t convertStart = traced ? diagnostics::LogClockMicroseconds() : 0;

    // The camera may have been closed since the wait; a closed camera lends no buffers.
    BufferLease lease(slot);
    FrameBuffers* buffers = lease.get();
    if (!Fits(buffers, destination, width, height)) return 0;

    slot.RecordExport(ExportRecord{width, height, clampedLayout});
    CrossSpans spans{};
    if (crossOn) spans = ClipCross(cross, width, height);
    const int16_t result = DeliverWholeFrame(slot, *buffers, taken, destination, width, height, colour == 1,
                                             clampedLayout, crossOn ? &spans : nullptr);
    if (result != 1) return result;
    if (traced) {
        KX_LOG(Domain::Export, Level::Trace, slot.index() + 1,
               "export %dx%d %s: frame %u, waited %lld us, converted in %lld us", static_cast<int>(width),
               static_cast<int>(height), colour == 1 ? "colour" : "grey", static_cast<unsigned>(FrameCount(taken)),
               static_cast<long long>(convertStart - waitStart),
               static_cast<long long>(diagnostics::LogClockMicroseconds() - convertStart));
    }
    return 1;
}

namespace {

// The grab's work once capture cannot run: one snap into raw buffer 0, then its delivery.
int16_t SnapAndDeliver(Slot& slot, uint8_t* destination, int16_t width, int16_t height, int16_t colour,
                       int16_t layout) {
    BufferLease lease(slot);
    FrameBuffers* buffers = lease.get();
    if (!Fits(buffers, destination, width, height)) return 0;
    // The converter knows layouts 1..4 only; any other would leave an earlier picture in the
    // working buffer, so such a colour grab is refused before the snap.
    if (colour == 1 && !KnownLayout(layout)) return 0;
    const HVSTATUS status = camera::HVSnapShot(slot.number(), slot.handle(), buffers->rawBuffers, 1);
    // A failed snap still delivers what raw buffer 0 holds; a grab never draws the cross-hair.
    if (!Deliver(slot, *buffers, buffers->rawBuffers[0], destination, width, height, colour == 1, layout, nullptr)) {
        return 0;
    }
    return status == 0 ? 1 : 0;
}

}  // namespace

int16_t GrabSingle(Slot& slot, uint8_t* destination, int16_t width, int16_t height, int16_t colour, int16_t layout) {
    // While capture may run, the camera refills raw buffer 0 as the snap fills it and the grab
    // reads it: no whole frame could come, so the guard refuses a grab then, and the grab runs
    // under the slot's lock so that capture cannot begin before it is done.
    return slot.WithCaptureStopped([&] { return SnapAndDeliver(slot, destination, width, height, colour, layout); });
}

}  // namespace korvex
