#include "posix/profile_text.h"

#include <gtest/gtest.h>

namespace korvex::settings {
namespace {

const char* const kFile =
    "; camera settings\n"
    "[Other]\n"
    "RGain=9\n"
    "\n"
    "[video parameter0]\n"
    "  rgain = \"1.5\" \n"
    "GGain=0.9\n"
    "; keep me\n"
    "\n"
    "[Video Parameter1]\n"
    "BGain=2\n";

TEST(ProfileText, FindsSectionsAndKeysWithoutRegardToCase) {
    EXPECT_EQ(FindProfileValue(kFile, "Video Parameter0", "RGain"), "1.5");
    EXPECT_EQ(FindProfileValue(kFile, "VIDEO PARAMETER0", "ggain"), "0.9");
    EXPECT_EQ(FindProfileValue(kFile, "Video Parameter1", "BGain"), "2");
    EXPECT_EQ(FindProfileValue(kFile, "Video Parameter0", "BGain"), std::nullopt);
    EXPECT_EQ(FindProfileValue(kFile, "Video Parameter2", "RGain"), std::nullopt);
    EXPECT_EQ(FindProfileValue("", "A", "B"), std::nullopt);
    EXPECT_EQ(FindProfileValue("[A]\r\nB= x y \r\n", "a", "b"), "x y");
}

TEST(ProfileText, ReplacingAValueKeepsEveryOtherLine) {
    std::string text = SetProfileValue(kFile, "Video Parameter0", "RGain", "1.000000");
    std::string expected = kFile;
    expected.replace(expected.find("  rgain = \"1.5\" "), 16, "  rgain =1.000000");
    EXPECT_EQ(text, expected);
}

TEST(ProfileText, NewKeysGoAfterTheSectionsLastEntryAndNewSectionsAtTheEnd) {
    std::string text = SetProfileValue(kFile, "Video Parameter0", "BGain", "0.5");
    EXPECT_NE(text.find("; keep me\nBGain=0.5\n\n[Video Parameter1]"), std::string::npos) << text;

    text = SetProfileValue(kFile, "Video Parameter2", "RGain", "1.0");
    EXPECT_EQ(text, std::string(kFile) + "[Video Parameter2]\nRGain=1.0\n");

    EXPECT_EQ(SetProfileValue("", "S", "K", "V"), "[S]\nK=V\n");
    EXPECT_EQ(SetProfileValue("[S]", "S", "K", "V"), "[S]\nK=V\n");
    EXPECT_EQ(SetProfileValue("\xEF\xBB\xBF", "S", "K", "V"), "\xEF\xBB\xBF[S]\nK=V\n");  // byte-order mark kept
}

TEST(ProfileText, KeepsWindowsLineEndings) {
    const std::string crlf = "[S]\r\nA=1\r\n";
    EXPECT_EQ(SetProfileValue(crlf, "S", "A", "2"), "[S]\r\nA=2\r\n");
    EXPECT_EQ(SetProfileValue(crlf, "S", "B", "3"), "[S]\r\nA=1\r\nB=3\r\n");
    EXPECT_EQ(SetProfileValue(crlf, "T", "C", "4"), "[S]\r\nA=1\r\n[T]\r\nC=4\r\n");
}

}  // namespace
}  // namespace korvex::settings
