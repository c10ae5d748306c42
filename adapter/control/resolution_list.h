// A camera's resolution list, fetched afresh from the camera library (size first, then the list).
#pragma once

#include <cstdint>
#include <memory>

#include "HVDAILT.h"

namespace korvex {

class ResolutionList {
public:
    // Reads the list of handle, the session of camera cameraNumber (1..10). ok() is false when
    // either query failed, the size is not a whole number of entries, or memory ran out.
    ResolutionList(int cameraNumber, HHV handle);

    bool ok() const { return ok_; }
    // The status of the second query, the one that fills the list.
    HVSTATUS fillStatus() const { return fillStatus_; }
    int32_t count() const { return count_; }
    // The entry at mode, or null when mode lies outside the list.
    const ResolutionEntry* at(int32_t mode) const;

private:
    std::unique_ptr<ResolutionEntry[]> entries_;
    int32_t count_ = 0;
    HVSTATUS fillStatus_ = -1;
    bool ok_ = false;
};

}  // namespace korvex
