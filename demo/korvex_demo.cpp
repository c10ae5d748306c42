// Demo host: opens every simulated camera, captures from each, reports which frames arrived and
// how many were dropped, and writes per camera one grey image and, for colour cameras, one colour
// image with a cross-hair and one pair of frames before and after automatic white balance.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "hvsim_control.h"
#include "korvex.h"
#include "image_file.h"

namespace {

constexpr int kFramesPerCamera = 5;

struct Camera {
    int16_t device;
    int16_t width;
    int16_t height;
    bool colour;
    int16_t layout;  // the sensor's Bayer layout, 1..4, for colour cameras
};

// With KORVEX_DEMO_MANUAL_FRAMES set, the simulated cameras make a frame only when the demo asks
// for one, right before each export: every run, on every platform, then sees the same frames.
bool ManualFrames() {
    static const bool manual = std::getenv("KORVEX_DEMO_MANUAL_FRAMES") != nullptr;
    return manual;
}

std::size_t Pixels(const Camera& c) { return static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height); }

int16_t Export(const Camera& c, uint8_t* destination, int16_t colour, int16_t layout) {
    if (ManualFrames()) hvsim_deliver_frames(c.device, 1);
    return ZqExportImageData(c.device, destination, c.width, c.height, colour, layout);
}

// Exports a few grey frames and prints where each came from; returns the last one.
std::vector<uint8_t> ShowLiveFrames(const Camera& c) {
    std::vector<uint8_t> grey(Pixels(c));
    int32_t previous = -1;
    int dropped = 0;
    for (int n = 0; n < kFramesPerCamera; ++n) {
        if (Export(c, grey.data(), 0, 1) != 1) {
            std::printf("  camera %d: no frame within the timeout\n", c.device);
            continue;
        }
        HvSimStamp stamp{};
        if (hvsim_decode_stamp(grey.data(), c.width, c.height, 1, &stamp) != 0) {
            std::printf("  camera %d: frame without a stamp\n", c.device);
            continue;
        }
        if (previous >= 0 && stamp.frame > previous + 1) dropped += stamp.frame - previous - 1;
        previous = stamp.frame;
        std::printf("  camera %d: got frame %d of camera %d from buffer %d\n", c.device, stamp.frame, stamp.device,
                    stamp.bufferIndex);
    }
    std::printf("  camera %d: %d frame(s) dropped between exports\n", c.device, dropped);
    return grey;
}

// A colour frame as R,G,B for the PNG writer, or nothing when no frame came.
std::vector<uint8_t> ColourFrame(const Camera& c) {
    std::vector<uint8_t> bgra(Pixels(c) * 4);
    if (Export(c, bgra.data(), 1, c.layout) != 1) return {};
    return korvex::image::BgrxToRgb(bgra.data(), Pixels(c));
}

// Two R,G,B frames of one size side by side.
std::vector<uint8_t> SideBySide(const std::vector<uint8_t>& left, const std::vector<uint8_t>& right, const Camera& c) {
    if (left.empty() || right.empty()) return {};
    const std::size_t row = static_cast<std::size_t>(c.width) * 3;
    std::vector<uint8_t> both;
    both.reserve(left.size() * 2);
    for (int16_t y = 0; y < c.height; ++y) {
        both.insert(both.end(), left.begin() + static_cast<std::ptrdiff_t>(row * y),
                    left.begin() + static_cast<std::ptrdiff_t>(row * (y + 1)));
        both.insert(both.end(), right.begin() + static_cast<std::ptrdiff_t>(row * y),
                    right.begin() + static_cast<std::ptrdiff_t>(row * (y + 1)));
    }
    return both;
}

// The camera's colours as the light gives them (neutral ratios), then after automatic white
// balance, side by side. The balance found is kept and stored when the cameras are closed.
std::vector<uint8_t> WhiteBalanceBeforeAfter(const Camera& c) {
    ZqSetWhiteBalanceRatio(c.device, 100, 100);
    const std::vector<uint8_t> before = ColourFrame(c);
    ZqAutoWhiteBalance(c.device);
    const std::vector<uint8_t> after = ColourFrame(c);
    return SideBySide(before, after, c);
}

// A colour frame with the cross-hair at the centre, as R,G,B for the PNG writer.
std::vector<uint8_t> ColourWithCross(const Camera& c) {
    const auto boxWidth = static_cast<int16_t>(c.width / 4);
    const auto boxHeight = static_cast<int16_t>(c.height / 4);
    ZqSetCrossPara(c.device, static_cast<int16_t>((c.width - boxWidth) / 2),
                   static_cast<int16_t>((c.height - boxHeight) / 2), boxWidth, boxHeight, 5);
    ZqEnableCross(c.device, 1);
    std::vector<uint8_t> rgb = ColourFrame(c);
    ZqEnableCross(c.device, 0);
    return rgb;
}

// False when the file could not be written.
bool Save(const std::string& path, const std::vector<uint8_t>& pixels, const Camera& c, int channels,
          int widthFactor = 1) {
    const bool ok =
        !pixels.empty() && korvex::image::Write(path, pixels.data(), c.width * widthFactor, c.height, channels);
    std::printf("  %s %s\n", ok ? "wrote" : "could not write", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    std::string outFolder = ".";
    CLI::App app{"Opens every simulated camera, captures from each and writes PNG snapshots into FOLDER.",
                 "korvex_demo"};
    app.add_option("folder", outFolder, "Existing folder for the PNG files (default: the current folder)")
        ->check(CLI::ExistingDirectory);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : 2;  // --help: 0; a missing folder or unknown option: 2
    }

    const int16_t total = ZqGetDeviceTotal();
    std::printf("cameras seen: %d\n", total);
    if (total < 1) return 1;
    if (ZqOpenDevice(total) != 1 || ZqAllocateResources() != 1) {
        std::printf("could not open and allocate the cameras\n");
        return 1;
    }

    if (ManualFrames()) hvsim_set_manual_frames(1);
    std::vector<Camera> cameras;
    for (int16_t device = 1; device <= total; ++device) {
        HvSimCameraState state{};
        hvsim_get_state(device, &state);
        uint8_t name[11] = {};
        ZqGetDeviceType(device, name);
        cameras.push_back({device, ZqGetImageWidth(device), ZqGetImageHeight(device), state.colour == 1,
                           static_cast<int16_t>(state.bayerLayout)});
        std::printf("camera %d: %s %dx%d %s\n", device, reinterpret_cast<char*>(name), cameras.back().width,
                    cameras.back().height, state.colour == 1 ? "colour" : "monochrome");
        if (ZqStartGrab(device) != 1) std::printf("  camera %d: capture did not start\n", device);
    }

    bool allWritten = true;
    for (const Camera& c : cameras) {
        std::printf("camera %d:\n", c.device);
        const std::string stem = outFolder + "/camera" + std::to_string(c.device);
        allWritten &= Save(stem + "_grey.png", ShowLiveFrames(c), c, 1);
        if (!c.colour) continue;
        allWritten &= Save(stem + "_white_balance_before_after.png", WhiteBalanceBeforeAfter(c), c, 3, 2);
        allWritten &= Save(stem + "_colour_cross.png", ColourWithCross(c), c, 3);
    }

    for (const Camera& c : cameras) ZqStopGrab(c.device);
    ZqCloseDevice();
    return allWritten ? 0 : 1;
}
