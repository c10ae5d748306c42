// Camera-library statuses in words, from the library contract's one list.
#include "diagnostics/camera_status.h"

namespace korvex::diagnostics {

const char* CameraStatusWords(int32_t status) {
    switch (status) {
#define KX_STATUS_CASE(number, name, words) \
    case number: return words;
        HVDAILT_STATUSES(KX_STATUS_CASE)
#undef KX_STATUS_CASE
    }
    return "unknown status";
}

}  // namespace korvex::diagnostics
