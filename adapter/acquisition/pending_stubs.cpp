// Placeholders until capture and delivery land; every call is refused.
#include "acquisition/acquisition.h"

namespace korvex {

int16_t StartGrab(int16_t) { return 0; }
int16_t StopGrab(int16_t) { return 0; }
int16_t SetTimeout(int16_t) { return 0; }
int16_t ExportImageData(int16_t, uint8_t*, int16_t, int16_t, int16_t, int16_t) { return 0; }
int16_t GrabSingle(int16_t, uint8_t*, int16_t, int16_t, int16_t, int16_t) { return 0; }
int16_t EnableCross(int16_t) { return 0; }
int16_t SetCrossPara(int16_t, int16_t, int16_t, int16_t, int16_t) { return 0; }

}  // namespace korvex
