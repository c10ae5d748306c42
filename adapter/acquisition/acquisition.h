// Continuous capture, frame export, the cross-hair overlay and single-frame grabs.
#pragma once

#include <cstdint>

namespace korvex {

int16_t StartGrab(int16_t device);
int16_t StopGrab(int16_t device);
int16_t SetTimeout(int16_t milliseconds);
int16_t ExportImageData(int16_t device, uint8_t* destination, int16_t width, int16_t height, int16_t colour,
                        int16_t layout);
int16_t GrabSingle(int16_t device, uint8_t* destination, int16_t width, int16_t height, int16_t colour,
                   int16_t layout);
int16_t EnableCross(int16_t flag);
int16_t SetCrossPara(int16_t x, int16_t y, int16_t width, int16_t height, int16_t thickness);

}  // namespace korvex
