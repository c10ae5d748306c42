// The interior-row kernel, written once over the vector width. Each instruction set's translation
// unit, compiled with its own flags, supplies a vector type V and a table stage and instantiates
// the kernel with them: demosaic_rows_sse2.cpp (16 sites per step) and demosaic_rows_avx2.cpp (32).
//
// For each block the kernel forms, for all V::kLanes sites at once, the four candidate
// interpolations
//
//     up[x-1]   up[x]   up[x+1]        cross = (up[x] + down[x] + mid[x-1] + mid[x+1] + 2) >> 2
//     mid[x-1] [mid[x]] mid[x+1]       diag  = (up[x-1] + up[x+1] + down[x-1] + down[x+1] + 2) >> 2
//     down[x-1] down[x] down[x+1]      row   = (mid[x-1] + mid[x+1] + 1) >> 1
//                                      col   = (up[x] + down[x] + 1) >> 1
//
// from unaligned loads at x - 1, x and x + 1 (so every mean works lane by lane, with no shuffles
// across lanes), and picks per lane with a mask fixed by the row's phase and the block's parity: at
// P sites P = mid, G = cross, Q = diag; at green sites P = row, G = mid, Q = col. The table stage
// then takes the three channels through the tables and stores the B, G, R pixels.
//
// What V provides (all static and inline; Register is the instruction set's vector of bytes):
//   kLanes                    bytes per register
//   Load(p)                   kLanes bytes from p, unaligned
//   Splat8(b), Splat16(w)     b in every byte, w in every 16-bit word
//   Average(a, b)             (a + b + 1) >> 1 per byte
//   And, Or, Xor, Subtract    per byte
//   Select(mask, a, b)        a where mask's byte is 0xFF, b where it is 0x00
// and the table stage: Store(out, p, g, q) writes kLanes pixels at out from the P, green and Q
// values of the sites, lane i for site x + i.
//
// Each instruction set's V and table stage live in a namespace of its own (raw2rgb::sse2,
// raw2rgb::avx2), so the kernel instantiated for one set can never stand in for another's at link
// time: everything an instantiation calls is named after its own set.
#pragma once

#include "demosaic.h"

namespace raw2rgb {

// (a + b + c + d + 2) >> 2 per byte, exact, without widening. With x = avg(a, b) and
// y = avg(c, d) (each rounded up), avg(x, y) is one too high exactly when x + y is odd and at
// least one of the pair sums a + b, c + d was odd (so rounding went up twice). Checked over all
// 2^32 inputs.
template <class V>
inline typename V::Register Mean4(typename V::Register a, typename V::Register b, typename V::Register c,
                                  typename V::Register d) {
    const auto x = V::Average(a, b);
    const auto y = V::Average(c, d);
    const auto oddPair = V::Or(V::Xor(a, b), V::Xor(c, d));
    const auto fix = V::And(V::And(V::Xor(x, y), oddPair), V::Splat8(1));
    return V::Subtract(V::Average(x, y), fix);
}

// Converts sites x0 <= x < x1 of an interior row in blocks of V::kLanes when there is room for at
// least one block, and returns the first x it did not convert (x1, or x0 when it converted
// nothing). The last block is moved back to end at x1 and may overlap the one before it,
// rewriting the same values.
template <class V, class TableStage>
inline int InteriorRowBlocks(const InteriorRow& row, int x0, int x1, const TableStage& tables) {
    using Register = typename V::Register;
    constexpr int kBlock = V::kLanes;
    if (x1 - x0 < kBlock) return x0;

    // Lane i holds site x + i; the mask marks the lanes of P sites.
    const Register evenLanes = V::Splat16(0x00FF);
    const Register oddLanes = V::Splat16(0xFF00);
    const std::uint8_t* const up = row.up;
    const std::uint8_t* const mid = row.mid;
    const std::uint8_t* const down = row.down;
    std::uint8_t* const outRow = row.out;

    const int lastBlock = x1 - kBlock;
    for (int x = x0;; x += kBlock) {
        if (x > lastBlock) x = lastBlock;
        const Register pMask = ((x ^ row.greenParity) & 1) != 0 ? evenLanes : oddLanes;
        const Register ul = V::Load(up + x - 1);
        const Register uc = V::Load(up + x);
        const Register ur = V::Load(up + x + 1);
        const Register ml = V::Load(mid + x - 1);
        const Register mc = V::Load(mid + x);
        const Register mr = V::Load(mid + x + 1);
        const Register dl = V::Load(down + x - 1);
        const Register dc = V::Load(down + x);
        const Register dr = V::Load(down + x + 1);

        const Register cross = Mean4<V>(uc, dc, ml, mr);
        const Register diag = Mean4<V>(ul, ur, dl, dr);
        const Register rowMean = V::Average(ml, mr);
        const Register colMean = V::Average(uc, dc);
        tables.Store(outRow + x * kChannels, V::Select(pMask, mc, rowMean), V::Select(pMask, cross, mc),
                     V::Select(pMask, diag, colMean));
        if (x + kBlock >= x1) return x + kBlock;
    }
}

}  // namespace raw2rgb
