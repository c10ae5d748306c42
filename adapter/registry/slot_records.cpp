// A slot's two small records that host threads set and read apart from its life: the latest
// export and the frame geometry. Each is written and read as one value.
#include <mutex>

#include "registry/slot.h"

namespace korvex {
namespace {

uint64_t Pack(const ExportRecord& record) {
    return uint64_t{static_cast<uint16_t>(record.width)} | uint64_t{static_cast<uint16_t>(record.height)} << 16 |
           uint64_t{static_cast<uint32_t>(record.layout)} << 32;
}

ExportRecord Unpack(uint64_t packed) {
    return ExportRecord{static_cast<int16_t>(static_cast<uint16_t>(packed)),
                        static_cast<int16_t>(static_cast<uint16_t>(packed >> 16)),
                        static_cast<int32_t>(static_cast<uint32_t>(packed >> 32))};
}

}  // namespace

void Slot::RecordExport(ExportRecord record) { lastExport_.store(Pack(record)); }

ExportRecord Slot::lastExport() const { return Unpack(lastExport_.load()); }

SlotGeometry Slot::geometry() const {
    std::lock_guard lock(geometryLock_);
    return geometry_;
}

void Slot::SetGeometry(const SlotGeometry& geometry) {
    std::lock_guard lock(geometryLock_);
    geometry_ = geometry;
}

void Slot::SetRowLength(int32_t width) {
    std::lock_guard lock(geometryLock_);
    geometry_.width = width;
}

}  // namespace korvex
