// Model name, serial number, hardware version and camera status: the exact bytes the host gets.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "api_fixture.h"

namespace korvex::test {
namespace {

using Strings = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kUntouched = 0xAA;

class Identification : public ApiTest {
protected:
    void SetUp() override {
        ApiTest::SetUp();
        ASSERT_EQ(ZqOpenDevice(1), 1);
        TakeCalls();
    }

    // Runs a getter on camera 1 into a 64-byte buffer of kUntouched; gives its result and the
    // buffer, so that the bytes written and the ones past them can both be checked.
    template <typename Getter>
    std::pair<uint8_t, Bytes> Get(Getter getter) {
        Bytes buffer(64, kUntouched);
        const uint8_t result = getter(1, buffer.data());
        return {result, buffer};
    }

    // count bytes of text (zero-padded), then kUntouched to the end of 64.
    static Bytes Expected(const std::string& text, std::size_t count) {
        Bytes bytes(64, kUntouched);
        std::fill_n(bytes.begin(), count, 0);
        std::memcpy(bytes.data(), text.data(), std::min(text.size(), count));
        return bytes;
    }
};

TEST_F(Identification, ModelNamesFillTenBytesAndNamelessCodesGiveZeros) {
    for (const auto& [code, name] :
         {std::pair<int32_t, std::string>{24, "SV400FC"}, {0, "HV1300UC"}, {26, ""}, {37, ""}, {60, ""}, {-1, ""}}) {
        ASSERT_EQ(hvsim_set_type_code(1, code), 0);
        EXPECT_EQ(Get(ZqGetDeviceType), std::make_pair(uint8_t{1}, Expected(name, 10))) << code;
    }
    EXPECT_EQ(Names(TakeCalls()), Strings(6, "HVGetDeviceInfo"));  // one query each
    hvsim_fail(HVSIM_HVGetDeviceInfo, 5, 1, 1);
    EXPECT_EQ(Get(ZqGetDeviceType), std::make_pair(uint8_t{0}, Expected("", 10)));
}

TEST_F(Identification, SerialsArriveAsThirtyBytesCutOrZeroPadded) {
    const std::string longSerial = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    ASSERT_EQ(hvsim_set_serial(1, longSerial.c_str()), 0);
    EXPECT_EQ(Get(ZqGetDeviceSeriesNum), std::make_pair(uint8_t{1}, Expected(longSerial, 30)));
    ASSERT_EQ(hvsim_set_serial(1, "AB12"), 0);
    EXPECT_EQ(Get(ZqGetDeviceSeriesNum), std::make_pair(uint8_t{1}, Expected("AB12", 30)));
    EXPECT_EQ(Names(TakeCalls()), Strings(4, "HVGetDeviceInfo"));

    // Serials that do not fit a 256-byte area with their terminator still give their first 30 bytes.
    for (const std::size_t length : {std::size_t{256}, std::size_t{5000}}) {
        const std::string huge = longSerial + std::string(length - longSerial.size(), 'S');
        ASSERT_EQ(hvsim_set_serial(1, huge.c_str()), 0);
        EXPECT_EQ(Get(ZqGetDeviceSeriesNum), std::make_pair(uint8_t{1}, Expected(longSerial, 30))) << length;
    }
    hvsim_fail(HVSIM_HVGetDeviceInfo, 5, 2, 1);
    EXPECT_EQ(Get(ZqGetDeviceSeriesNum).first, 0);
}

TEST_F(Identification, VersionsArriveAsTenBytesOfDecimalText) {
    const std::pair<int32_t, std::string> cases[] = {
        {123, "123"},
        {-45, "-45"},
        {1234567890, "1234567890"},
        {-123456789, "-123456789"},
        {-1234567890, "-123456789"},  // eleven characters lose the last digit
        {0, "0"},
        {INT32_MIN, "-214748364"},
    };
    for (const auto& [version, text] : cases) {
        ASSERT_EQ(hvsim_set_hw_version(1, version), 0);
        EXPECT_EQ(Get(ZqGetHardwareVersion), std::make_pair(uint8_t{1}, Expected(text, 10))) << version;
    }
    ASSERT_EQ(hvsim_set_hw_version(1, 77), 0);
    hvsim_fail(HVSIM_HVGetDeviceInfo, 5, 2, 1);
    EXPECT_EQ(Get(ZqGetHardwareVersion), std::make_pair(uint8_t{0}, Expected("0", 10)));
}

TEST_F(Identification, LastStatusIsOneMinusOneOrZero) {
    EXPECT_EQ(ZqGetLastStatus(1), 1);
    const auto calls = TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].op, HVSIM_HVCommand);
    EXPECT_EQ(calls[0].args[0], 256);
    ASSERT_EQ(hvsim_set_camera_status(1, 7), 0);
    EXPECT_EQ(ZqGetLastStatus(1), -1);
    hvsim_fail(HVSIM_HVCommand, 3, 1, 1);
    EXPECT_EQ(ZqGetLastStatus(1), 0);

    // No open test: a closed camera is asked with handle 0 and shows nothing.
    TakeCalls();
    EXPECT_EQ(ZqGetLastStatus(4), 0);
    const auto closed = TakeCalls();
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].handle, 0u);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(Identification, ClosedCamerasAndNullBuffersGetNothingWritten) {
    for (const auto getter : {ZqGetDeviceType, ZqGetDeviceSeriesNum, ZqGetHardwareVersion}) {
        Bytes buffer(64, kUntouched);
        EXPECT_EQ(getter(2, buffer.data()), 0);
        EXPECT_EQ(getter(11, buffer.data()), 0);
        EXPECT_EQ(getter(1, nullptr), 0);
        EXPECT_EQ(buffer, Bytes(64, kUntouched));
    }
    EXPECT_EQ(ZqGetLastStatus(0), 0);
    EXPECT_EQ(TakeMessageTexts(), Strings(3, "Please open device first!"));
    EXPECT_TRUE(TakeCalls().empty());
}

}  // namespace
}  // namespace korvex::test
