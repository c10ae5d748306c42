/* The camera maker's conversion library, as the adapter calls it. Results are not read. */
#ifndef KORVEX_SDK_RAW2RGB_H
#define KORVEX_SDK_RAW2RGB_H

#include <stdint.h>

#include "kx_call.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Bayer layout codes: the colour of the mosaic's top-left 2 x 2 cell. */
enum {
    BAYER_BG_GR = 1, /* B G / G R */
    BAYER_GB_RG = 2, /* G B / R G */
    BAYER_GR_BG = 3, /* G R / B G */
    BAYER_RG_GB = 4  /* R G / G B */
};

/* Writes width x height 3-byte pixels (B, G, R) into destination, each channel through its
 * 256-entry table. method 1 is the library's demosaicing; flip 0 keeps row 0 first. */
int32_t KX_CALL ConvertBayer2Rgb(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height,
                                 int32_t method, const uint8_t* lutR, const uint8_t* lutG, const uint8_t* lutB,
                                 int32_t flip, int32_t layout);

/* Estimates white-balance ratios from a width x height image of 3-byte B, G, R pixels. */
int32_t KX_CALL GetWhiteBalanceRatio(const uint8_t* bgr, int32_t width, int32_t height, double* ratioR, double* ratioG,
                                     double* ratioB);

/* Fills a 256-entry table with the curve for gamma. */
int32_t KX_CALL SetGammaLut(uint8_t* lut, double gamma);

#ifdef __cplusplus
}
#endif

#endif
