// korvex list: every camera seen, one line each, or one JSON object.
//
// Listing only reads: the tool sets nothing, so closing stores the ratios it read unchanged.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "camera_identity.h"
#include "camera_session.h"
#include "commands.h"
#include "json_text.h"
#include "korvex.h"

namespace korvex::cli {
namespace {

struct Listed {
    int16_t device;
    CameraIdentity id;
    int16_t width;
    int16_t height;
};

std::vector<Listed> ReadCameras(int16_t total) {
    std::vector<Listed> cameras;
    for (int16_t device = 1; device <= total; ++device)
        cameras.push_back({device, ReadIdentity(device), ZqGetImageWidth(device), ZqGetImageHeight(device)});
    return cameras;
}

void PrintTable(const std::vector<Listed>& cameras) {
    std::printf("%-6s  %-10s  %-30s  %-8s  %-10s  %s\n", "camera", "model", "serial number", "hardware", "resolution",
                "sensor");
    for (const Listed& c : cameras) {
        const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
        std::printf("%-6d  %-10s  %-30s  %-8s  %-10s  %s\n", c.device, c.id.model.c_str(), c.id.serial.c_str(),
                    c.id.hardwareVersion.c_str(), size.c_str(), KindName(KindOfModel(c.id.model)));
    }
}

void PrintJson(const std::vector<Listed>& cameras, int16_t seen) {
    std::vector<std::string> items;
    for (const Listed& c : cameras) {
        items.push_back(JsonObject()
                            .Number("camera", c.device)
                            .Text("model", c.id.model)
                            .Text("serial_number", c.id.serial)
                            .Text("hardware_version", c.id.hardwareVersion)
                            .Number("width", c.width)
                            .Number("height", c.height)
                            .Text("sensor", KindName(KindOfModel(c.id.model)))
                            .Json());
    }
    std::printf("%s\n", JsonObject().Raw("cameras", JsonArray(items)).Number("cameras_seen", seen).Json().c_str());
}

}  // namespace

void RunList(bool json) {
    const int16_t seen = CamerasSeen();
    const int16_t total = std::min(seen, kMostCameras);
    std::vector<Listed> cameras;
    if (total > 0) {
        CameraSession session(total);
        cameras = ReadCameras(total);
    }
    if (json) {
        PrintJson(cameras, seen);
    } else if (cameras.empty()) {
        std::printf("no cameras found\n");
    } else {
        PrintTable(cameras);
        if (seen > total) std::printf("%d of %d cameras shown: the adapter drives the first %d\n", total, seen, total);
    }
}

Command AddListCommand(CLI::App& tool) {
    CLI::App* parser = tool.add_subcommand(
        "list", "List the cameras seen: model, serial number, hardware version and current resolution");
    auto json = std::make_shared<bool>(false);
    parser->add_flag(
        "--json", *json,
        "Print one JSON object: {\"cameras\": [{\"camera\": 1, \"model\": ...}, ...], \"cameras_seen\": N}");
    return {parser, [json] { RunList(*json); }};
}

}  // namespace korvex::cli
