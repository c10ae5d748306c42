// The built libraries export exactly their interface's names: nothing more, nothing less.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

// The dynamic symbols a shared library defines, as the dynamic linker sees them: "name" for an
// unversioned symbol, "name@@VERSION" for a versioned one.
std::set<std::string> DefinedDynamicSymbols(const std::string& library) {
    const std::string command = "nm -D --defined-only '" + std::string(KORVEX_BINARY_DIR) + "/" + library + "'";
    std::set<std::string> names;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        const std::size_t space = text.rfind(' ');
        const std::string name = text.substr(space + 1);
        const char type = space >= 1 ? text[space - 1] : '?';
        if (type == 'A') continue;  // version nodes, not symbols
        names.insert(name);
    }
    pclose(pipe);
    return names;
}

TEST(Exports, TheAdapterExportsExactlyTheThirtySevenNamesAsVersionKorvex1) {
    const std::set<std::string> names = {
        "ZqAllocateResources", "ZqAutoWhiteBalance",     "ZqCloseDevice",        "ZqEnableADC",
        "ZqEnableCross",       "ZqExportImageData",      "ZqGetDeviceSeriesNum", "ZqGetDeviceTotal",
        "ZqGetDeviceType",     "ZqGetHardwareVersion",   "ZqGetImageHeight",     "ZqGetImageWidth",
        "ZqGetLastStatus",     "ZqGrabSingle",           "ZqOpenDevice",         "ZqResetLutTable",
        "ZqRestatDevice",      "ZqSetADCLevel",          "ZqSetADCValue",        "ZqSetAOI",
        "ZqSetBlanking",       "ZqSetChannelGain",       "ZqSetCrossPara",       "ZqSetGain",
        "ZqSetGamma",          "ZqSetResolution",        "ZqSetShutter",         "ZqSetSnapMode",
        "ZqSetSnapSpeed",      "ZqSetStrobePolarity",    "ZqSetTimeout",         "ZqSetTriggerPolarity",
        "ZqSetTrigerShot",     "ZqSetWhiteBalanceRatio", "ZqStartGrab",          "ZqStopGrab",
        "ZqTriggerShot"};
    ASSERT_EQ(names.size(), 37u);
    std::set<std::string> expected;
    for (const std::string& name : names) expected.insert(name + "@@KORVEX_1");
    EXPECT_EQ(DefinedDynamicSymbols("libKorvex.so"), expected);
}

TEST(Exports, TheCameraLibrariesExportExactlyTheirFunctions) {
    EXPECT_EQ(DefinedDynamicSymbols("libRaw2Rgb.so"),
              (std::set<std::string>{"ConvertBayer2Rgb", "GetWhiteBalanceRatio", "SetGammaLut"}));
    EXPECT_EQ(
        DefinedDynamicSymbols("libHVDAILT.so"),
        (std::set<std::string>{"BeginHVDevice",       "EndHVDevice",       "HVGetDeviceTotal", "HVGetDeviceInfo",
                               "HVSetResolution",     "HVSetOutputWindow", "HVSetSnapMode",    "HVAGCControl",
                               "HVAECControl",        "HVADCControl",      "HVOpenSnap",       "HVStartSnap",
                               "HVSnapShot",          "HVCloseSnap",       "HVTriggerShot",    "HVSetTriggerPolarity",
                               "HVSetStrobePolarity", "HVSetSnapSpeed",    "HVSetBlanking",    "HVCommand"}));
}

TEST(Exports, TheAdapterLinksTheCameraLibrariesBySonameOnly) {
    const std::string command =
        "readelf -d '" + std::string(KORVEX_BINARY_DIR) + "/libKorvex.so' | grep -E 'NEEDED|RPATH|RUNPATH'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) output += line;
    pclose(pipe);
    EXPECT_NE(output.find("[libHVDAILT.so]"), std::string::npos) << output;
    EXPECT_NE(output.find("[libRaw2Rgb.so]"), std::string::npos) << output;
    EXPECT_EQ(output.find("/work"), std::string::npos) << "no fixed path: " << output;
}

}  // namespace
