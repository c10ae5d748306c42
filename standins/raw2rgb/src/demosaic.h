// Bilinear demosaicing of an 8-bit Bayer mosaic into 3-byte B, G, R pixels through three tables.
//
// Every output channel of site (x, y) is, for the site's own colour, the site's value; for another
// colour, the rounded mean of the sites of that colour among the eight neighbours that lie inside
// the image, (sum + n / 2) / n in integers; and the site's own value when none of the eight has
// that colour (a 1-pixel-wide or 1-row image). Inside the image this is plain bilinear
// interpolation:
//
//      red or blue site X              green site G on a row with colour P
//
//        Q  G  Q                          .  Q  .
//        G [X] G      G = mean of 4 G     P [G] P      P = mean of 2 P (row)
//        Q  G  Q      Q = mean of 4 Q     .  Q  .      Q = mean of 2 Q (column)
//
// Border sites use the same rule with fewer neighbours; nothing outside the source is read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bayer_layout.h"

namespace raw2rgb {

struct Frame {
    const std::uint8_t* source;  // width x height bytes, rows packed
    std::uint8_t* destination;   // width x height 3-byte pixels
    int width;
    int height;
    bool bottomUp;  // source row 0 becomes the last output row
    BayerLayout layout;
    const std::uint8_t* lut[kChannels];  // indexed by Colour: blue, green, red table

    [[nodiscard]] std::uint8_t* OutputRow(int y) const {
        const int row = bottomUp ? height - 1 - y : y;
        return destination + static_cast<std::ptrdiff_t>(row) * width * kChannels;
    }
};

// The three tables widened to 32-bit words, each entry already in its byte of a little-endian
// B, G, R pixel word, so the fast kernel forms a pixel with three lookups and two ors. Built once
// per frame (3 KB on the stack).
struct PixelWordTables {
    std::uint32_t blue[256];
    std::uint32_t green[256];
    std::uint32_t red[256];
};

void BuildPixelWordTables(const Frame& frame, PixelWordTables* words);

// The three tables cut into 16-entry slices with each slice written twice, so a single 32-byte
// load (folded into the AVX2 kernel's byte shuffles) holds the slice in both 16-byte halves of a
// register. Built once per frame for the AVX2 kernel only (1.5 KB on the stack); slice k of table c
// is the 32 bytes at table[c] + 32 * k, which start on a 32-byte boundary so no load splits a
// cache line.
struct WideSliceTables {
    std::uint8_t storage[kChannels * 512 + 32];
    const std::uint8_t* table[kChannels];  // indexed by Colour: blue, green, red
};

void BuildWideSliceTables(const Frame& frame, WideSliceTables* wide);

// One interior row (1 <= y <= height - 2) as the row kernels see it: the three source rows, the
// output row, and what the row's phase fixes. The row carries green and one other colour P; the
// rows above and below carry green and the remaining colour Q.
struct InteriorRow {
    const std::uint8_t* up;
    const std::uint8_t* mid;
    const std::uint8_t* down;
    std::uint8_t* out;
    int greenParity;  // x & 1 of this row's green sites
    int offsetP;      // byte offset of P in an output pixel (0 blue, 2 red)
    int offsetQ;
    const std::uint8_t* lut[kChannels];  // indexed by output byte: blue, green, red table
    const PixelWordTables* words;
    const WideSliceTables* wide;  // AVX2 kernel only; null for the others
};

// The rule above for one site, bounds checked; used for border sites and tiny images.
void DemosaicSite(const Frame& frame, int x, int y);

// The same rule for a site on an edge of a frame at least 3 x 3, away from the corners: (alongX,
// alongY) steps along the edge and (inX, inY) one site into the image. Five neighbours, no checks.
void DemosaicEdgeSite(const Frame& frame, int x, int y, int alongX, int alongY, int inX, int inY);

// Interior sites x0 <= x < x1 of one interior row (1 <= x0, x1 <= width - 1), plain scalar code.
void InteriorRowScalar(const InteriorRow& row, int x0, int x1);

// Fast interior kernels, one kernel (interior_row_kernel.h) at two vector widths: each converts
// sites x0 <= x < x1 in blocks (16 sites for SSE2, 32 for AVX2) when there is room for at least
// one block and returns the first x it did not convert (x1, or x0 when it converted nothing). The
// SSE2 one writes one byte past each pixel it converts, so site x1 must be written after the call.
// Where a kernel cannot be built it converts nothing.
int InteriorRowSse2(const InteriorRow& row, int x0, int x1);
int InteriorRowAvx2(const InteriorRow& row, int x0, int x1);  // only when Avx2Supported()

// Whether this build has the AVX2 kernel (RAW2RGB_AVX2_KERNEL) and the processor (and system) can
// run it; asked once.
bool Avx2Supported();

// Which kernel does a frame's interior rows before the scalar loop finishes them. All give the
// same bytes; the choice is made once per frame, never per site.
enum class RowKernel { Scalar, Sse2, Avx2 };

// The fastest kernel this machine can run.
RowKernel BestRowKernel();

// The whole frame, with the given kernel (which must be runnable here), or with the best one.
void DemosaicFrame(const Frame& frame, RowKernel kernel);
void DemosaicFrame(const Frame& frame);

}  // namespace raw2rgb
