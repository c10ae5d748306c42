// The stored-ratio routines keep their ratios in the device table; the fuzzer needs no cameras,
// so it gives them a table of their own instead of the registry's.
#include "registry/device_table.h"

namespace korvex {

DeviceTable& Table() {
    static DeviceTable table{};
    return table;
}

}  // namespace korvex
