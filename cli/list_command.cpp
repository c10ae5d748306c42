// korvex list: every camera seen, one line each.
#include <cstdio>

#include "camera_identity.h"
#include "camera_session.h"
#include "commands.h"
#include "korvex.h"

namespace korvex::cli {
namespace {

void RunList() {
    const int16_t total = CountCameras();
    if (total == 0) {
        std::printf("no cameras found\n");
        return;
    }
    CameraSession session(total);
    std::printf("%-6s  %-10s  %-30s  %-8s  %-10s  %s\n", "camera", "model", "serial number", "hardware", "resolution",
                "sensor");
    for (int16_t device = 1; device <= total; ++device) {
        const CameraIdentity id = ReadIdentity(device);
        const std::string size =
            std::to_string(ZqGetImageWidth(device)) + "x" + std::to_string(ZqGetImageHeight(device));
        std::printf("%-6d  %-10s  %-30s  %-8s  %-10s  %s\n", device, id.model.c_str(), id.serial.c_str(),
                    id.hardwareVersion.c_str(), size.c_str(), KindName(KindOfModel(id.model)));
    }
}

}  // namespace

Command AddListCommand(CLI::App& tool) {
    CLI::App* parser = tool.add_subcommand(
        "list", "List the cameras seen: model, serial number, hardware version and current resolution");
    return {parser, RunList};
}

}  // namespace korvex::cli
