#include "camera_commands.h"

#include <cstdio>
#include <filesystem>

#include "korvex.h"
#include "image_file.h"

namespace korvex::viewer {
namespace {

int16_t I16(int value) { return static_cast<int16_t>(value); }

std::string Result(const char* function, int result) { return std::string(function) + ": " + std::to_string(result); }

// A displayed frame (B,G,R,X) as a PNG file: grey frames as 1 channel, others as R,G,B.
bool WriteSnapshot(const std::string& path, const DisplayFrame& frame) {
    const std::size_t pixels = static_cast<std::size_t>(frame.size.width) * static_cast<std::size_t>(frame.size.height);
    std::vector<uint8_t> packed;
    if (frame.grey) {
        packed.resize(pixels);
        for (std::size_t p = 0; p < pixels; ++p) packed[p] = frame.bgrx[4 * p];
    } else {
        packed = image::BgrxToRgb(frame.bgrx.data(), pixels);
    }
    return image::Write(path, image::Format::kPng, packed.data(), frame.size.width, frame.size.height,
                        frame.grey ? 1 : 3);
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
    view->stream = std::make_unique<CameraStream>(camera, FullShape(view->settings, state.crossHair.on));
    view->stream->SetPaused(state.paused);
    state.views.push_back(std::move(view));
    state.active = state.views.size() - 1;
}

void HideCamera(ViewerState& state, std::size_t viewIndex) {
    CameraView& view = *state.views[viewIndex];
    if (view.texture != nullptr) SDL_DestroyTexture(view.texture);
    state.views.erase(state.views.begin() + static_cast<std::ptrdiff_t>(viewIndex));
    if (state.active >= state.views.size()) state.active = state.views.empty() ? 0 : state.views.size() - 1;
}

void ApplyExposure(CameraView& view) {
    const int16_t device = I16(view.stream->Camera().device);
    const int16_t unit = I16(view.settings.exposureUnit), value = I16(view.settings.exposureValue);
    view.stream->Post([=] { return Result("ZqSetShutter", ZqSetShutter(device, unit, value)); });
}

void ApplyGain(CameraView& view) {
    const int16_t device = I16(view.stream->Camera().device), value = I16(view.settings.gain);
    view.settings.channelGain = {view.settings.gain, view.settings.gain, view.settings.gain, view.settings.gain};
    view.stream->Post([=] { return Result("ZqSetGain", ZqSetGain(device, 0, value)); });
}

void ApplyChannelGain(CameraView& view, int channel) {
    const int16_t device = I16(view.stream->Camera().device);
    const int16_t value = I16(view.settings.channelGain[static_cast<std::size_t>(channel)]);
    view.stream->Post([=] { return Result("ZqSetChannelGain", ZqSetChannelGain(device, I16(channel), value)); });
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
        return Result("ZqSetResolution", result);
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
        return Result("ZqSetAOI", result);
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
    view.stream->Post([=] { return Result("ZqSetWhiteBalanceRatio", ZqSetWhiteBalanceRatio(device, blue, red)); });
}

void AutoWhiteBalance(CameraView& view) {
    const int16_t device = I16(view.stream->Camera().device);
    view.settings.whiteBalanceAuto = true;
    view.stream->Post([=] { return Result("ZqAutoWhiteBalance", ZqAutoWhiteBalance(device)); });
}

void ApplyGamma(CameraView& view) {
    const int16_t device = I16(view.stream->Camera().device), value = I16(view.settings.gamma);
    view.stream->Post([=] { return Result("ZqSetGamma", ZqSetGamma(device, value)); });
}

void ResetColourTables(CameraView& view) {
    const int16_t device = I16(view.stream->Camera().device);
    view.stream->Post([=] { return Result("ZqResetLutTable", ZqResetLutTable(device)); });
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

void Snapshot(ViewerState& state, CameraView& view) {
    if (view.frame.bgrx.empty()) return;
    const std::string path =
        (std::filesystem::path(state.outputFolder) /
         ("korvex-" + std::to_string(view.stream->Camera().device) + "-" + std::to_string(++view.snapshots) + ".png"))
            .string();
    const bool written = WriteSnapshot(path, view.frame);
    std::printf("%s %s\n", written ? "snapshot written to" : "cannot write snapshot", path.c_str());
    std::fflush(stdout);
}

void ToggleRecording(ViewerState& state, CameraView& view) {
    if (view.stream->Recording()) {
        view.stream->StopRecording();
        return;
    }
    const std::string folder =
        (std::filesystem::path(state.outputFolder) /
         ("korvex-" + std::to_string(view.stream->Camera().device) + "-recording-" + std::to_string(++view.recordings)))
            .string();
    view.stream->StartRecording(folder, view.settings.layout);
}

}  // namespace korvex::viewer
