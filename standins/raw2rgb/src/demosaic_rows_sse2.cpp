// The interior-row kernel (interior_row_kernel.h) at 16 sites per step with SSE2: the x86-64
// baseline; 32-bit x86 builds add -msse2. Other targets convert nothing here and leave the row to
// the scalar loop.
//
// The table stage takes the three channels through the tables widened once per frame to
// pre-shifted 32-bit words (PixelWordTables), straight from general registers, each pixel stored
// as one 4-byte word whose fourth byte the next pixel overwrites.
#include <cstdint>
#include <cstring>

#include "demosaic.h"
#include "interior_row_kernel.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define RAW2RGB_HAVE_SSE2 1
#endif

namespace raw2rgb {

#if defined(RAW2RGB_HAVE_SSE2)

namespace sse2 {
namespace {

// 16 bytes in one register.
struct Bytes16 {
    using Register = __m128i;
    static constexpr int kLanes = 16;

    static Register Load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static Register Splat8(std::uint8_t b) { return _mm_set1_epi8(static_cast<char>(b)); }
    static Register Splat16(std::uint16_t w) { return _mm_set1_epi16(static_cast<short>(w)); }
    static Register Average(Register a, Register b) { return _mm_avg_epu8(a, b); }
    static Register And(Register a, Register b) { return _mm_and_si128(a, b); }
    static Register Or(Register a, Register b) { return _mm_or_si128(a, b); }
    static Register Xor(Register a, Register b) { return _mm_xor_si128(a, b); }
    static Register Subtract(Register a, Register b) { return _mm_sub_epi8(a, b); }
    static Register Select(Register mask, Register a, Register b) {
        return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
    }
};

// The word tables of a row's three channels in the row's own terms: P (the row's colour), green,
// Q (the other colour). Which of blue and red is P is fixed per row, so the lookups never ask.
class WordTableStage {
public:
    explicit WordTableStage(const InteriorRow& row)
        : p_(row.offsetP == 0 ? row.words->blue : row.words->red),
          g_(row.words->green),
          q_(row.offsetP == 0 ? row.words->red : row.words->blue) {}

    // 16 sites: lane i of p, g and q holds site i's channel values; writes 48 bytes and one spill
    // byte.
    void Store(std::uint8_t* out, __m128i p, __m128i g, __m128i q) const {
#if defined(__x86_64__) || defined(_M_X64)
        auto low = [](__m128i v) { return static_cast<std::uint64_t>(_mm_cvtsi128_si64(v)); };
        auto high = [](__m128i v) { return static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v))); };
        StoreWords(out, low(p), low(g), low(q));
        StoreWords(out + 8 * kChannels, high(p), high(g), high(q));
#else
        auto low = [](__m128i v) { return static_cast<std::uint32_t>(_mm_cvtsi128_si32(v)); };
        for (int i = 0; i < 4; ++i, out += 4 * kChannels) {
            StoreWords(out, low(p), low(g), low(q));
            p = _mm_srli_si128(p, 4);
            g = _mm_srli_si128(g, 4);
            q = _mm_srli_si128(q, 4);
        }
#endif
    }

private:
    // sizeof(Word) sites: byte i of p, g and q (lowest first) holds site i's interpolated P, green
    // and Q. The indices are peeled off general registers two at a time (low byte, second byte,
    // then shift by 16) instead of being reloaded from memory, so a pixel costs its three table
    // loads, two ors and one store. Each store is a 4-byte word whose fourth byte the next pixel
    // overwrites: the byte after the last pixel is written too.
    template <class Word>
    void StoreWords(std::uint8_t* out, Word p, Word g, Word q) const {
        for (unsigned i = 0; i < sizeof(Word); i += 2, out += 2 * kChannels) {
            const std::uint32_t first = p_[p & 0xFF] | g_[g & 0xFF] | q_[q & 0xFF];
            const std::uint32_t second = p_[(p >> 8) & 0xFF] | g_[(g >> 8) & 0xFF] | q_[(q >> 8) & 0xFF];
            std::memcpy(out, &first, sizeof first);  // little-endian: B, G, R, spill
            std::memcpy(out + kChannels, &second, sizeof second);
            p = static_cast<Word>(p >> 16);
            g = static_cast<Word>(g >> 16);
            q = static_cast<Word>(q >> 16);
        }
    }

    const std::uint32_t* p_;
    const std::uint32_t* g_;
    const std::uint32_t* q_;
};

}  // namespace
}  // namespace sse2

int InteriorRowSse2(const InteriorRow& row, int x0, int x1) {
    return InteriorRowBlocks<sse2::Bytes16>(row, x0, x1, sse2::WordTableStage(row));
}

#else

int InteriorRowSse2(const InteriorRow& /*row*/, int x0, int /*x1*/) { return x0; }

#endif

}  // namespace raw2rgb
