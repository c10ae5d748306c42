// Plain scalar demosaicing: the bounds-checked rule for any site, and the interior row loop.
#include <cstdint>

#include "demosaic.h"

namespace raw2rgb {

void DemosaicSite(const Frame& frame, int x, int y) {
    const int w = frame.width;
    const int h = frame.height;
    unsigned sum[kChannels] = {0, 0, 0};
    unsigned count[kChannels] = {0, 0, 0};
    for (int dy = -1; dy <= 1; ++dy) {
        const int ny = y + dy;
        if (ny < 0 || ny >= h) continue;
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx;
            if ((dx == 0 && dy == 0) || nx < 0 || nx >= w) continue;
            const auto c = static_cast<int>(frame.layout.At(nx, ny));
            sum[c] += frame.source[static_cast<std::ptrdiff_t>(ny) * w + nx];
            ++count[c];
        }
    }
    const std::uint8_t own = frame.source[static_cast<std::ptrdiff_t>(y) * w + x];
    const auto ownColour = static_cast<int>(frame.layout.At(x, y));
    std::uint8_t* out = frame.OutputRow(y) + static_cast<std::ptrdiff_t>(x) * kChannels;
    for (int c = 0; c < kChannels; ++c) {
        const unsigned value = (c == ownColour || count[c] == 0) ? own : (sum[c] + count[c] / 2) / count[c];
        out[c] = frame.lut[c][value];
    }
}

namespace {

// (sum + count / 2) / count for the counts an edge site has (1, 2 or 3 neighbours of one colour),
// with the division by a constant so it compiles to a shift or a multiply instead of a divide.
inline unsigned EdgeMean(unsigned sum, unsigned count) {
    switch (count) {
        case 1: return sum;
        case 2: return (sum + 1) >> 1;
        case 3: return (sum + 1) / 3;
        default: return (sum + count / 2) / count;
    }
}

}  // namespace

void DemosaicEdgeSite(const Frame& frame, int x, int y, int alongX, int alongY, int inX, int inY) {
    // Five neighbours, drawn for the top edge (along = (1, 0), inward = (0, 1)):
    //
    //      a1 [site] a2
    //      d1   in   d2
    const int w = frame.width;
    const BayerLayout& layout = frame.layout;
    const std::uint8_t* s = frame.source;
    auto at = [&](int dx, int dy) -> unsigned { return s[static_cast<std::ptrdiff_t>(y + dy) * w + x + dx]; };
    unsigned sum[kChannels] = {0, 0, 0};
    unsigned count[kChannels] = {0, 0, 0};
    const auto along = static_cast<int>(layout.At(x + alongX, y + alongY));
    const auto inward = static_cast<int>(layout.At(x + inX, y + inY));
    const auto diagonal = static_cast<int>(layout.At(x + inX + alongX, y + inY + alongY));
    sum[along] += at(-alongX, -alongY) + at(alongX, alongY);
    count[along] += 2;
    sum[inward] += at(inX, inY);
    count[inward] += 1;
    sum[diagonal] += at(inX - alongX, inY - alongY) + at(inX + alongX, inY + alongY);
    count[diagonal] += 2;

    const unsigned own = at(0, 0);
    const auto ownColour = static_cast<int>(layout.At(x, y));
    std::uint8_t* out = frame.OutputRow(y) + static_cast<std::ptrdiff_t>(x) * kChannels;
    for (int c = 0; c < kChannels; ++c) {
        const unsigned value = (c == ownColour || count[c] == 0) ? own : EdgeMean(sum[c], count[c]);
        out[c] = frame.lut[c][value];
    }
}

namespace {

// Green site: P from the row, Q from the column.
inline void GreenSite(const InteriorRow& r, int x) {
    const unsigned p = (r.mid[x - 1] + r.mid[x + 1] + 1u) >> 1;
    const unsigned q = (r.up[x] + r.down[x] + 1u) >> 1;
    std::uint8_t* out = r.out + x * kChannels;
    out[r.offsetP] = r.lut[r.offsetP][p];
    out[1] = r.lut[1][r.mid[x]];
    out[r.offsetQ] = r.lut[r.offsetQ][q];
}

// P site: green from the four orthogonal neighbours, Q from the four diagonal ones.
inline void ColourSite(const InteriorRow& r, int x) {
    const unsigned g = (r.up[x] + r.down[x] + r.mid[x - 1] + r.mid[x + 1] + 2u) >> 2;
    const unsigned q = (r.up[x - 1] + r.up[x + 1] + r.down[x - 1] + r.down[x + 1] + 2u) >> 2;
    std::uint8_t* out = r.out + x * kChannels;
    out[r.offsetP] = r.lut[r.offsetP][r.mid[x]];
    out[1] = r.lut[1][g];
    out[r.offsetQ] = r.lut[r.offsetQ][q];
}

}  // namespace

void InteriorRowScalar(const InteriorRow& row, int x0, int x1) {
    int x = x0;
    if (x < x1 && (x & 1) != row.greenParity) {
        ColourSite(row, x);
        ++x;
    }
    // Sites now come in pairs: green, then P.
    for (; x + 1 < x1; x += 2) {
        GreenSite(row, x);
        ColourSite(row, x + 1);
    }
    if (x < x1) GreenSite(row, x);
}

}  // namespace raw2rgb
