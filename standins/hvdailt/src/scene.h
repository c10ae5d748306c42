// Rendering of simulated frames: a static test chart seen through the sensor's mosaic, plus the
// parts that change per frame (a moving disc, the frame counter in digits, the stamp).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "hvsim_control.h"

namespace hvsim {

struct Rgb {
    double r, g, b;  // scene radiance, 0..1
};

// What the sensor looks at. u, v are 0..1 across the current resolution; x, y are that
// resolution's pixel coordinates (for detail at the pixel scale).
class FramePattern {
public:
    virtual ~FramePattern() = default;
    virtual Rgb At(double u, double v, int32_t x, int32_t y, int32_t resolutionWidth,
                   int32_t resolutionHeight) const = 0;
};

// Colour bars, a grey ramp, a zone plate and fine lines, a dark lane for the moving disc.
std::shared_ptr<const FramePattern> TestChartPattern();

// Everything one frame depends on, taken from the camera's settings when the frame starts.
struct FrameParams {
    bool colour = true;
    int32_t bayerLayout = 1;
    int32_t resolutionWidth = 0, resolutionHeight = 0;
    int32_t left = 0, top = 0, width = 0, height = 0;
    double exposureFactor = 1.0;          // exposure time over the nominal one
    double gainFactor[4] = {1, 1, 1, 1};  // per gain channel: R, G(R row), G(B row), B; mono by cell
    double offset[4] = {0, 0, 0, 0};      // converter offset per gain channel, in raw levels
    bool noise = false;
    bool bottomStamp = false;  // the stamp also in the last rows, to show a frame made of two
    HvSimStamp stamp{};
    int64_t frameNumber = 0;  // the camera's count of frames, which picks a replayed recording's frame
};

// Renders frames of one camera. Keeps the static part of the scene, already mosaiced and lit, for
// the last geometry, so that a frame costs one table lookup per pixel plus the moving parts.
// Not thread-safe: one renderer per camera, used under that camera's render lock.
class FrameRenderer {
public:
    explicit FrameRenderer(std::shared_ptr<const FramePattern> pattern = TestChartPattern());
    void SetPattern(std::shared_ptr<const FramePattern> pattern);

    // Writes params.width x params.height one-byte pixels to destination.
    void Render(const FrameParams& params, uint8_t* destination);

private:
    struct Geometry {
        bool colour = false;
        int32_t layout = 0, resolutionWidth = 0, resolutionHeight = 0, left = 0, top = 0, width = 0, height = 0;
        bool operator==(const Geometry&) const = default;
    };
    void BuildStatic(const Geometry& geometry);
    int32_t GainChannel(int32_t x, int32_t y) const;  // 0..3 for codes 16..19
    void DrawMovingDisc(const FrameParams& params);
    void DrawCounter(const FrameParams& params);
    void AddNoise(const FrameParams& params);

    std::shared_ptr<const FramePattern> pattern_;
    Geometry geometry_{};
    bool haveStatic_ = false;
    std::vector<uint8_t> static_;  // unity exposure and gain, with the light's colour cast
    std::vector<uint8_t> work_;
    int32_t colourOf_[2][2] = {};   // 0 R, 1 G, 2 B of each cell position, frame coordinates
    int32_t channelOf_[2][2] = {};  // gain channel of each cell position
    uint8_t white_[2][2] = {};      // raw level of a white object at each cell position
    uint64_t noiseState_ = 0x9E3779B97F4A7C15ull;
};

// Colour (0 R, 1 G, 2 B) at a cell position of a Bayer layout 1..4; frame coordinates.
int32_t BayerColour(int32_t layout, int32_t x, int32_t y);

}  // namespace hvsim
