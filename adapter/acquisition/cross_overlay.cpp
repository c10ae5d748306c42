#include "acquisition/cross_overlay.h"

#include <algorithm>
#include <atomic>

#include "acquisition/acquisition.h"

namespace korvex {
namespace {

// The one overlay of the process, zero (off) at load.
struct CrossOverlay {
    std::atomic<int32_t> enabled;
    std::atomic<int32_t> x;
    std::atomic<int32_t> y;
    std::atomic<int32_t> width;
    std::atomic<int32_t> height;
    std::atomic<int32_t> thickness;
};

CrossOverlay overlay{};

}  // namespace

bool CrossEnabled() { return overlay.enabled.load() == 1; }
namespace {

// The rule's quantities in 64 bits, so that sums such as x + width never overflow whatever
// the stored values are.
struct CrossGeometry {
    int64_t bandTop, bandEnd;   // rows [bandTop, bandEnd)
    int64_t boxLeft, boxRight;  // columns [boxLeft, boxRight)
    int64_t boxTop, boxBottom;  // rows [boxTop, boxBottom)
    int64_t barLeft, barRight;  // columns [barLeft, barRight)
};

CrossGeometry GeometryOf(const CrossParams& c) {
    const int64_t halfW = c.width / 2;  // C++ division truncates toward zero, as the rule wants
    const int64_t halfH = c.height / 2;
    const int64_t halfT = c.thickness / 2;
    CrossGeometry g{};
    g.bandTop = int64_t{c.y} + halfH - halfT;
    g.bandEnd = g.bandTop + c.thickness;
    g.boxLeft = c.x;
    g.boxRight = int64_t{c.x} + c.width;
    g.boxTop = c.y;
    g.boxBottom = int64_t{c.y} + c.height;
    g.barLeft = int64_t{c.x} + halfW - halfT;
    g.barRight = g.barLeft + c.thickness;
    return g;
}

// [begin, end) ∩ [0, limit) as 32-bit bounds; empty ranges come out as [0, 0).
void Clip(int64_t begin, int64_t end, int32_t limit, int32_t& outBegin, int32_t& outEnd) {
    const int64_t b = std::max<int64_t>(begin, 0);
    const int64_t e = std::min<int64_t>(end, limit);
    if (b >= e) {
        outBegin = outEnd = 0;
        return;
    }
    outBegin = static_cast<int32_t>(b);
    outEnd = static_cast<int32_t>(e);
}

}  // namespace

CrossParams CurrentCrossParams() {
    const CrossOverlay& o = overlay;
    return CrossParams{o.x.load(), o.y.load(), o.width.load(), o.height.load(), o.thickness.load()};
}

bool IsCrossPixel(const CrossParams& cross, int32_t i, int32_t j) {
    const CrossGeometry g = GeometryOf(cross);
    if (i >= g.bandTop && i < g.bandEnd) return j >= g.boxLeft && j < g.boxRight;
    return i >= g.boxTop && i < g.boxBottom && j >= g.barLeft && j < g.barRight;
}

CrossSpans ClipCross(const CrossParams& cross, int32_t frameWidth, int32_t frameHeight) {
    const CrossGeometry g = GeometryOf(cross);
    CrossSpans s{};
    Clip(g.bandTop, g.bandEnd, frameHeight, s.bandRowBegin, s.bandRowEnd);
    Clip(g.boxLeft, g.boxRight, frameWidth, s.bandColumnBegin, s.bandColumnEnd);
    Clip(g.boxTop, g.boxBottom, frameHeight, s.barRowBegin, s.barRowEnd);
    Clip(g.barLeft, g.barRight, frameWidth, s.barColumnBegin, s.barColumnEnd);
    return s;
}

int16_t EnableCross(int16_t flag) {
    // Switching on answers 0 and switching off answers 1; hosts depend on this pairing.
    switch (flag) {
        case 1: overlay.enabled.store(1); return 0;
        case 0: overlay.enabled.store(0); return 1;
        default: return 0;
    }
}

int16_t SetCrossPara(int16_t x, int16_t y, int16_t width, int16_t height, int16_t thickness) {
    CrossOverlay& o = overlay;
    o.x.store(x);
    o.y.store(y);
    o.width.store(width);
    o.height.store(height);
    o.thickness.store(thickness);
    return 1;
}

}  // namespace korvex
