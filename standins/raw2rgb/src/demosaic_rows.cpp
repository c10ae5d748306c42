// Fast interior kernel, 16 sites per step with SSE2 (x86-64 baseline; 32-bit x86 builds add
// -msse2). Other targets convert nothing here and leave the row to the scalar loop. The AVX2
// kernel beside it does the same with 32 sites per step.
//
// For each block the kernel forms, for all 16 sites at once, the four candidate interpolations
//
//     up[x-1]   up[x]   up[x+1]        cross = (up[x] + down[x] + mid[x-1] + mid[x+1] + 2) >> 2
//     mid[x-1] [mid[x]] mid[x+1]       diag  = (up[x-1] + up[x+1] + down[x-1] + down[x+1] + 2) >> 2
//     down[x-1] down[x] down[x+1]      row   = (mid[x-1] + mid[x+1] + 1) >> 1
//                                      col   = (up[x] + down[x] + 1) >> 1
//
// and picks per lane with a mask fixed by the row's phase and the block's parity: at P sites
// P = mid, G = cross, Q = diag; at green sites P = row, G = mid, Q = col. The three channels then
// go through the tables (widened once per frame to pre-shifted 32-bit words) straight from general
// registers, each pixel stored as one 4-byte word whose fourth byte the next pixel overwrites.
#include <cstdint>

#include "demosaic.h"
#include "pixel_lookup.h"

namespace raw2rgb {

#if defined(RAW2RGB_HAVE_SSE2)

namespace {

constexpr int kBlock = 16;

inline __m128i Load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// (a + b + c + d + 2) >> 2 per byte, exact, without widening. With x = avg(a, b) and
// y = avg(c, d) (each rounded up), avg(x, y) is one too high exactly when x + y is odd and at
// least one of the pair sums a + b, c + d was odd (so rounding went up twice). Checked over all
// 2^32 inputs.
inline __m128i Mean4(__m128i a, __m128i b, __m128i c, __m128i d) {
    const __m128i x = _mm_avg_epu8(a, b);
    const __m128i y = _mm_avg_epu8(c, d);
    const __m128i oddPair = _mm_or_si128(_mm_xor_si128(a, b), _mm_xor_si128(c, d));
    const __m128i fix = _mm_and_si128(_mm_and_si128(_mm_xor_si128(x, y), oddPair), _mm_set1_epi8(1));
    return _mm_sub_epi8(_mm_avg_epu8(x, y), fix);
}

// Lanes of a where mask is set, of b elsewhere.
inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

}  // namespace

int InteriorRowSse2(const InteriorRow& row, int x0, int x1) {
    if (x1 - x0 < kBlock) return x0;

    // Lane i holds site x + i; the mask marks the lanes of P sites. The last block is moved
    // back to end at x1 and may overlap the one before it, rewriting the same values.
    const __m128i evenLanes = _mm_set1_epi16(0x00FF);
    const __m128i oddLanes = _mm_xor_si128(evenLanes, _mm_set1_epi8(-1));
    const RowTables tables(row);
    const std::uint8_t* const up = row.up;
    const std::uint8_t* const mid = row.mid;
    const std::uint8_t* const down = row.down;
    std::uint8_t* const outRow = row.out;

    const int lastBlock = x1 - kBlock;
    for (int x = x0;; x += kBlock) {
        if (x > lastBlock) x = lastBlock;
        const __m128i pMask = ((x ^ row.greenParity) & 1) != 0 ? evenLanes : oddLanes;
        const __m128i ul = Load(up + x - 1);
        const __m128i uc = Load(up + x);
        const __m128i ur = Load(up + x + 1);
        const __m128i ml = Load(mid + x - 1);
        const __m128i mc = Load(mid + x);
        const __m128i mr = Load(mid + x + 1);
        const __m128i dl = Load(down + x - 1);
        const __m128i dc = Load(down + x);
        const __m128i dr = Load(down + x + 1);

        const __m128i cross = Mean4(uc, dc, ml, mr);
        const __m128i diag = Mean4(ul, ur, dl, dr);
        const __m128i rowMean = _mm_avg_epu8(ml, mr);  // (a + b + 1) >> 1
        const __m128i colMean = _mm_avg_epu8(uc, dc);
        StorePixels16(outRow + x * kChannels, Select(pMask, mc, rowMean), Select(pMask, cross, mc),
                      Select(pMask, diag, colMean), tables);
        if (x + kBlock >= x1) return x + kBlock;
    }
}

#else

int InteriorRowSse2(const InteriorRow& /*row*/, int x0, int /*x1*/) { return x0; }

#endif

}  // namespace raw2rgb
