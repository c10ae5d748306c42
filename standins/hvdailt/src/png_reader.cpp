// The frame files are decoded with stb_image, limited to PNG. The header's bit depth and colour
// type are checked first, since stb_image would quietly widen other kinds to 8-bit grey, and so
// are the checksums, which stb_image does not read: every chunk's CRC-32, and the Adler-32 of the
// image data's zlib stream, so that a damaged frame is reported rather than replayed.
#include "png_reader.h"

#include <algorithm>
#include <cstring>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb_image.h>

namespace hvsim {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kHeaderEnd = 26;  // signature, IHDR length and name, size, bit depth, colour type
constexpr size_t kBitDepthAt = 24, kColourTypeAt = 25;

uint32_t BigEndian32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

uint32_t Crc32(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t Adler32(const uint8_t* bytes, size_t size) {
    constexpr uint32_t kModulus = 65521;
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < size; ++i) {
        a = (a + bytes[i]) % kModulus;
        b = (b + a) % kModulus;
    }
    return b << 16 | a;
}

// Walks the chunks after the signature, checking each one's CRC (over its name and data), and
// gathers the image data (the zlib stream, split over IDAT chunks).
bool CheckChunks(const std::vector<uint8_t>& file, std::vector<uint8_t>& zlibStream, std::string& error) {
    size_t at = sizeof kSignature;
    while (file.size() - at >= 12) {
        const uint32_t length = BigEndian32(file.data() + at);
        if (length > file.size() - at - 12) break;
        const uint8_t* name = file.data() + at + 4;
        if (Crc32(name, 4 + size_t{length}) != BigEndian32(name + 4 + length)) {
            error = "is damaged (bad CRC in its " + std::string(name, name + 4) + " chunk)";
            return false;
        }
        if (std::memcmp(name, "IDAT", 4) == 0) zlibStream.insert(zlibStream.end(), name + 4, name + 4 + length);
        if (std::memcmp(name, "IEND", 4) == 0) return true;
        at += 12 + size_t{length};
    }
    error = "cannot be decoded (the file ends before its IEND chunk)";
    return false;
}

// Inflates the image data once more to check the Adler-32 that ends the zlib stream.
bool CheckImageDataChecksum(const std::vector<uint8_t>& zlibStream, int32_t width, int32_t height, std::string& error) {
    if (zlibStream.size() < 6) {
        error = "cannot be decoded (no image data)";
        return false;
    }
    int inflatedSize = 0;
    const int guess = static_cast<int>(std::min<int64_t>(int64_t{height} * (int64_t{width} + 1), 1 << 30));
    char* inflated = stbi_zlib_decode_malloc_guesssize_headerflag(
        reinterpret_cast<const char*>(zlibStream.data()), static_cast<int>(zlibStream.size()), guess, &inflatedSize, 1);
    if (inflated == nullptr) {
        error = std::string("cannot be decoded (") + stbi_failure_reason() + ")";
        return false;
    }
    const uint32_t actual = Adler32(reinterpret_cast<const uint8_t*>(inflated), static_cast<size_t>(inflatedSize));
    STBI_FREE(inflated);
    if (actual != BigEndian32(zlibStream.data() + zlibStream.size() - 4)) {
        error = "is damaged (its image data fails the zlib checksum)";
        return false;
    }
    return true;
}

bool CheckHeader(const std::vector<uint8_t>& file, int32_t width, int32_t height, std::string& error) {
    if (file.size() < kHeaderEnd || std::memcmp(file.data(), kSignature, sizeof kSignature) != 0 ||
        std::memcmp(file.data() + 12, "IHDR", 4) != 0) {
        error = "is not a PNG file";
        return false;
    }
    if (file[kBitDepthAt] != 8 || file[kColourTypeAt] != 0) {
        error = "is not an 8-bit greyscale PNG (bit depth " + std::to_string(file[kBitDepthAt]) + ", colour type " +
                std::to_string(file[kColourTypeAt]) + ")";
        return false;
    }
    const uint32_t fileWidth = BigEndian32(file.data() + 16), fileHeight = BigEndian32(file.data() + 20);
    if (fileWidth != static_cast<uint32_t>(width) || fileHeight != static_cast<uint32_t>(height)) {
        error = "is " + std::to_string(fileWidth) + "x" + std::to_string(fileHeight) + ", not " +
                std::to_string(width) + "x" + std::to_string(height);
        return false;
    }
    return true;
}

}  // namespace

bool DecodeGreyPng(const std::vector<uint8_t>& file, int32_t width, int32_t height, std::vector<uint8_t>& pixels,
                   std::string& error) {
    if (!CheckHeader(file, width, height, error)) return false;
    std::vector<uint8_t> zlibStream;
    if (!CheckChunks(file, zlibStream, error) || !CheckImageDataChecksum(zlibStream, width, height, error))
        return false;
    int x = 0, y = 0, channels = 0;
    stbi_uc* decoded = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &x, &y, &channels, 1);
    if (decoded == nullptr) {
        error = std::string("cannot be decoded (") + stbi_failure_reason() + ")";
        return false;
    }
    pixels.assign(decoded, decoded + static_cast<size_t>(width) * static_cast<size_t>(height));
    stbi_image_free(decoded);
    return true;
}

}  // namespace hvsim
