#include "control/resolution_list.h"

#include <new>

#include "camera/camera_calls.h"

namespace korvex {

ResolutionList::ResolutionList(int cameraNumber, HHV handle) {
    int32_t size = 0;
    if (camera::HVGetDeviceInfo(cameraNumber, handle, HV_INFO_RESOLUTIONS, nullptr, &size) != 0) return;
    if (size <= 0 || size % static_cast<int32_t>(sizeof(ResolutionEntry)) != 0) return;
    const int32_t count = size / static_cast<int32_t>(sizeof(ResolutionEntry));
    entries_.reset(new (std::nothrow) ResolutionEntry[static_cast<std::size_t>(count)]);
    if (!entries_) return;
    fillStatus_ = camera::HVGetDeviceInfo(cameraNumber, handle, HV_INFO_RESOLUTIONS, entries_.get(), &size);
    if (fillStatus_ != 0) return;
    count_ = count;
    ok_ = true;
}

const ResolutionEntry* ResolutionList::at(int32_t mode) const {
    if (!ok_ || mode < 0 || mode >= count_) return nullptr;
    return &entries_[static_cast<std::size_t>(mode)];
}

}  // namespace korvex
