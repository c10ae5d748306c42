// A camera-library status in words, for the log lines that give the number.
#pragma once

#include <cstdint>

#include "hvdailt_statuses.h"

namespace korvex::diagnostics {

#define KX_STATUS_ENUMERATOR(number, name, words) name = number,
enum class CameraStatus : int32_t { HVDAILT_STATUSES(KX_STATUS_ENUMERATOR) };
#undef KX_STATUS_ENUMERATOR

// "success", "unplugged: the camera is disconnected", ...; "unknown status" for a number not listed.
const char* CameraStatusWords(int32_t status);

}  // namespace korvex::diagnostics
