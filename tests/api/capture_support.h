// Helpers for the capture and delivery tests: destinations with guard bytes, camera geometry,
// and an export run on a thread of its own.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <future>
#include <vector>

#include "api_fixture.h"

namespace korvex::test {

// A host destination followed by guard bytes; every byte starts as fill.
class Destination {
public:
    static constexpr std::size_t kGuardBytes = 64;
    static constexpr uint8_t kFill = 0xA5;

    explicit Destination(std::size_t bytes) : bytes_(bytes), data_(bytes + kGuardBytes, kFill) {}

    uint8_t* data() { return data_.data(); }
    const uint8_t* data() const { return data_.data(); }
    std::size_t size() const { return bytes_; }
    uint8_t operator[](std::size_t i) const { return data_[i]; }

    // Index of the first written byte counted from the start, or size() + kGuardBytes if none.
    std::size_t FirstWritten() const {
        for (std::size_t i = 0; i < data_.size(); ++i) {
            if (data_[i] != kFill) return i;
        }
        return data_.size();
    }
    bool Untouched() const { return FirstWritten() == data_.size(); }
    bool GuardsIntact() const {
        for (std::size_t i = bytes_; i < data_.size(); ++i) {
            if (data_[i] != kFill) return false;
        }
        return true;
    }
    void Reset() { std::fill(data_.begin(), data_.end(), kFill); }

private:
    std::size_t bytes_;
    std::vector<uint8_t> data_;
};

class AcquisitionTest : public ApiTest {
protected:
    static HvSimCameraState State(int16_t device) {
        HvSimCameraState state{};
        EXPECT_EQ(hvsim_get_state(device, &state), 0);
        return state;
    }
    static int16_t SensorWidth(int16_t device) { return static_cast<int16_t>(State(device).sensorWidth); }
    static int16_t SensorHeight(int16_t device) { return static_cast<int16_t>(State(device).sensorHeight); }

    // The stamp of a delivered image, or a stamp of -1s when none is found.
    static HvSimStamp Stamp(const Destination& image, int32_t width, int32_t height, int32_t bytesPerPixel) {
        HvSimStamp stamp{-1, -1, -1};
        if (hvsim_decode_stamp(image.data(), width, height, bytesPerPixel, &stamp) != 0) stamp = {-1, -1, -1};
        return stamp;
    }

    // Runs one export on another thread; the future gives its result.
    static std::future<int16_t> ExportLater(int16_t device, Destination& out, int16_t width, int16_t height,
                                            int16_t colour) {
        return std::async(std::launch::async,
                          [=, &out] { return ZqExportImageData(device, out.data(), width, height, colour, 1); });
    }

    template <typename T>
    static bool StillRunning(std::future<T>& result, std::chrono::milliseconds patience) {
        return result.wait_for(patience) == std::future_status::timeout;
    }
};

}  // namespace korvex::test
