/* A complete Korvex host: opens the cameras, captures from camera 1, exports colour frames in a
 * loop, balances the white and shows what that changed, then stops capture and closes.
 *
 * Usage: host [layout]   layout = the sensor's Bayer layout, 1..4 (1 = B G / G R, the HV1300UC's) */
#include <korvex.h>
#include <stdio.h>
#include <stdlib.h>

enum { kDevice = 1, kFrames = 10 };

/* The mean blue, green and red of a frame of B,G,R,0 pixels. */
static void MeanColour(const uint8_t* bgra, size_t pixels, double mean[3]) {
    double sum[3] = {0, 0, 0};
    for (size_t p = 0; p < pixels; ++p)
        for (int c = 0; c < 3; ++c) sum[c] += bgra[4 * p + c];
    for (int c = 0; c < 3; ++c) mean[c] = sum[c] / (double)pixels;
}

/* Exports one colour frame and prints its colour cast (red and blue against green). */
static int ExportAndShow(const char* label, uint8_t* frame, int16_t width, int16_t height, int16_t layout) {
    const int16_t result = ZqExportImageData(kDevice, frame, width, height, 1, layout);
    if (result == -1) {
        printf("%s: no frame within the timeout\n", label);
        return 0;
    }
    if (result != 1) {
        printf("%s: export refused\n", label);
        return 0;
    }
    double mean[3];
    MeanColour(frame, (size_t)width * (size_t)height, mean);
    printf("%s: mean B %.1f G %.1f R %.1f, red/green %.2f, blue/green %.2f\n", label, mean[0], mean[1], mean[2],
           mean[2] / mean[1], mean[0] / mean[1]);
    return 1;
}

int main(int argc, char** argv) {
    const int16_t layout = (int16_t)(argc > 1 ? atoi(argv[1]) : 1);

    /* 1. Open every camera the camera library sees (cameras 1..total). */
    const int16_t total = ZqGetDeviceTotal();
    if (total < 1 || ZqOpenDevice(total) != 1) {
        fprintf(stderr, "no camera could be opened\n");
        return 1;
    }
    /* 2. Allocate their frame buffers; each camera starts at its full resolution. */
    if (ZqAllocateResources() != 1) {
        fprintf(stderr, "could not allocate the cameras' buffers\n");
        ZqCloseDevice();
        return 1;
    }
    uint8_t model[11] = {0}; /* 10 bytes written, zero-padded; the 11th keeps it a C string */
    ZqGetDeviceType(kDevice, model);
    const int16_t width = ZqGetImageWidth(kDevice);
    const int16_t height = ZqGetImageHeight(kDevice);
    printf("%d camera(s); camera %d is a %s, %dx%d\n", total, kDevice, (const char*)model, width, height);

    /* 3. Start continuous capture. An export waits at most one second for a new frame. */
    ZqSetTimeout(1000);
    uint8_t* frame = malloc((size_t)width * (size_t)height * 4); /* 4 bytes per colour pixel */
    if (frame == NULL || ZqStartGrab(kDevice) != 1) {
        fprintf(stderr, "capture did not start\n");
        free(frame);
        ZqCloseDevice();
        return 1;
    }

    /* 4. The export loop: each call waits for the next frame and writes it as B,G,R,0. */
    int frames = 0;
    for (int n = 0; n < kFrames; ++n) {
        char label[32];
        snprintf(label, sizeof label, "frame %d", n + 1);
        frames += ExportAndShow(label, frame, width, height, layout);
    }

    /* 5. White balance, estimated from the newest frame at the size and layout of the latest
     *    export. The ratios are kept in the settings file when the cameras are closed. */
    ZqAutoWhiteBalance(kDevice);
    frames += ExportAndShow("after white balance", frame, width, height, layout);

    /* 6. Stop capture before closing; closing ends the cameras and releases their buffers. */
    ZqStopGrab(kDevice);
    ZqCloseDevice();
    free(frame);
    printf("%d of %d frames exported\n", frames, kFrames + 1);
    return frames == kFrames + 1 ? 0 : 1;
}
