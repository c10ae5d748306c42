// Pixel kernels of frame delivery: 3-byte B,G,R to 4-byte B,G,R,0, grey to v,v,v,0, and the
// cross-hair's red runs.
//
// Each conversion has a plain scalar version that is obviously right, and a fast version that
// runs a vector loop over as many pixels as it can and finishes the rest with the scalar one.
// The vector loop is chosen once per process from what the processor offers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvex::pixels {

// bgra[4p..4p+3] = bgr[3p], bgr[3p+1], bgr[3p+2], 0 for p in [0, count).
void ExpandBgrScalar(const uint8_t* bgr, uint8_t* bgra, std::size_t count);
void ExpandBgr(const uint8_t* bgr, uint8_t* bgra, std::size_t count);

// The same bytes written with non-temporal stores where the processor has them, so that the
// destination does not evict the frame's source and working buffers from the last-level cache.
// ExpandBgr takes this path from kStreamingPixels pixels on: a whole large frame, whose
// destination the host reads long after it would have been evicted anyway.
void ExpandBgrStreaming(const uint8_t* bgr, uint8_t* bgra, std::size_t count);
inline constexpr std::size_t kStreamingPixels = std::size_t{1536} * 1024;

// bgra[4p..4p+3] = grey[p], grey[p], grey[p], 0 for p in [0, count).
void GreyToBgraScalar(const uint8_t* grey, uint8_t* bgra, std::size_t count);
void GreyToBgra(const uint8_t* grey, uint8_t* bgra, std::size_t count);

// Writes count cross-hair pixels 0, 0, 255, 0.
void FillRed(uint8_t* bgra, std::size_t count);

}  // namespace korvex::pixels
