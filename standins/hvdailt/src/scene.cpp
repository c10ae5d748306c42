#include "scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "stamp.h"

namespace hvsim {
namespace {

// The simulated light is warm: relative to green, red comes out stronger and blue weaker, which
// gives white balance something to correct.
constexpr double kLightCast[3] = {1.15, 1.0, 0.80};  // R, G, B
constexpr double kFullScale = 200.0;                 // raw level of white at unity exposure and gain

class TestChart final : public FramePattern {
public:
    Rgb At(double u, double v, int32_t x, int32_t y, int32_t resolutionWidth, int32_t resolutionHeight) const override {
        if (v < 0.25) return ColourBar(u);
        if (v < 0.40) return {u, u, u};  // grey ramp, black to white
        if (v < 0.75) return u < 0.5 ? ZonePlate(x, y, resolutionWidth, resolutionHeight) : FineLines(u, x, y);
        return {0.12, 0.12, 0.12};  // dark grey lane of the moving disc
    }

private:
    static Rgb ColourBar(double u) {
        // White, yellow, cyan, green, magenta, red, blue, black at 75 %.
        static constexpr Rgb kBars[8] = {{.75, .75, .75}, {.75, .75, 0}, {0, .75, .75}, {0, .75, 0},
                                         {.75, 0, .75},   {.75, 0, 0},   {0, 0, .75},   {0, 0, 0}};
        return kBars[std::clamp(static_cast<int>(u * 8), 0, 7)];
    }

    // Circular zone plate whose frequency grows from 0 at the centre to 0.2 cycles per pixel at
    // the rim: fine enough to show demosaicing artefacts, yet sampled well enough by the sparser
    // red and blue sites that the chart stays grey on average (a grey-world estimate relies on it).
    static Rgb ZonePlate(int32_t x, int32_t y, int32_t resolutionWidth, int32_t resolutionHeight) {
        const double cx = resolutionWidth * 0.25, cy = resolutionHeight * 0.575;
        const double rim = std::max(4.0, std::min(resolutionWidth * 0.25, resolutionHeight * 0.175));
        const double dx = x - cx, dy = y - cy;
        const double r2 = dx * dx + dy * dy;
        if (r2 > rim * rim) return {0.5, 0.5, 0.5};
        const double value = 0.5 + 0.45 * std::cos(std::numbers::pi * r2 / (5.0 * rim));
        return {value, value, value};
    }

    // One-pixel vertical lines, two-pixel horizontal lines and a diagonal grating side by side.
    // Each pattern puts as many red, green and blue sites of the mosaic on its lines as in its
    // gaps: vertical lines every three columns (a two-column period would put every red site on
    // a line and every blue one in a gap) and a diagonal period of eight (a period of six lights
    // two thirds of the green sites but one third of the red and blue ones). Otherwise the chart
    // itself would look tinted to a grey-world white balance.
    static Rgb FineLines(double u, int32_t x, int32_t y) {
        bool on = false;
        if (u < 0.66) {
            on = x % 3 == 0;
        } else if (u < 0.83) {
            on = ((y >> 1) & 1) != 0;
        } else {
            on = (((x + y) / 4) & 1) != 0;
        }
        const double value = on ? 0.85 : 0.1;
        return {value, value, value};
    }
};

// 3 x 5 digits, one row per byte, bit 2 the leftmost column.
constexpr uint8_t kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

uint8_t ToLevel(double value) { return static_cast<uint8_t>(std::clamp(value + 0.5, 0.0, 255.0)); }

}  // namespace

std::shared_ptr<const FramePattern> TestChartPattern() {
    static const auto chart = std::make_shared<const TestChart>();
    return chart;
}

int32_t BayerColour(int32_t layout, int32_t x, int32_t y) {
    // Top-left 2 x 2 cell of each layout: 1 = B G / G R, 2 = G B / R G, 3 = G R / B G, 4 = R G / G B.
    static constexpr int32_t kCells[4][2][2] = {{{2, 1}, {1, 0}}, {{1, 2}, {0, 1}}, {{1, 0}, {2, 1}}, {{0, 1}, {1, 2}}};
    return kCells[std::clamp(layout, 1, 4) - 1][y & 1][x & 1];
}

FrameRenderer::FrameRenderer(std::shared_ptr<const FramePattern> pattern) : pattern_(std::move(pattern)) {}

void FrameRenderer::SetPattern(std::shared_ptr<const FramePattern> pattern) {
    pattern_ = std::move(pattern);
    haveStatic_ = false;
}

int32_t FrameRenderer::GainChannel(int32_t x, int32_t y) const { return channelOf_[y & 1][x & 1]; }

void FrameRenderer::BuildStatic(const Geometry& g) {
    geometry_ = g;
    for (int32_t cy = 0; cy < 2; ++cy) {
        for (int32_t cx = 0; cx < 2; ++cx) {
            const int32_t colour = g.colour ? BayerColour(g.layout, cx, cy) : 1;
            colourOf_[cy][cx] = colour;
            // Colour sensors: R, G beside R, G beside B, B. Mono sensors: by cell position.
            if (!g.colour) {
                channelOf_[cy][cx] = cy * 2 + cx;
            } else if (colour != 1) {
                channelOf_[cy][cx] = colour == 0 ? 0 : 3;
            } else {
                channelOf_[cy][cx] = BayerColour(g.layout, cx ^ 1, cy) == 0 ? 1 : 2;
            }
            const double whiteLight =
                g.colour ? kLightCast[colour] : 0.299 * kLightCast[0] + 0.587 * kLightCast[1] + 0.114 * kLightCast[2];
            white_[cy][cx] = ToLevel(kFullScale * 0.95 * whiteLight);
        }
    }
    const size_t pixels = static_cast<size_t>(g.width) * static_cast<size_t>(g.height);
    static_.resize(pixels);
    work_.resize(pixels);
    for (int32_t y = 0; y < g.height; ++y) {
        const int32_t sy = g.top + y;
        const double v = (sy + 0.5) / g.resolutionHeight;
        uint8_t* row = static_.data() + static_cast<size_t>(y) * g.width;
        for (int32_t x = 0; x < g.width; ++x) {
            const int32_t sx = g.left + x;
            const Rgb c =
                pattern_->At((sx + 0.5) / g.resolutionWidth, v, sx, sy, g.resolutionWidth, g.resolutionHeight);
            double value = 0;
            if (g.colour) {
                const int32_t colour = colourOf_[y & 1][x & 1];
                value = (colour == 0 ? c.r : colour == 1 ? c.g : c.b) * kLightCast[colour];
            } else {
                value = 0.299 * c.r * kLightCast[0] + 0.587 * c.g * kLightCast[1] + 0.114 * c.b * kLightCast[2];
            }
            row[x] = ToLevel(value * kFullScale);
        }
    }
    haveStatic_ = true;
}

void FrameRenderer::DrawMovingDisc(const FrameParams& p) {
    // A white disc crossing the lower part of the frame, one step per frame.
    const int32_t radius = std::max(2, std::min(p.width, p.height) / 16);
    const int32_t track = p.width + 2 * radius;
    const int32_t step = std::max(1, p.width / 60);
    const int32_t cx = static_cast<int32_t>((int64_t{p.stamp.frame} * step) % track) - radius;
    const int32_t cy = p.height - p.height / 8;
    const int32_t y0 = std::max(0, cy - radius), y1 = std::min(p.height - 1, cy + radius);
    const int32_t x0 = std::max(0, cx - radius), x1 = std::min(p.width - 1, cx + radius);
    for (int32_t y = y0; y <= y1; ++y) {
        uint8_t* row = work_.data() + static_cast<size_t>(y) * p.width;
        for (int32_t x = x0; x <= x1; ++x) {
            const int32_t dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy <= radius * radius) row[x] = white_[y & 1][x & 1];
        }
    }
}

void FrameRenderer::DrawCounter(const FrameParams& p) {
    // The frame number in white digits on black, right of the stamp when the frame has room.
    char text[16];
    int32_t digits = 0;
    auto number = static_cast<uint32_t>(p.stamp.frame);
    do {
        text[digits++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0 && digits < 10);
    const int32_t scale = std::max(1, p.height / 120);
    const int32_t cell = 4 * scale;  // 3 columns and a gap
    int32_t left = p.width >= HVSIM_STAMP_WIDTH + 2 * scale + cell * digits ? HVSIM_STAMP_WIDTH + 2 * scale : 0;
    const int32_t boxWidth = std::min(p.width - left, cell * digits + scale);
    const int32_t boxHeight = std::min(p.height, 7 * scale);
    for (int32_t y = 0; y < boxHeight; ++y) {
        std::memset(work_.data() + static_cast<size_t>(y) * p.width + left, 0,
                    static_cast<size_t>(std::max(0, boxWidth)));
    }
    for (int32_t i = 0; i < digits; ++i) {
        const uint8_t* glyph = kDigits[text[digits - 1 - i] - '0'];
        const int32_t gx = left + scale + i * cell;
        for (int32_t row = 0; row < 5; ++row) {
            for (int32_t col = 0; col < 3; ++col) {
                if (((glyph[row] >> (2 - col)) & 1) == 0) continue;
                for (int32_t y = scale + row * scale; y < scale + (row + 1) * scale && y < p.height; ++y) {
                    for (int32_t x = gx + col * scale; x < gx + (col + 1) * scale && x < p.width; ++x) {
                        work_[static_cast<size_t>(y) * p.width + x] = white_[y & 1][x & 1];
                    }
                }
            }
        }
    }
}

void FrameRenderer::AddNoise(const FrameParams& p) {
    // Roughly Gaussian read noise of a few levels: the sum of four small uniform draws.
    for (size_t i = 0, n = static_cast<size_t>(p.width) * p.height; i < n; ++i) {
        noiseState_ ^= noiseState_ << 13;
        noiseState_ ^= noiseState_ >> 7;
        noiseState_ ^= noiseState_ << 17;
        const auto bits = static_cast<uint32_t>(noiseState_);
        const int32_t delta =
            static_cast<int32_t>((bits & 7) + ((bits >> 3) & 7) + ((bits >> 6) & 7) + ((bits >> 9) & 7)) - 14;
        work_[i] = static_cast<uint8_t>(std::clamp(work_[i] + delta / 3, 0, 255));
    }
}

void FrameRenderer::Render(const FrameParams& p, uint8_t* destination) {
    if (p.width <= 0 || p.height <= 0) return;
    const Geometry g{
        p.colour, p.colour ? p.bayerLayout : 0, p.resolutionWidth, p.resolutionHeight, p.left, p.top, p.width,
        p.height};
    if (!haveStatic_ || !(g == geometry_)) BuildStatic(g);

    std::memcpy(work_.data(), static_.data(), static_.size());
    DrawMovingDisc(p);
    DrawCounter(p);

    // Exposure, gain and converter offset as one table per gain channel.
    uint8_t table[4][256];
    for (int32_t c = 0; c < 4; ++c) {
        const double factor = p.exposureFactor * p.gainFactor[c];
        for (int32_t v = 0; v < 256; ++v) table[c][v] = ToLevel(v * factor + p.offset[c]);
    }
    for (int32_t y = 0; y < p.height; ++y) {
        const uint8_t* even = table[GainChannel(0, y)];
        const uint8_t* odd = table[GainChannel(1, y)];
        uint8_t* row = work_.data() + static_cast<size_t>(y) * p.width;
        int32_t x = 0;
        for (; x + 1 < p.width; x += 2) {
            row[x] = even[row[x]];
            row[x + 1] = odd[row[x + 1]];
        }
        if (x < p.width) row[x] = even[row[x]];
    }
    if (p.noise) AddNoise(p);
    WriteStamp(work_.data(), p.width, p.height, p.stamp);
    if (p.bottomStamp && p.height >= 2 * HVSIM_STAMP_HEIGHT) {
        const std::size_t lastRows = static_cast<std::size_t>(p.height - HVSIM_STAMP_HEIGHT) * p.width;
        WriteStamp(work_.data() + lastRows, p.width, HVSIM_STAMP_HEIGHT, p.stamp);
    }
    std::memcpy(destination, work_.data(), work_.size());
}

}  // namespace hvsim
