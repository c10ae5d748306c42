/* The C side of the export overhead benchmark: times count exports through the adapter's own
 * function pointer, so that both sides call the very same loaded library. */
#include <stdint.h>
#include <time.h>

typedef int16_t (*ExportFunction)(int16_t device, uint8_t* destination, int16_t width, int16_t height, int16_t colour,
                                  int16_t layout);

/* Seconds of the calling thread's CPU time for count exports, or -1 when one of them did not
 * return 1. */
double TimeExports(ExportFunction exportImage, int16_t device, uint8_t* destination, int16_t width, int16_t height,
                   int16_t colour, int16_t layout, int32_t count) {
    struct timespec start;
    struct timespec end;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    for (int32_t i = 0; i < count; ++i) {
        if (exportImage(device, destination, width, height, colour, layout) != 1) return -1.0;
    }
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    return (double)(end.tv_sec - start.tv_sec) + (double)(end.tv_nsec - start.tv_nsec) * 1e-9;
}
