// Frame driver: the two row phases and the word tables are worked out once per frame; corners go
// through the bounds-checked rule, edges through the five-neighbour form of it, interior sites
// through the fast kernel chosen for the frame and then the scalar row loop.
#include <cstddef>
#include <cstdint>

#include "demosaic.h"

namespace raw2rgb {

namespace {

struct RowPhase {
    int greenParity;
    int offsetP;
    int offsetQ;
};

RowPhase PhaseOfRow(const BayerLayout& layout, int y) {
    const int greenParity = layout.At(0, y) == Colour::Green ? 0 : 1;
    const auto p = static_cast<int>(layout.At(greenParity ^ 1, y));
    return {greenParity, p, 2 - p};
}

using FastRow = int (*)(const InteriorRow& row, int x0, int x1);

int InteriorRowNone(const InteriorRow& /*row*/, int x0, int /*x1*/) { return x0; }

FastRow FastRowFor(RowKernel kernel) {
    switch (kernel) {
        case RowKernel::Avx2: return InteriorRowAvx2;
        case RowKernel::Sse2: return InteriorRowSse2;
        case RowKernel::Scalar: break;
    }
    return InteriorRowNone;
}

}  // namespace

bool Avx2Supported() {
#if defined(RAW2RGB_AVX2_KERNEL)
    static const bool supported = __builtin_cpu_supports("avx2") != 0;
    return supported;
#else
    return false;
#endif
}

RowKernel BestRowKernel() { return Avx2Supported() ? RowKernel::Avx2 : RowKernel::Sse2; }

void BuildPixelWordTables(const Frame& frame, PixelWordTables* words) {
    for (int v = 0; v < 256; ++v) {
        words->blue[v] = frame.lut[0][v];
        words->green[v] = std::uint32_t{frame.lut[1][v]} << 8;
        words->red[v] = std::uint32_t{frame.lut[2][v]} << 16;
    }
}

void BuildWideSliceTables(const Frame& frame, WideSliceTables* wide) {
    const auto misalign = reinterpret_cast<std::uintptr_t>(wide->storage) & 31U;
    std::uint8_t* base = wide->storage + (misalign == 0 ? 0 : 32 - misalign);
    for (int c = 0; c < kChannels; ++c) {
        std::uint8_t* table = base + c * 512;
        for (int k = 0; k < 16; ++k)
            for (int i = 0; i < 16; ++i) {
                table[32 * k + i] = frame.lut[c][16 * k + i];
                table[32 * k + 16 + i] = frame.lut[c][16 * k + i];
            }
        wide->table[c] = table;
    }
}

void DemosaicFrame(const Frame& frame) { DemosaicFrame(frame, BestRowKernel()); }

void DemosaicFrame(const Frame& frame, RowKernel kernel) {
    const int w = frame.width;
    const int h = frame.height;
    if (w < 3 || h < 3) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) DemosaicSite(frame, x, y);
        return;
    }

    const RowPhase phases[2] = {PhaseOfRow(frame.layout, 0), PhaseOfRow(frame.layout, 1)};
    const FastRow fast = FastRowFor(kernel);
    PixelWordTables words;
    BuildPixelWordTables(frame, &words);
    WideSliceTables wideTables;
    const WideSliceTables* wide = nullptr;
    if (kernel == RowKernel::Avx2) {
        BuildWideSliceTables(frame, &wideTables);
        wide = &wideTables;
    }
    DemosaicSite(frame, 0, 0);
    for (int x = 1; x < w - 1; ++x) DemosaicEdgeSite(frame, x, 0, 1, 0, 0, 1);
    DemosaicSite(frame, w - 1, 0);
    for (int y = 1; y < h - 1; ++y) {
        const RowPhase& phase = phases[y & 1];
        const std::uint8_t* mid = frame.source + static_cast<std::ptrdiff_t>(y) * w;
        const InteriorRow row{mid - w,
                              mid,
                              mid + w,
                              frame.OutputRow(y),
                              phase.greenParity,
                              phase.offsetP,
                              phase.offsetQ,
                              {frame.lut[0], frame.lut[1], frame.lut[2]},
                              &words,
                              wide};
        DemosaicEdgeSite(frame, 0, y, 0, 1, 1, 0);
        const int done = fast(row, 1, w - 1);
        InteriorRowScalar(row, done, w - 1);
        DemosaicEdgeSite(frame, w - 1, y, 0, 1, -1, 0);  // after the fast kernel, whose last store spills into it
    }
    DemosaicSite(frame, 0, h - 1);
    for (int x = 1; x < w - 1; ++x) DemosaicEdgeSite(frame, x, h - 1, 1, 0, 0, -1);
    DemosaicSite(frame, w - 1, h - 1);
}

}  // namespace raw2rgb
