#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "control/identification.h"

namespace korvex {
namespace {

TEST(ModelName, NamesSitAtTheirCodesAndEveryOtherCodeHasNone) {
    // The first and last code of each run of names, where a shifted entry would show.
    const std::pair<int32_t, const char*> named[] = {
        {0, "HV1300UC"},  {9, "HV1302UM"},  {10, "HV1300FC"}, {13, "HV1300FM"}, {14, "HV1303UC"}, {17, "HV1303UM"},
        {18, "SV1300FM"}, {24, "SV400FC"},  {25, "SV400FM"},  {27, "SV1410FC"}, {32, "SV2000FM"}, {35, "HV1350UC"},
        {36, "HV2050UC"}, {38, "HV1350UM"}, {42, "HV1360UM"}, {56, "HV1351UC"}, {59, "HV1351UM"},
    };
    for (const auto& [code, name] : named) {
        ASSERT_NE(ModelName(code), nullptr) << code;
        EXPECT_STREQ(ModelName(code), name) << code;
    }
    int namedCount = 0;
    for (int32_t code = 0; code < 60; ++code) {
        const char* name = ModelName(code);
        if (name == nullptr) continue;
        ++namedCount;
        EXPECT_LE(std::strlen(name), 8u) << code;  // fits the 10-byte area with its terminator
    }
    EXPECT_EQ(namedCount, 43);
    for (const int32_t code : {26, 33, 34, 37, 43, 55, 60, -1, INT32_MIN}) EXPECT_EQ(ModelName(code), nullptr) << code;
}

}  // namespace
}  // namespace korvex
