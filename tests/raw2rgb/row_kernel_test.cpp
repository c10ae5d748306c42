// Each interior-row kernel this machine can run, driven directly on the same frames: all must
// match the naive reference byte for byte, around the 16- and 32-site blocks and their last,
// shifted-back block, on every layout and both row orders.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "demosaic.h"
#include "reference_demosaic.h"

namespace {

using raw2rgb::RowKernel;

std::vector<RowKernel> RunnableKernels() {
    std::vector<RowKernel> kernels{RowKernel::Scalar, RowKernel::Sse2};
    if (raw2rgb::Avx2Supported()) kernels.push_back(RowKernel::Avx2);
    return kernels;
}

const char* KernelName(RowKernel kernel) {
    switch (kernel) {
        case RowKernel::Scalar: return "scalar";
        case RowKernel::Sse2: return "sse2";
        case RowKernel::Avx2: return "avx2";
    }
    return "?";
}

TEST(RowKernels, MatchReferenceAroundBlockEdges) {
    if (!raw2rgb::Avx2Supported()) std::printf("AVX2 not available here: checking the SSE2 and scalar kernels\n");
    const int widths[] = {3, 15, 16, 17, 18, 31, 32, 33, 34, 35, 63, 64, 65, 66, 95, 96, 97, 127, 128, 129, 130};
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int width : widths) {
        for (int height : {3, 6}) {
            std::array<std::array<std::uint8_t, 256>, 3> luts{};  // blue, green, red
            for (auto& lut : luts)
                for (auto& entry : lut) entry = static_cast<std::uint8_t>(byte(rng));
            std::vector<std::uint8_t> mosaic(static_cast<std::size_t>(width) * height);
            for (auto& v : mosaic) v = static_cast<std::uint8_t>(byte(rng));
            for (int layout = 1; layout <= 4; ++layout) {
                const auto expected = raw2rgb_test::ReferenceDemosaic(mosaic.data(), width, height, layout,
                                                                      luts[2].data(), luts[1].data(), luts[0].data());
                for (RowKernel kernel : RunnableKernels()) {
                    for (bool bottomUp : {false, true}) {
                        std::vector<std::uint8_t> out(expected.size() + 1, 0xA5);
                        raw2rgb::Frame frame{mosaic.data(),
                                             out.data(),
                                             width,
                                             height,
                                             bottomUp,
                                             {},
                                             {luts[0].data(), luts[1].data(), luts[2].data()}};
                        ASSERT_TRUE(raw2rgb::LayoutFromCode(layout, &frame.layout));
                        raw2rgb::DemosaicFrame(frame, kernel);
                        const std::size_t row = static_cast<std::size_t>(width) * 3;
                        for (int y = 0; y < height; ++y) {
                            const std::size_t outRow = static_cast<std::size_t>(bottomUp ? height - 1 - y : y) * row;
                            for (std::size_t i = 0; i < row; ++i)
                                ASSERT_EQ(expected[y * row + i], out[outRow + i])
                                    << KernelName(kernel) << " " << width << "x" << height << " layout " << layout
                                    << (bottomUp ? " bottom-up" : "") << " pixel " << i / 3 << "," << y << " channel "
                                    << "BGR"[i % 3];
                        }
                        ASSERT_EQ(0xA5, out.back()) << KernelName(kernel) << " wrote past the frame";
                    }
                }
            }
        }
    }
}

// Every value 0..255 in every channel through tables that differ at each entry, so a slip in
// any part of a table (one 16-entry slice, or the upper half) shows.
TEST(RowKernels, EveryTableEntryReachesItsSites) {
    const int width = 98;
    const int height = 40;
    std::array<std::array<std::uint8_t, 256>, 3> luts{};
    for (int i = 0; i < 256; ++i) {
        luts[0][i] = static_cast<std::uint8_t>(255 - i);
        luts[1][i] = static_cast<std::uint8_t>(i * 37 + 11);
        luts[2][i] = static_cast<std::uint8_t>((i >> 4) | (i << 4));
    }
    std::vector<std::uint8_t> mosaic(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < mosaic.size(); ++i) mosaic[i] = static_cast<std::uint8_t>(i * 13 + i / width);
    const auto expected = raw2rgb_test::ReferenceDemosaic(mosaic.data(), width, height, 2, luts[2].data(),
                                                          luts[1].data(), luts[0].data());
    for (RowKernel kernel : RunnableKernels()) {
        std::vector<std::uint8_t> out(expected.size());
        raw2rgb::Frame frame{
            mosaic.data(), out.data(), width, height, false, {}, {luts[0].data(), luts[1].data(), luts[2].data()}};
        ASSERT_TRUE(raw2rgb::LayoutFromCode(2, &frame.layout));
        raw2rgb::DemosaicFrame(frame, kernel);
        EXPECT_EQ(expected, out) << KernelName(kernel);
    }
}

}  // namespace
