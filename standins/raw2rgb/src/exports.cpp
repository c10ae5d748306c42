// The three C entry points of the conversion library. Each checks its arguments and hands the
// work to the component that owns it. All three are reentrant: they keep no state, and calls on
// different buffers may run at the same time on different threads.
//
// Nothing may throw across a C interface. The work below allocates nothing and calls nothing that
// throws, so no exception is expected; each entry point still runs its body inside Guarded, which
// turns any exception into the entry point's failure result (0), so a C host never meets one.
#include "Raw2Rgb.h"

#include <cstddef>
#include <cstdint>

#include "bayer_layout.h"
#include "demosaic.h"
#include "gamma_lut.h"
#include "white_balance.h"

#if defined(_WIN32)
#define RAW2RGB_EXPORT extern "C" __declspec(dllexport)
#else
#define RAW2RGB_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

constexpr std::int32_t kFailed = 0;

// body's result, or kFailed when it throws.
template <class Body>
std::int32_t Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return kFailed;
    }
}

}  // namespace

/* ConvertBayer2Rgb: bilinear demosaicing of an 8-bit Bayer mosaic.
 *
 * destination  width * height * 3 bytes: pixels B, G, R, rows packed. Nothing past them is
 *              written.
 * source       width * height bytes of mosaic, rows packed. Nothing outside it is read.
 * width/height 1 or more each; any size, odd ones included.
 * method       not examined: bilinear interpolation is the only method (1 is the usual code).
 * lutR/G/B     256-entry tables; each output channel is its table's entry for the
 *              interpolated value (blue through lutB, green through lutG, red through lutR).
 * flip         0 writes source row 0 first; any other value writes the rows bottom-up, source
 *              row 0 last.
 * layout       1 = B G / G R, 2 = G B / R G, 3 = G R / B G, 4 = R G / G B (top-left 2 x 2 cell).
 *
 * Interpolation: a site's own colour is its value. Another colour is the rounded mean of the
 * sites of that colour among its eight neighbours that lie inside the image, computed as
 * (sum + n / 2) / n in integers; inside the image that is the mean of 4 orthogonal (green at red
 * or blue), 4 diagonal (blue at red, red at blue), 2 horizontal or 2 vertical neighbours (at
 * green). When none of the eight neighbours has the colour (1-pixel-wide or 1-row images), the
 * site's own value is used.
 *
 * Returns 1 on success. Returns 0 and writes nothing when a pointer is null, width or height is
 * 0 or less, or layout is not 1..4 (the adapter passes single-grab codes unchanged, so a code such
 * as 0 or 7 reaches here and is refused rather than guessed). Allocates nothing.
 */
RAW2RGB_EXPORT int32_t KX_CALL ConvertBayer2Rgb(uint8_t* destination, const uint8_t* source, int32_t width,
                                                int32_t height, int32_t /*method*/, const uint8_t* lutR,
                                                const uint8_t* lutG, const uint8_t* lutB, int32_t flip,
                                                int32_t layout) {
    return Guarded([&]() -> std::int32_t {
        if (destination == nullptr || source == nullptr || lutR == nullptr || lutG == nullptr || lutB == nullptr)
            return kFailed;
        if (width <= 0 || height <= 0) return kFailed;
        raw2rgb::Frame frame{source, destination, width, height, flip != 0, {}, {lutB, lutG, lutR}};
        if (!raw2rgb::LayoutFromCode(layout, &frame.layout)) return kFailed;
        raw2rgb::DemosaicFrame(frame);
        return 1;
    });
}

/* GetWhiteBalanceRatio: grey-world white-balance estimate.
 *
 * bgr          width * height 3-byte pixels B, G, R.
 * ratioR/G/B   receive the ratios. Green is always 1.0; red = meanG / meanR and
 *              blue = meanG / meanB, so that multiplying a channel by its ratio brings its mean
 *              to green's.
 *
 * The means are taken over the usable pixels only: a pixel with any channel at 250 or above is
 * clipped and one with every channel below 10 is near black; both are skipped. Sums are 64-bit.
 *
 * Returns 1 when the ratios were estimated. When no pixel is usable, or a channel's mean over the
 * usable pixels is zero, writes the neutral ratios 1.0, 1.0, 1.0 and returns 0: the outputs are
 * never infinite or NaN. When a pointer is null or width or height is 0 or less, returns 0 and
 * writes nothing.
 */
RAW2RGB_EXPORT int32_t KX_CALL GetWhiteBalanceRatio(const uint8_t* bgr, int32_t width, int32_t height, double* ratioR,
                                                    double* ratioG, double* ratioB) {
    return Guarded([&]() -> std::int32_t {
        if (bgr == nullptr || ratioR == nullptr || ratioG == nullptr || ratioB == nullptr) return kFailed;
        if (width <= 0 || height <= 0) return kFailed;
        raw2rgb::WhiteBalance balance{};
        const bool estimated = raw2rgb::EstimateWhiteBalance(
            bgr, static_cast<std::size_t>(width) * static_cast<std::size_t>(height), &balance);
        *ratioR = balance.red;
        *ratioG = balance.green;
        *ratioB = balance.blue;
        return estimated ? 1 : kFailed;
    });
}

/* SetGammaLut: fills lut (256 entries) with the curve
 * entry i = round(255 * (i / 255) ^ (1 / gamma)), entry 0 = 0 and entry 255 = 255, so 1.0 gives
 * the identity and 2.0 brightens (entry 64 = 128). A gamma that is not a finite number above
 * zero (0.0, negative, NaN, infinite) fills the identity table. Returns 1, or 0 without writing
 * when lut is null.
 */
RAW2RGB_EXPORT int32_t KX_CALL SetGammaLut(uint8_t* lut, double gamma) {
    return Guarded([&]() -> std::int32_t {
        if (lut == nullptr) return kFailed;
        raw2rgb::FillGammaLut(lut, gamma);
        return 1;
    });
}
