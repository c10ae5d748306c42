// The interior-row kernel (interior_row_kernel.h) at 32 sites per step with AVX2, entirely in
// vector registers. The build compiles this file alone with -mavx2 (and defines
// RAW2RGB_AVX2_KERNEL) where the kernel can be built, so the library still runs on any SSE2
// machine: the frame driver calls into this file only when the processor reports AVX2
// (Avx2Supported), and every function here is in this file's own namespace.
//
// The table stage applies the tables with byte shuffles over their 16-entry slices and a tree of
// blends (see Lookup) rather than one load per channel and site, and interleaves the three
// channels into B, G, R bytes with shuffles and blends: 96 bytes out per step, nothing written
// past the last pixel.
#include <cstdint>

#include "demosaic.h"
#include "interior_row_kernel.h"

#if defined(RAW2RGB_AVX2_KERNEL)
#include <immintrin.h>
#endif

namespace raw2rgb {

#if defined(RAW2RGB_AVX2_KERNEL)

namespace avx2 {
namespace {

// 32 bytes in one register.
struct Bytes32 {
    using Register = __m256i;
    static constexpr int kLanes = 32;

    static Register Load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static Register Splat8(std::uint8_t b) { return _mm256_set1_epi8(static_cast<char>(b)); }
    static Register Splat16(std::uint16_t w) { return _mm256_set1_epi16(static_cast<short>(w)); }
    static Register Average(Register a, Register b) { return _mm256_avg_epu8(a, b); }
    static Register And(Register a, Register b) { return _mm256_and_si256(a, b); }
    static Register Or(Register a, Register b) { return _mm256_or_si256(a, b); }
    static Register Xor(Register a, Register b) { return _mm256_xor_si256(a, b); }
    static Register Subtract(Register a, Register b) { return _mm256_sub_epi8(a, b); }
    static Register Select(Register mask, Register a, Register b) { return _mm256_blendv_epi8(b, a, mask); }
};

inline void Store(std::uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// table[v] for 32 bytes v, from the table's doubled slices (WideSliceTables: slice k is 32 bytes,
// its 16 entries in both halves, so the load folds into the shuffle). A byte shuffle reads entry
// v & 15 of a slice, or zero where bit 7 of the index is set; all sixteen slices are read that
// way, slices j and j + 8 are joined with an or (see SlicePair), and a tree of seven blends keeps,
// for each byte, the pair its bits 4, 5 and 6 name: bit 4 picks within pairs of pairs, bit 5 one
// level up, bit 6 at the root. A blend follows bit 7 of each byte of its mask, so those bits are
// shifted up to bit 7 (a 16-bit shift moves no bit into bit 7 from the byte below).
inline __m256i Slice(const std::uint8_t* table, int k, __m256i index) {
    return _mm256_shuffle_epi8(Bytes32::Load(table + 32 * k), index);
}

// Entries for slices j and j + 8: the shuffle returns zero where bit 7 of its index is set, so
// v reads slice j only for v < 128 and v ^ 0x80 reads slice j + 8 only for v >= 128.
inline __m256i SlicePair(const std::uint8_t* table, int j, __m256i v, __m256i flipped) {
    return _mm256_or_si256(Slice(table, j, v), Slice(table, j + 8, flipped));
}

inline __m256i Lookup(__m256i v, const std::uint8_t* table) {
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
inline void StoreInterleaved(std::uint8_t* out, __m256i b, __m256i g, __m256i r) {
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

// The row's P, green and Q tables as doubled slices (WideSliceTables), and whether P is blue.
class SliceTableStage {
public:
    explicit SliceTableStage(const InteriorRow& row)
        : tableP_(row.wide->table[row.offsetP]),
          tableG_(row.wide->table[1]),
          tableQ_(row.wide->table[row.offsetQ]),
          blueRow_(row.offsetP == 0) {}

    void Store(std::uint8_t* out, __m256i p, __m256i g, __m256i q) const {
        const __m256i lookedUpP = Lookup(p, tableP_);
        const __m256i lookedUpG = Lookup(g, tableG_);
        const __m256i lookedUpQ = Lookup(q, tableQ_);
        if (blueRow_)
            StoreInterleaved(out, lookedUpP, lookedUpG, lookedUpQ);
        else
            StoreInterleaved(out, lookedUpQ, lookedUpG, lookedUpP);
    }

private:
    const std::uint8_t* tableP_;
    const std::uint8_t* tableG_;
    const std::uint8_t* tableQ_;
    bool blueRow_;
};

}  // namespace
}  // namespace avx2

int InteriorRowAvx2(const InteriorRow& row, int x0, int x1) {
    return InteriorRowBlocks<avx2::Bytes32>(row, x0, x1, avx2::SliceTableStage(row));
}

#else

int InteriorRowAvx2(const InteriorRow& /*row*/, int x0, int /*x1*/) { return x0; }

#endif

}  // namespace raw2rgb
