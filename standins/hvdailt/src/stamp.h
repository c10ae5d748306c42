// The machine-readable stamp at the top-left of every simulated frame.
//
// 64 bits, most significant first: magic 0xA5, device, buffer index, frame number (32 bits), and
// a CRC-8 (polynomial 0x07) of the six bytes between magic and CRC. Each bit is a 4 x 4 block of
// raw value 255 (1) or 0 (0), 16 blocks to a row, 4 rows: 64 x 16 pixels. A block is uniform in
// every Bayer channel, so the centre pixels of a block keep its value through a bilinear
// demosaic; the decoder reads the 2 x 2 centre of each block and thresholds it halfway between
// the levels of the magic's known ones and zeros, which survives per-channel tables and gamma.
#pragma once

#include <cstdint>

#include "hvsim_control.h"

namespace hvsim {

// Writes the stamp into a 1-byte-per-pixel frame; frames smaller than the stamp get none.
void WriteStamp(uint8_t* frame, int32_t width, int32_t height, const HvSimStamp& stamp);

// 0 and the stamp, or -1 when the image carries no valid stamp.
int32_t DecodeStamp(const uint8_t* image, int32_t width, int32_t height, int32_t bytesPerPixel, HvSimStamp* stamp);

}  // namespace hvsim
