// Demo host: opens every simulated camera, allocates, reports what it finds and closes.
#include <cstdio>
#include <string>

#include "korvex.h"

int main(int argc, char** argv) {
    const std::string outFolder = argc > 1 ? argv[1] : ".";
    (void)outFolder;
    const int16_t total = ZqGetDeviceTotal();
    std::printf("cameras seen: %d\n", total);
    if (total < 1) return 1;
    if (ZqOpenDevice(total) != 1 || ZqAllocateResources() != 1) {
        std::printf("could not open and allocate the cameras\n");
        return 1;
    }
    for (int16_t device = 1; device <= total; ++device) {
        uint8_t name[11] = {};
        ZqGetDeviceType(device, name);
        std::printf("camera %d: %s %dx%d\n", device, reinterpret_cast<char*>(name), ZqGetImageWidth(device),
                    ZqGetImageHeight(device));
    }
    ZqCloseDevice();
    return 0;
}
