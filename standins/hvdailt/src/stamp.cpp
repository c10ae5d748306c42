#include "stamp.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace hvsim {
namespace {

constexpr int32_t kBlock = 4;
constexpr int32_t kBlocksPerRow = HVSIM_STAMP_WIDTH / kBlock;  // 16
constexpr int32_t kBits = 64;
constexpr uint8_t kMagic = 0xA5;

uint8_t Crc8(const uint8_t* data, size_t size) {
    uint8_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc = static_cast<uint8_t>(crc ^ data[i]);
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<uint8_t>((crc & 0x80) != 0 ? (crc << 1) ^ 0x07 : crc << 1);
        }
    }
    return crc;
}

std::array<uint8_t, 8> PackBytes(const HvSimStamp& stamp) {
    const auto frame = static_cast<uint32_t>(stamp.frame);
    std::array<uint8_t, 8> bytes{kMagic,
                                 static_cast<uint8_t>(stamp.device),
                                 static_cast<uint8_t>(stamp.bufferIndex),
                                 static_cast<uint8_t>(frame >> 24),
                                 static_cast<uint8_t>(frame >> 16),
                                 static_cast<uint8_t>(frame >> 8),
                                 static_cast<uint8_t>(frame),
                                 0};
    bytes[7] = Crc8(bytes.data() + 1, 6);
    return bytes;
}

bool BitOf(const std::array<uint8_t, 8>& bytes, int32_t bit) { return ((bytes[bit / 8] >> (7 - bit % 8)) & 1) != 0; }

}  // namespace

void WriteStamp(uint8_t* frame, int32_t width, int32_t height, const HvSimStamp& stamp) {
    if (width < HVSIM_STAMP_WIDTH || height < HVSIM_STAMP_HEIGHT) return;
    const auto bytes = PackBytes(stamp);
    for (int32_t bit = 0; bit < kBits; ++bit) {
        const uint8_t value = BitOf(bytes, bit) ? 255 : 0;
        const int32_t x0 = (bit % kBlocksPerRow) * kBlock;
        const int32_t y0 = (bit / kBlocksPerRow) * kBlock;
        for (int32_t y = y0; y < y0 + kBlock; ++y) {
            std::memset(frame + static_cast<size_t>(y) * width + x0, value, kBlock);
        }
    }
}

int32_t DecodeStamp(const uint8_t* image, int32_t width, int32_t height, int32_t bytesPerPixel, HvSimStamp* stamp) {
    if (image == nullptr || stamp == nullptr) return -1;
    if (bytesPerPixel != 1 && bytesPerPixel != 3 && bytesPerPixel != 4) return -1;
    if (width < HVSIM_STAMP_WIDTH || height < HVSIM_STAMP_HEIGHT) return -1;

    // Level of each block: sum over its 2 x 2 centre of the pixel's grey value or B + G + R.
    const int32_t channels = bytesPerPixel == 1 ? 1 : 3;
    std::array<int32_t, kBits> level{};
    for (int32_t bit = 0; bit < kBits; ++bit) {
        const int32_t x0 = (bit % kBlocksPerRow) * kBlock + 1;
        const int32_t y0 = (bit / kBlocksPerRow) * kBlock + 1;
        int32_t sum = 0;
        for (int32_t y = y0; y < y0 + 2; ++y) {
            for (int32_t x = x0; x < x0 + 2; ++x) {
                const uint8_t* p = image + (static_cast<size_t>(y) * width + x) * bytesPerPixel;
                for (int32_t c = 0; c < channels; ++c) sum += p[c];
            }
        }
        level[bit] = sum;
    }

    // The magic's ones must all lie clearly above its zeros; the threshold sits halfway.
    int32_t lowestOne = INT32_MAX, highestZero = INT32_MIN;
    for (int32_t bit = 0; bit < 8; ++bit) {
        if (((kMagic >> (7 - bit)) & 1) != 0) {
            lowestOne = std::min(lowestOne, level[bit]);
        } else {
            highestZero = std::max(highestZero, level[bit]);
        }
    }
    const int32_t minimumContrast = 4 * channels * 32;  // 32 levels per channel and pixel
    if (lowestOne - highestZero < minimumContrast) return -1;
    const int32_t threshold = (lowestOne + highestZero) / 2;

    std::array<uint8_t, 8> bytes{};
    for (int32_t bit = 0; bit < kBits; ++bit) {
        if (level[bit] > threshold) bytes[bit / 8] = static_cast<uint8_t>(bytes[bit / 8] | (0x80 >> (bit % 8)));
    }
    if (bytes[0] != kMagic || bytes[7] != Crc8(bytes.data() + 1, 6)) return -1;
    stamp->device = bytes[1];
    stamp->bufferIndex = bytes[2];
    stamp->frame = static_cast<int32_t>((uint32_t{bytes[3]} << 24) | (uint32_t{bytes[4]} << 16) |
                                        (uint32_t{bytes[5]} << 8) | uint32_t{bytes[6]});
    return 0;
}

}  // namespace hvsim
