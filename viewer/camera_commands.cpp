#include "camera_commands.h"

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <filesystem>
#include <span>

#include "image_file.h"
#include "korvex.h"
#include "saved_files.h"
#include "settings_file.h"
#include "viewer_app.h"

namespace korvex::viewer {
namespace {

int16_t I16(int value) { return static_cast<int16_t>(value); }

// "gain set", or "gain refused by the camera (result 0)".
std::string Result(const std::string& what, int result) {
    return what + (result == 1 ? " set" : " refused by the camera (result " + std::to_string(result) + ")");
}

// A displayed frame (B,G,R,X) as a PNG file: grey frames as 1 channel, others as R,G,B.
// Returns the reason it could not be written, or nothing.
std::string WriteSnapshot(const std::filesystem::path& path, const DisplayFrame& frame) {
    const std::size_t pixels = static_cast<std::size_t>(frame.size.width) * static_cast<std::size_t>(frame.size.height);
    std::vector<uint8_t> packed;
    if (frame.grey) {
        packed.resize(pixels);
        for (std::size_t p = 0; p < pixels; ++p) packed[p] = frame.bgrx[4 * p];
    } else {
        packed = image::BgrxToRgb(frame.bgrx.data(), pixels);
    }
    errno = 0;
    if (image::Write(path.string(), image::Format::kPng, packed.data(), frame.size.width, frame.size.height,
                     frame.grey ? 1 : 3))
        return {};
    return errno != 0 ? std::generic_category().message(errno) : "the image could not be written";
}

ExportShape FullShape(const CameraSettings& settings, bool crossHair) {
    return {FrameSize{settings.window[2], settings.window[3]}, settings.colour, settings.layout, crossHair};
}

}  // namespace

void ShowCamera(ViewerState& state, std::size_t cameraIndex) {
    const CameraInfo& camera = state.cameras[cameraIndex];
    auto view = std::make_unique<CameraView>();
    view->settings.colour = camera.colourSensor;
    view->settings.window = {0, 0, camera.modes[0].width, camera.modes[0].height};
    // The adapter applied the stored ratios at open; the sliders start at them.
    settings::Ratios stored[settings::kMaxCameras]{};
    settings::ReadStoredRatios(std::span(stored, static_cast<std::size_t>(camera.device)));
    view->settings.whiteBalanceRed = static_cast<float>(stored[camera.device - 1].values[0]);
    view->settings.whiteBalanceBlue = static_cast<float>(stored[camera.device - 1].values[2]);
    view->stream = std::make_unique<CameraStream>(camera, FullShape(view->settings, state.crossHair.on), WakeForFrame);
    view->stream->SetPaused(state.paused);
    state.views.push_back(std::move(view));
    state.active = state.views.size() - 1;
}

void HideCamera(ViewerState& state, std::size_t viewIndex) {
    CameraView& view = *state.views[viewIndex];
    if (!view.stream->Stop()) state.exitCode = kExitSaveFailed;
    if (view.texture != nullptr) SDL_DestroyTexture(view.texture);
    state.views.erase(state.views.begin() + static_cast<std::ptrdiff_t>(viewIndex));
    if (state.active >= state.views.size()) state.active = state.views.empty() ? 0 : state.views.size() - 1;
}

void ApplyExposure(CameraView& view) {
    const int16_t device = I16(view.stream->Camera().device);
    const int16_t unit = I16(view.settings.exposureUnit), value = I16(view.settings.exposureValue);
    view.stream->Post([=] { return Result("exposure", ZqSetShutter(device, unit, value)); });
}

void ApplyGain(CameraView& view) {
    const int16_t device = I16(view.stream->Camera().device), value = I16(view.settings.gain);
    view.settings.channelGain = {view.settings.gain, view.settings.gain, view.settings.gain, view.settings.gain};
    view.stream->Post([=] { return Result("gain", ZqSetGain(device, 0, value)); });
}

void ApplyChannelGain(CameraView& view, int channel) {
    const int16_t device = I16(view.stream->Camera().device);
    const int16_t value = I16(view.settings.channelGain[static_cast<std::size_t>(channel)]);
    view.stream->Post([=] { return Result("channel gain", ZqSetChannelGain(device, I16(channel), value)); });
}

void ApplyMode(CameraView& view) {
    CameraStream* stream = view.stream.get();
    const FrameSize size = stream->Camera().modes[static_cast<std::size_t>(view.settings.mode)];
    view.settings.window = {0, 0, size.width, size.height};
    const int16_t device = I16(stream->Camera().device), mode = I16(view.settings.mode);
    stream->Post([=] {
        const int16_t result = ZqSetResolution(device, mode);
        if (result == 1) {
            ExportShape shape = stream->Shape();
            shape.size = size;
            stream->SetShape(shape);
        }
        return Result("resolution mode", result);
    });
}

void ApplyWindow(CameraView& view) {
    CameraStream* stream = view.stream.get();
    const auto window = view.settings.window;
    const int16_t device = I16(stream->Camera().device);
    stream->Post([=] {
        const int16_t result = ZqSetAOI(device, I16(window[0]), I16(window[1]), I16(window[2]), I16(window[3]));
        if (result == 1) {
            ExportShape shape = stream->Shape();
            shape.size = {window[2], window[3]};
            stream->SetShape(shape);
        }
        return Result("output window", result);
    });
}

void ApplyColour(CameraView& view) {
    CameraStream* stream = view.stream.get();
    const bool colour = view.settings.colour;
    const int layout = view.settings.layout;
    stream->Post([=] {
        ExportShape shape = stream->Shape();
        shape.colour = colour;
        shape.layout = layout;
        stream->SetShape(shape);
        return std::string(colour ? "colour, Bayer layout " + std::to_string(layout) : "grey");
    });
}

void ApplyWhiteBalance(CameraView& view) {
    const int16_t device = I16(view.stream->Camera().device);
    const int16_t blue = I16(static_cast<int>(view.settings.whiteBalanceBlue * 100.0f + 0.5f));
    const int16_t red = I16(static_cast<int>(view.settings.whiteBalanceRed * 100.0f + 0.5f));
    view.settings.whiteBalanceAuto = false;
    view.stream->Post([=] { return Result("white balance", ZqSetWhiteBalanceRatio(device, blue, red)); });
}

void AutoWhiteBalance(CameraView& view) {
    const int16_t device = I16(view.stream->Camera().device);
    view.settings.whiteBalanceAuto = true;
    view.stream->Post([=] {
        const int16_t result = ZqAutoWhiteBalance(device);
        return result == 1 ? std::string("white balance estimated from the latest frame")
                           : "automatic white balance failed (result " + std::to_string(result) + ")";
    });
}

void ApplyGamma(CameraView& view) {
    const int16_t device = I16(view.stream->Camera().device), value = I16(view.settings.gamma);
    view.stream->Post([=] { return Result("gamma", ZqSetGamma(device, value)); });
}

void ResetColourTables(CameraView& view) {
    const int16_t device = I16(view.stream->Camera().device);
    view.stream->Post([=] {
        const int16_t result = ZqResetLutTable(device);
        return result == 1 ? std::string("colour tables reset")
                           : "colour tables not reset (result " + std::to_string(result) + ")";
    });
}

void ApplyCrossHair(ViewerState& state) {
    const CrossHair cross = state.crossHair;
    ZqSetCrossPara(0, I16(cross.x), I16(cross.y), I16(cross.width), I16(cross.height), I16(cross.thickness));
    ZqEnableCross(0, cross.on ? 1 : 0);
    for (auto& view : state.views) {
        CameraStream* stream = view->stream.get();
        stream->Post([=] {
            ExportShape shape = stream->Shape();
            shape.crossHair = cross.on;
            stream->SetShape(shape);
            return std::string(cross.on ? "cross-hair on" : "cross-hair off");
        });
    }
}

void TogglePause(ViewerState& state) {
    state.paused = !state.paused;
    for (auto& view : state.views) view->stream->SetPaused(state.paused);
}

void Snapshot(ViewerState& state, CameraView& view) {
    if (view.frame.bgrx.empty()) return;
    const std::string stem = "korvex-" + std::to_string(view.stream->Camera().device) + "-";
    const DisplayFrame& frame = view.frame;
    const SaveOutcome saved =
        SaveUnderNewName(state.outputFolder, stem, ".png",
                         [&](const std::filesystem::path& partial) { return WriteSnapshot(partial, frame); });
    view.saveResult = Describe(saved, "snapshot");
    if (!saved.written) state.exitCode = kExitSaveFailed;
    std::fprintf(saved.written ? stdout : stderr, "%s%s\n",
                 saved.written ? "" : "korvex-viewer: ", view.saveResult.c_str());
    std::fflush(stdout);
}

void ToggleRecording(ViewerState& state, CameraView& view) {
    if (view.stream->Recording())
        view.stream->StopRecording();
    else
        view.stream->StartRecording(state.outputFolder, view.settings.layout);
}

}  // namespace korvex::viewer
