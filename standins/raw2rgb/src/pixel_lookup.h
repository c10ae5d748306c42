// What the vector row kernels share: the exact four-site mean on bytes, and the table stage that
// takes interpolated channel values, one byte per site, through the pre-shifted word tables and
// out as 3-byte pixels.
#ifndef RAW2RGB_PIXEL_LOOKUP_H
#define RAW2RGB_PIXEL_LOOKUP_H

#include <cstdint>
#include <cstring>

#include "demosaic.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define RAW2RGB_HAVE_SSE2 1
#endif

namespace raw2rgb {

// The word tables of a row's three channels in the row's own terms: P (the row's colour), green,
// Q (the other colour). Which of blue and red is P is fixed per row, so the lookups never ask.
struct RowTables {
    const std::uint32_t* p;
    const std::uint32_t* g;
    const std::uint32_t* q;

    explicit RowTables(const InteriorRow& row)
        : p(row.offsetP == 0 ? row.words->blue : row.words->red),
          g(row.words->green),
          q(row.offsetP == 0 ? row.words->red : row.words->blue) {}
};

// sizeof(Word) sites: byte i of p, g and q (lowest first) holds site i's interpolated P, green
// and Q. The indices are peeled off general registers two at a time (low byte, second byte, then
// shift by 16) instead of being reloaded from memory, so a pixel costs its three table loads, two
// ors and one store. Each store is a 4-byte word whose fourth byte the next pixel overwrites: the
// byte after the last pixel is written too.
template <class Word>
inline void StorePixels(std::uint8_t* out, Word p, Word g, Word q, const RowTables& t) {
    for (unsigned i = 0; i < sizeof(Word); i += 2, out += 2 * kChannels) {
        const std::uint32_t first = t.p[p & 0xFF] | t.g[g & 0xFF] | t.q[q & 0xFF];
        const std::uint32_t second = t.p[(p >> 8) & 0xFF] | t.g[(g >> 8) & 0xFF] | t.q[(q >> 8) & 0xFF];
        std::memcpy(out, &first, sizeof first);  // little-endian: B, G, R, spill
        std::memcpy(out + kChannels, &second, sizeof second);
        p = static_cast<Word>(p >> 16);
        g = static_cast<Word>(g >> 16);
        q = static_cast<Word>(q >> 16);
    }
}

#if defined(RAW2RGB_HAVE_SSE2)

// 16 sites: lane i of p, g and q holds site i's channel values; writes 48 bytes and one spill byte.
inline void StorePixels16(std::uint8_t* out, __m128i p, __m128i g, __m128i q, const RowTables& t) {
#if defined(__x86_64__) || defined(_M_X64)
    auto low = [](__m128i v) { return static_cast<std::uint64_t>(_mm_cvtsi128_si64(v)); };
    auto high = [](__m128i v) { return static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v))); };
    StorePixels(out, low(p), low(g), low(q), t);
    StorePixels(out + 8 * kChannels, high(p), high(g), high(q), t);
#else
    auto low = [](__m128i v) { return static_cast<std::uint32_t>(_mm_cvtsi128_si32(v)); };
    for (int i = 0; i < 4; ++i, out += 4 * kChannels) {
        StorePixels(out, low(p), low(g), low(q), t);
        p = _mm_srli_si128(p, 4);
        g = _mm_srli_si128(g, 4);
        q = _mm_srli_si128(q, 4);
    }
#endif
}

#endif

}  // namespace raw2rgb

#endif
