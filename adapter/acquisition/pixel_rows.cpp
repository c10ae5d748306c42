#include "pixel_rows.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <tmmintrin.h>
#define KORVEX_HAVE_SSSE3_PATH 1
#endif

namespace korvex::pixels {
namespace {

// A fast path converts a prefix of the pixels and returns how many it did.
using FastPath = std::size_t (*)(const uint8_t* source, uint8_t* bgra, std::size_t count);

std::size_t NoFastPath(const uint8_t*, uint8_t*, std::size_t) { return 0; }

#if defined(KORVEX_HAVE_SSSE3_PATH)
// Sixteen pixels per step. Three 16-byte loads hold 48 bytes, sixteen B,G,R triplets. Each
// output register needs twelve consecutive input bytes (four triplets):
//   out0: bytes  0..11 = in0[0..11]
//   out1: bytes 12..23 = in0[12..15] in1[0..7]   (palignr in1:in0 by 12)
//   out2: bytes 24..35 = in1[8..15] in2[0..3]    (palignr in2:in1 by 8)
//   out3: bytes 36..47 = in2[4..15]              (in2 shifted down by 4)
// and one shuffle spreads them to B,G,R,0 (index -128 writes a zero byte).
__attribute__((target("ssse3"))) std::size_t ExpandBgrSsse3(const uint8_t* bgr, uint8_t* bgra, std::size_t count) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128);
    std::size_t p = 0;
    for (; p + 16 <= count; p += 16) {
        const uint8_t* s = bgr + 3 * p;
        uint8_t* d = bgra + 4 * p;
        const __m128i in0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i in1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
        const __m128i in2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_shuffle_epi8(in0, spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), _mm_shuffle_epi8(_mm_alignr_epi8(in1, in0, 12), spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), _mm_shuffle_epi8(_mm_alignr_epi8(in2, in1, 8), spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 48), _mm_shuffle_epi8(_mm_srli_si128(in2, 4), spread));
    }
    return p;
}

FastPath ChooseExpandBgr() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") ? ExpandBgrSsse3 : NoFastPath;
}
#else
FastPath ChooseExpandBgr() { return NoFastPath; }
#endif

#if defined(__SSE2__)
// Sixteen grey bytes per step. Interleaving v with itself gives v,v pairs and with zero v,0
// pairs; interleaving those pairs gives v,v,v,0.
std::size_t GreyToBgraSse2(const uint8_t* grey, uint8_t* bgra, std::size_t count) {
    const __m128i zero = _mm_setzero_si128();
    std::size_t p = 0;
    for (; p + 16 <= count; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grey + p));
        const __m128i vvLow = _mm_unpacklo_epi8(v, v);
        const __m128i vvHigh = _mm_unpackhi_epi8(v, v);
        const __m128i v0Low = _mm_unpacklo_epi8(v, zero);
        const __m128i v0High = _mm_unpackhi_epi8(v, zero);
        uint8_t* d = bgra + 4 * p;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_unpacklo_epi16(vvLow, v0Low));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), _mm_unpackhi_epi16(vvLow, v0Low));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), _mm_unpacklo_epi16(vvHigh, v0High));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 48), _mm_unpackhi_epi16(vvHigh, v0High));
    }
    return p;
}
FastPath ChooseGreyToBgra() { return GreyToBgraSse2; }
#else
FastPath ChooseGreyToBgra() { return NoFastPath; }
#endif


}  // namespace

void ExpandBgrScalar(const uint8_t* bgr, uint8_t* bgra, std::size_t count) {
    for (std::size_t p = 0; p < count; ++p) {
        bgra[4 * p] = bgr[3 * p];
        bgra[4 * p + 1] = bgr[3 * p + 1];
        bgra[4 * p + 2] = bgr[3 * p + 2];
        bgra[4 * p + 3] = 0;
    }
}

void ExpandBgr(const uint8_t* bgr, uint8_t* bgra, std::size_t count) {
    static const FastPath fast = ChooseExpandBgr();
    const std::size_t done = fast(bgr, bgra, count);
    ExpandBgrScalar(bgr + 3 * done, bgra + 4 * done, count - done);
}

void GreyToBgraScalar(const uint8_t* grey, uint8_t* bgra, std::size_t count) {
    for (std::size_t p = 0; p < count; ++p) {
        bgra[4 * p] = grey[p];
        bgra[4 * p + 1] = grey[p];
        bgra[4 * p + 2] = grey[p];
        bgra[4 * p + 3] = 0;
    }
}

void GreyToBgra(const uint8_t* grey, uint8_t* bgra, std::size_t count) {
    static const FastPath fast = ChooseGreyToBgra();
    const std::size_t done = fast(grey, bgra, count);
    GreyToBgraScalar(grey + done, bgra + 4 * done, count - done);
}

void FillRed(uint8_t* bgra, std::size_t count) {
    static constexpr uint8_t kRed[4] = {0, 0, 255, 0};
    for (std::size_t p = 0; p < count; ++p) std::memcpy(bgra + 4 * p, kRed, 4);
}

}  // namespace korvex::pixels
