// AVX2 interior kernel: 32 sites per step, entirely in vector registers. Compiled for AVX2
// through target attributes on these functions alone, so the library still runs on any SSE2
// machine; the frame driver picks this kernel only when the processor reports AVX2.
//
// The three source rows are read at x - 1, x and x + 1 with unaligned 32-byte loads, so every
// mean works lane by lane with no shuffles across the two 16-byte halves:
//
//     up[x-1]   up[x]   up[x+1]        at P sites:     P = mid   G = cross   Q = diag
//     mid[x-1] [mid[x]] mid[x+1]       at green sites: P = row   G = mid     Q = col
//     down[x-1] down[x] down[x+1]
//
// (cross, diag, row and col as drawn in demosaic_rows.cpp). The tables are applied with byte
// shuffles over their 16-entry slices and a tree of blends (see lookup below) rather than one
// load per channel and site,
// and the three channels are interleaved into B, G, R bytes with shuffles and blends: 96 bytes
// out per step, nothing written past the last pixel.
#include <cstdint>

#include "demosaic.h"
#include "pixel_lookup.h"

// Not on Windows: GCC there does not realign the stack for 32-byte spills of AVX registers
// (GCC bug 54412), so a spill could fault; the SSE2 kernel serves instead.
#if defined(RAW2RGB_HAVE_SSE2) && (defined(__GNUC__) || defined(__clang__)) && !defined(_WIN32)
#include <immintrin.h>
#define RAW2RGB_HAVE_AVX2_KERNEL 1
#define RAW2RGB_AVX2 __attribute__((target("avx2")))
#endif

namespace raw2rgb {

#if defined(RAW2RGB_HAVE_AVX2_KERNEL)

namespace {

constexpr int kBlock = 32;

RAW2RGB_AVX2 inline __m256i Load(const std::uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

RAW2RGB_AVX2 inline void Store(std::uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// (a + b + c + d + 2) >> 2 per byte, exact: see mean4 in demosaic_rows.cpp.
RAW2RGB_AVX2 inline __m256i Mean4(__m256i a, __m256i b, __m256i c, __m256i d) {
    const __m256i x = _mm256_avg_epu8(a, b);
    const __m256i y = _mm256_avg_epu8(c, d);
    const __m256i oddPair = _mm256_or_si256(_mm256_xor_si256(a, b), _mm256_xor_si256(c, d));
    const __m256i fix = _mm256_and_si256(_mm256_and_si256(_mm256_xor_si256(x, y), oddPair), _mm256_set1_epi8(1));
    return _mm256_sub_epi8(_mm256_avg_epu8(x, y), fix);
}

// table[v] for 32 bytes v, from the table's doubled slices (WideSliceTables: slice k is 32 bytes,
// its 16 entries in both halves, so the load folds into the shuffle). A byte shuffle reads entry
// v & 15 of a slice, or zero where bit 7 of the index is set; all sixteen slices are read that
// way, slices j and j + 8 are joined with an or (see SlicePair), and a tree of seven blends keeps,
// for each byte, the pair its bits 4, 5 and 6 name: bit 4 picks within pairs of pairs, bit 5 one
// level up, bit 6 at the root. A blend follows bit 7 of each byte of its mask, so those bits are
// shifted up to bit 7 (a 16-bit shift moves no bit into bit 7 from the byte below).
RAW2RGB_AVX2 inline __m256i Slice(const std::uint8_t* table, int k, __m256i index) {
    return _mm256_shuffle_epi8(Load(table + 32 * k), index);
}

// Entries for slices j and j + 8: the shuffle returns zero where bit 7 of its index is set, so
// v reads slice j only for v < 128 and v ^ 0x80 reads slice j + 8 only for v >= 128.
RAW2RGB_AVX2 inline __m256i SlicePair(const std::uint8_t* table, int j, __m256i v, __m256i flipped) {
    return _mm256_or_si256(Slice(table, j, v), Slice(table, j + 8, flipped));
}

RAW2RGB_AVX2 inline __m256i Lookup(__m256i v, const std::uint8_t* table) {
    const __m256i flipped = _mm256_xor_si256(v, _mm256_set1_epi8(static_cast<char>(0x80)));
    const __m256i bit4 = _mm256_slli_epi16(v, 3);
    const __m256i bit5 = _mm256_slli_epi16(v, 2);
    const __m256i bit6 = _mm256_slli_epi16(v, 1);
    const __m256i s01 = _mm256_blendv_epi8(SlicePair(table, 0, v, flipped), SlicePair(table, 1, v, flipped), bit4);
    const __m256i s23 = _mm256_blendv_epi8(SlicePair(table, 2, v, flipped), SlicePair(table, 3, v, flipped), bit4);
    const __m256i s45 = _mm256_blendv_epi8(SlicePair(table, 4, v, flipped), SlicePair(table, 5, v, flipped), bit4);
    const __m256i s67 = _mm256_blendv_epi8(SlicePair(table, 6, v, flipped), SlicePair(table, 7, v, flipped), bit4);
    return _mm256_blendv_epi8(_mm256_blendv_epi8(s01, s23, bit5), _mm256_blendv_epi8(s45, s67, bit5), bit6);
}

// Planar blue, green and red bytes of 32 sites to 96 bytes B, G, R. Within each 16-byte half,
// a shuffle moves each channel's bytes to the places they take in all three 16-byte pieces of
// the 48-byte output (site i of a channel goes to byte 3i + channel of the output, so piece n,
// byte j takes channel (16n + j) % 3), and blends pick each piece's bytes from the three.
RAW2RGB_AVX2 inline void StoreInterleaved(std::uint8_t* out, __m256i b, __m256i g, __m256i r) {
    const __m256i spreadB = _mm256_setr_epi8(0, 11, 6, 1, 12, 7, 2, 13, 8, 3, 14, 9, 4, 15, 10, 5,  //
                                             0, 11, 6, 1, 12, 7, 2, 13, 8, 3, 14, 9, 4, 15, 10, 5);
    const __m256i spreadG = _mm256_setr_epi8(5, 0, 11, 6, 1, 12, 7, 2, 13, 8, 3, 14, 9, 4, 15, 10,  //
                                             5, 0, 11, 6, 1, 12, 7, 2, 13, 8, 3, 14, 9, 4, 15, 10);
    const __m256i spreadR = _mm256_setr_epi8(10, 5, 0, 11, 6, 1, 12, 7, 2, 13, 8, 3, 14, 9, 4, 15,  //
                                             10, 5, 0, 11, 6, 1, 12, 7, 2, 13, 8, 3, 14, 9, 4, 15);
    // Byte j of a mask is set where j % 3 is 1 (first) or 2 (second).
    const __m256i at1 = _mm256_setr_epi8(0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0,  //
                                         0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0);
    const __m256i at2 = _mm256_setr_epi8(0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0,  //
                                         0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0);
    const __m256i sb = _mm256_shuffle_epi8(b, spreadB);
    const __m256i sg = _mm256_shuffle_epi8(g, spreadG);
    const __m256i sr = _mm256_shuffle_epi8(r, spreadR);
    // Piece 0 has B, G, R at j % 3 = 0, 1, 2; piece 1 has R, B, G there... each half of these
    // vectors is one piece of that half's 48 bytes.
    const __m256i piece0 = _mm256_blendv_epi8(_mm256_blendv_epi8(sb, sg, at1), sr, at2);
    const __m256i piece1 = _mm256_blendv_epi8(_mm256_blendv_epi8(sg, sr, at1), sb, at2);
    const __m256i piece2 = _mm256_blendv_epi8(_mm256_blendv_epi8(sr, sb, at1), sg, at2);
    Store(out, _mm256_permute2x128_si256(piece0, piece1, 0x20));
    Store(out + 32, _mm256_permute2x128_si256(piece2, piece0, 0x30));
    Store(out + 64, _mm256_permute2x128_si256(piece1, piece2, 0x31));
}

}  // namespace

bool Avx2Supported() {
    static const bool supported = __builtin_cpu_supports("avx2") != 0;
    return supported;
}

RAW2RGB_AVX2 int InteriorRowAvx2(const InteriorRow& row, int x0, int x1) {
    if (x1 - x0 < kBlock) return x0;

    // Lane i holds site x + i; the mask's top bit marks the lanes of P sites. As in the SSE2
    // kernel, the last block is moved back to end at x1.
    const __m256i evenLanes = _mm256_set1_epi16(0x00FF);
    const __m256i oddLanes = _mm256_set1_epi16(static_cast<short>(0xFF00));
    const bool blueRow = row.offsetP == 0;
    const std::uint8_t* const tableP = row.wide->table[row.offsetP];
    const std::uint8_t* const tableQ = row.wide->table[row.offsetQ];
    const std::uint8_t* const tableG = row.wide->table[1];
    const std::uint8_t* const up = row.up;
    const std::uint8_t* const mid = row.mid;
    const std::uint8_t* const down = row.down;
    std::uint8_t* const outRow = row.out;

    const int lastBlock = x1 - kBlock;
    for (int x = x0;; x += kBlock) {
        if (x > lastBlock) x = lastBlock;
        const __m256i pMask = ((x ^ row.greenParity) & 1) != 0 ? evenLanes : oddLanes;
        const __m256i ul = Load(up + x - 1);
        const __m256i uc = Load(up + x);
        const __m256i ur = Load(up + x + 1);
        const __m256i ml = Load(mid + x - 1);
        const __m256i mc = Load(mid + x);
        const __m256i mr = Load(mid + x + 1);
        const __m256i dl = Load(down + x - 1);
        const __m256i dc = Load(down + x);
        const __m256i dr = Load(down + x + 1);

        const __m256i cross = Mean4(uc, dc, ml, mr);
        const __m256i diag = Mean4(ul, ur, dl, dr);
        const __m256i rowMean = _mm256_avg_epu8(ml, mr);
        const __m256i colMean = _mm256_avg_epu8(uc, dc);
        const __m256i p = Lookup(_mm256_blendv_epi8(rowMean, mc, pMask), tableP);
        const __m256i g = Lookup(_mm256_blendv_epi8(mc, cross, pMask), tableG);
        const __m256i q = Lookup(_mm256_blendv_epi8(colMean, diag, pMask), tableQ);
        std::uint8_t* const out = outRow + x * kChannels;
        if (blueRow)
            StoreInterleaved(out, p, g, q);
        else
            StoreInterleaved(out, q, g, p);
        if (x + kBlock >= x1) return x + kBlock;
    }
}

#else

bool Avx2Supported() { return false; }

int InteriorRowAvx2(const InteriorRow& /*row*/, int x0, int /*x1*/) { return x0; }

#endif

}  // namespace raw2rgb
