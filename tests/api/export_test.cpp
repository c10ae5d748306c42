// Frame export formats, sizes and refusals, on an idle camera (no wait) unless stated.
#include "capture_support.h"

namespace korvex::test {
namespace {

constexpr int16_t kColour = 1;
constexpr int16_t kMono = 2;

class ExportTest : public AcquisitionTest {
protected:
    void SetUp() override {
        AcquisitionTest::SetUp();
        OpenAndAllocate(2);
        ZqSetTimeout(0);
        // A real picture in raw buffer 0, which an idle camera exports (its newest buffer index is 0).
        Destination scratch(static_cast<std::size_t>(SensorWidth(kColour)) * SensorHeight(kColour));
        ASSERT_EQ(ZqGrabSingle(kColour, scratch.data(), 8, 8, 0, 1), 1);
        ASSERT_EQ(ZqGrabSingle(kMono, scratch.data(), 8, 8, 0, 1), 1);
    }
    static void ExpectZeroFourthBytes(const Destination& out, std::size_t pixels) {
        for (std::size_t p = 0; p < pixels; ++p) ASSERT_EQ(out[4 * p + 3], 0) << p;
    }
};

TEST_F(ExportTest, EveryPathWritesExactlyItsPixels) {
    struct Case {
        int16_t device, colour, cross;
        std::size_t bytesPerPixel;
    };
    for (const Case c : {Case{kColour, 1, 0, 4}, Case{kColour, 1, 1, 4}, Case{kMono, 0, 0, 1}, Case{kMono, 0, 1, 4}}) {
        ZqEnableCross(0, c.cross);
        ZqSetCrossPara(0, 2, 0, 5, 2, 1);
        Destination out(8 * 2 * c.bytesPerPixel);
        ASSERT_EQ(ZqExportImageData(c.device, out.data(), 8, 2, c.colour, 1), 1);
        EXPECT_TRUE(out.GuardsIntact()) << c.device << c.cross;
        if (c.bytesPerPixel == 4) ExpectZeroFourthBytes(out, 16);
    }
    // Mono 8x2: 16 bytes; with the cross: 64 bytes; each is the whole of its destination.
    Destination mono(16);
    ZqEnableCross(0, 0);
    ASSERT_EQ(ZqExportImageData(kMono, mono.data(), 8, 2, 0, 1), 1);
    EXPECT_EQ(mono.FirstWritten(), 0u);
    Destination grey4(64);
    ZqEnableCross(0, 1);
    ZqSetCrossPara(0, 0, 0, 0, 0, 0);
    ASSERT_EQ(ZqExportImageData(kMono, grey4.data(), 8, 2, 0, 1), 1);
    for (std::size_t p = 0; p < 16; ++p) {
        EXPECT_EQ(grey4[4 * p], mono[p]);
        EXPECT_EQ(grey4[4 * p + 1], mono[p]);
        EXPECT_EQ(grey4[4 * p + 2], mono[p]);
        EXPECT_EQ(grey4[4 * p + 3], 0);
    }
}

TEST_F(ExportTest, InitialCrossValuesChangeNothingButThePixelSize) {
    const int16_t w = 37;  // odd, so that the fast kernels' tails are covered
    const int16_t h = 9;
    Destination off(static_cast<std::size_t>(w) * h * 4);
    Destination on(static_cast<std::size_t>(w) * h * 4);
    ASSERT_EQ(ZqExportImageData(kColour, off.data(), w, h, 1, 2), 1);
    ASSERT_EQ(ZqEnableCross(0, 1), 0);
    ASSERT_EQ(ZqExportImageData(kColour, on.data(), w, h, 1, 2), 1);
    EXPECT_TRUE(std::equal(off.data(), off.data() + off.size() + Destination::kGuardBytes, on.data()));
}

TEST_F(ExportTest, LayoutOutsideOneToFourIsUsedAsOne) {
    const int16_t w = 32;
    const int16_t h = 8;
    auto exportWith = [&](int16_t layout) {
        Destination out(static_cast<std::size_t>(w) * h * 4);
        EXPECT_EQ(ZqExportImageData(kColour, out.data(), w, h, 1, layout), 1);
        return std::vector<uint8_t>(out.data(), out.data() + out.size());
    };
    const std::vector<uint8_t> one = exportWith(1);
    EXPECT_NE(exportWith(2), one);  // the layout does reach the converter
    EXPECT_NE(exportWith(4), one);
    for (int16_t layout : std::initializer_list<int16_t>{0, 5, -1, 32767, -32768})
        EXPECT_EQ(exportWith(layout), one) << layout;
}

TEST_F(ExportTest, OnlyColourFlagOneIsColour) {
    Destination grey(16);
    ASSERT_EQ(ZqExportImageData(kColour, grey.data(), 8, 2, 0, 1), 1);
    for (int16_t flag : std::initializer_list<int16_t>{2, -1, 255}) {
        Destination out(16);
        ASSERT_EQ(ZqExportImageData(kColour, out.data(), 8, 2, flag, 1), 1);
        EXPECT_TRUE(std::equal(grey.data(), grey.data() + 16 + Destination::kGuardBytes, out.data())) << flag;
    }
}

TEST_F(ExportTest, EmptyFrameWritesNothingAndSucceeds) {
    for (int16_t colour : std::initializer_list<int16_t>{0, 1}) {
        Destination out(0);
        EXPECT_EQ(ZqExportImageData(kColour, out.data(), 0, 5, colour, 1), 1);
        EXPECT_EQ(ZqExportImageData(kColour, out.data(), 5, 0, colour, 9), 1);
        EXPECT_TRUE(out.Untouched());
    }
}

TEST_F(ExportTest, RequestsThatCannotBeServedAreRefusedWithoutAWait) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ZqSetTimeout(-1);  // a refusal that waited would hang here
    const int16_t w = SensorWidth(kMono);
    const int16_t h = SensorHeight(kMono);
    Destination out(64);
    EXPECT_EQ(ZqExportImageData(kMono, out.data(), -1, 2, 0, 1), 0);
    EXPECT_EQ(ZqExportImageData(kMono, out.data(), 2, -1, 0, 1), 0);
    EXPECT_EQ(ZqExportImageData(kMono, nullptr, 2, 2, 0, 1), 0);
    EXPECT_EQ(ZqExportImageData(kMono, out.data(), w, static_cast<int16_t>(h + 1), 0, 1), 0);
    EXPECT_EQ(ZqExportImageData(0, out.data(), 2, 2, 0, 1), 0);
    EXPECT_EQ(ZqExportImageData(11, out.data(), 2, 2, 0, 1), 0);
    EXPECT_EQ(ZqExportImageData(5, out.data(), 2, 2, 0, 1), 0);  // never opened: no buffers
    EXPECT_TRUE(out.Untouched());
    EXPECT_TRUE(TakeMessages().empty());
    // None of them consumed the signal of this frame.
    ASSERT_EQ(hvsim_deliver_frames(kMono, 1), 1);
    ZqSetTimeout(0);
    EXPECT_EQ(ZqExportImageData(kMono, out.data(), 8, 2, 0, 1), 1);
}

TEST_F(ExportTest, FullSensorColourFrameFillsTheDestinationExactly) {
    const int16_t w = SensorWidth(kColour);
    const int16_t h = SensorHeight(kColour);
    const std::size_t pixels = static_cast<std::size_t>(w) * h;
    Destination out(pixels * 4);
    ASSERT_EQ(ZqExportImageData(kColour, out.data(), w, h, 1, 1), 1);
    EXPECT_TRUE(out.GuardsIntact());
    ExpectZeroFourthBytes(out, pixels);
    EXPECT_EQ(Stamp(out, w, h, 4).device, kColour);
}

}  // namespace
}  // namespace korvex::test
