#include "acquisition/pixel_rows.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <tmmintrin.h>
#define KORVEX_HAVE_SSSE3_PATH 1
// No AVX2 path on Windows, where GCC does not realign the stack for 32-byte spills.
#if !defined(_WIN32)
#include <immintrin.h>
#define KORVEX_HAVE_AVX2_PATH 1
#endif
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

#if defined(KORVEX_HAVE_AVX2_PATH)
// Eight pixels per 32-byte output: the low half takes input bytes 0..11, the high half bytes
// 12..23, each spread by the same shuffle as above. The last output of a 32-pixel step loads its
// high half from 4 bytes earlier and shuffles it from byte 4, so a step reads exactly its 96
// bytes. Stream selects non-temporal stores, which need a 32-byte aligned destination.
__attribute__((target("avx2"))) inline __m256i load2(const uint8_t* low, const uint8_t* high) {
    return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(high), reinterpret_cast<const __m128i*>(low));
}

template <bool Stream>
__attribute__((target("avx2"))) inline void ExpandBgr32(const uint8_t* s, uint8_t* d) {
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128,  //
                                            0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128);
    const __m256i spreadLast = _mm256_setr_epi8(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128,  //
                                                4, 5, 6, -128, 7, 8, 9, -128, 10, 11, 12, -128, 13, 14, 15, -128);
    const __m256i out[4] = {
        _mm256_shuffle_epi8(load2(s, s + 12), spread), _mm256_shuffle_epi8(load2(s + 24, s + 36), spread),
        _mm256_shuffle_epi8(load2(s + 48, s + 60), spread), _mm256_shuffle_epi8(load2(s + 72, s + 80), spreadLast)};
    for (int i = 0; i < 4; ++i) {
        auto* to = reinterpret_cast<__m256i*>(d + 32 * i);
        if constexpr (Stream) {
            _mm256_stream_si256(to, out[i]);
        } else {
            _mm256_storeu_si256(to, out[i]);
        }
    }
}

__attribute__((target("avx2"))) std::size_t ExpandBgrAvx2(const uint8_t* bgr, uint8_t* bgra, std::size_t count) {
    std::size_t p = 0;
    for (; p + 32 <= count; p += 32) ExpandBgr32<false>(bgr + 3 * p, bgra + 4 * p);
    return p;
}

// The same with non-temporal stores: scalar pixels up to a 32-byte boundary of the destination
// (which a destination not on a 4-byte boundary never reaches: then plain stores throughout),
// and an sfence at the end so that the streamed bytes are ordered before anything that follows.
__attribute__((target("avx2"))) std::size_t ExpandBgrAvx2Streaming(const uint8_t* bgr, uint8_t* bgra,
                                                                   std::size_t count) {
    const auto address = reinterpret_cast<std::uintptr_t>(bgra);
    if (address % 4 != 0) return ExpandBgrAvx2(bgr, bgra, count);
    const std::size_t head = (32 - address % 32) % 32 / 4;
    if (count < head + 32) return ExpandBgrAvx2(bgr, bgra, count);
    ExpandBgrScalar(bgr, bgra, head);
    std::size_t p = head;
    for (; p + 32 <= count; p += 32) ExpandBgr32<true>(bgr + 3 * p, bgra + 4 * p);
    _mm_sfence();
    return p;
}
#endif

FastPath ChooseExpandBgr([[maybe_unused]] bool streaming) {
    __builtin_cpu_init();
#if defined(KORVEX_HAVE_AVX2_PATH)
    if (__builtin_cpu_supports("avx2")) return streaming ? ExpandBgrAvx2Streaming : ExpandBgrAvx2;
#endif
    return __builtin_cpu_supports("ssse3") ? ExpandBgrSsse3 : NoFastPath;
}
#else
FastPath ChooseExpandBgr(bool) { return NoFastPath; }
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

void ExpandBgrStreaming(const uint8_t* bgr, uint8_t* bgra, std::size_t count) {
    static const FastPath fast = ChooseExpandBgr(true);
    const std::size_t done = fast(bgr, bgra, count);
    ExpandBgrScalar(bgr + 3 * done, bgra + 4 * done, count - done);
}

void ExpandBgr(const uint8_t* bgr, uint8_t* bgra, std::size_t count) {
    if (count >= kStreamingPixels) {
        ExpandBgrStreaming(bgr, bgra, count);
        return;
    }
    static const FastPath fast = ChooseExpandBgr(false);
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
