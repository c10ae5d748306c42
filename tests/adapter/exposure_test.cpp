#include "control/exposure.h"

#include <gtest/gtest.h>

#include "exposure_examples.h"

namespace korvex {
namespace {

TEST(ExposureRows, KnownSettingsGiveTheirRowCounts) {
    for (const test::ExposureExample& e : test::kExposureExamples) {
        EXPECT_EQ(ExposureRows(ClassifyExposure(e.typeCode), e.unit, e.value, e.width, e.resolutionMode), e.rows)
            << "code " << e.typeCode << " unit " << e.unit << " value " << e.value << " width " << e.width << " mode "
            << e.resolutionMode;
    }
}

TEST(ExposureRows, NothingIsComputedForSvCamerasOrUnknownUnits) {
    EXPECT_EQ(ExposureRows(ExposureClass::SvDirect, 1, 10, 1280, 0), std::nullopt);
    for (const ExposureClass c : {ExposureClass::DefaultRows, ExposureClass::Hv2Rows, ExposureClass::Hv3Rows}) {
        EXPECT_EQ(ExposureRows(c, 3, 10, 1280, 0), std::nullopt);
        EXPECT_EQ(ExposureRows(c, -1, 10, 1280, 0), std::nullopt);
    }
}

TEST(ExposureRows, AZeroRowLengthSaturatesInsteadOfDividingByZero) {
    EXPECT_EQ(ExposureRows(ExposureClass::DefaultRows, 1, 10, -244, 0), 16383u);
}

TEST(ClassifyExposure, CodesAtTheFamilyBordersFallOnTheRightSide) {
    struct Case {
        int32_t code;
        ExposureClass expected;
    };
    const Case cases[] = {
        {17, ExposureClass::DefaultRows}, {18, ExposureClass::SvDirect},    {34, ExposureClass::SvDirect},
        {35, ExposureClass::DefaultRows}, {36, ExposureClass::Hv2Rows},     {37, ExposureClass::Hv3Rows},
        {-1, ExposureClass::DefaultRows}, {60, ExposureClass::DefaultRows}, {0, ExposureClass::DefaultRows},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassifyExposure(c.code), c.expected) << "code " << c.code;
}

}  // namespace
}  // namespace korvex
