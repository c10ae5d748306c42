// Resolution and output window, and the image size the camera reports.
#include <cstddef>

#include "HVDAILT.h"
#include "control/control.h"
#include "registry/slot.h"
#include "registry/frame_buffers.h"
#include "control/resolution_list.h"
#include "camera/camera_calls.h"
#include "diagnostics/log.h"

namespace korvex {
namespace {

using diagnostics::Domain;
using diagnostics::Level;

// Capture, export and grab all work on frames of the slot's buffers, which keep the size of the
// list's first entry. A geometry whose frame would not fit them is refused rather than
// reallocated, so that capture never writes past them. A camera without buffers has nothing to
// overrun yet: allocation sizes them afresh.
bool FitsBuffers(Slot& slot, int32_t width, int32_t height) {
    if (width < 0 || height < 0) return false;
    const BufferLease lease(slot);
    const FrameBuffers* buffers = lease.get();
    return buffers == nullptr || HoldsFrame(*buffers, width, height);
}

// The low 16 bits, read as signed: a width of 32768 or more comes back negative.
int16_t Low16(int32_t value) { return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF)); }

enum class Dimension { Width, Height };

int16_t CurrentEntryDimension(Slot& slot, Dimension dimension) {
    const ResolutionList list(slot.number(), slot.handle());
    const ResolutionEntry* entry = list.at(slot.geometry().resolutionMode);
    if (entry == nullptr) return -1;
    switch (dimension) {
        case Dimension::Width: return Low16(entry->width);
        case Dimension::Height: return Low16(entry->height);
    }
    return -1;
}

}  // namespace

int16_t SetResolution(Slot& slot, int16_t mode) {
    // The list is read before the mode is sent (not after) so that a mode outside the list or
    // one too large for the buffers is refused before the camera hears of it.
    const ResolutionList list(slot.number(), slot.handle());
    const ResolutionEntry* entry = list.at(mode);
    const int camera = slot.index() + 1;
    if (entry == nullptr) {
        KX_LOG(Domain::Control, Level::Info, camera, "resolution mode %d refused: not in the camera's list", int{mode});
        return 0;
    }
    const ResolutionEntry chosen = *entry;
    if (!FitsBuffers(slot, chosen.width, chosen.height)) {
        KX_LOG(Domain::Control, Level::Info, camera, "resolution mode %d (%dx%d) refused: larger than the buffers",
               int{mode}, static_cast<int>(chosen.width), static_cast<int>(chosen.height));
        return 0;
    }

    const HVSTATUS status = camera::HVSetResolution(slot.number(), slot.handle(), mode);
    // The slot follows the requested mode even when the camera refuses it.
    slot.SetGeometry(SlotGeometry{mode, chosen.width, chosen.height});
    KX_LOG(Domain::Control, Level::Info, camera, "resolution mode %d, %dx%d: %s", int{mode},
           static_cast<int>(chosen.width), static_cast<int>(chosen.height), status == 0 ? "applied" : "refused");
    return status == 0 ? 1 : 0;
}

int16_t SetAOI(Slot& slot, int16_t left, int16_t top, int16_t width, int16_t height) {
    const int camera = slot.index() + 1;
    if (!FitsBuffers(slot, width, height)) {
        KX_LOG(Domain::Control, Level::Info, camera, "window %dx%d at %d,%d refused: larger than the buffers",
               int{width}, int{height}, int{left}, int{top});
        return 0;
    }

    // Only the width is kept: it is the row length of later exposure settings. The height stays
    // the resolution's and the position is not recorded.
    slot.SetRowLength(width);
    const HVSTATUS status = camera::HVSetOutputWindow(slot.number(), slot.handle(), left, top, width, height);
    KX_LOG(Domain::Control, Level::Info, camera, "window %dx%d at %d,%d: %s", int{width}, int{height}, int{left},
           int{top}, status == 0 ? "applied" : "refused");
    if (status == 0) return 1;
    return Low16(status);
}

int16_t GetImageWidth(Slot& slot) { return CurrentEntryDimension(slot, Dimension::Width); }

int16_t GetImageHeight(Slot& slot) { return CurrentEntryDimension(slot, Dimension::Height); }

}  // namespace korvex
