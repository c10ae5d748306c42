// The built libraries export exactly their interface's names: nothing more, nothing less.

// GCC 12 at -O2 with the sanitizers warns of a maybe-uninitialised std::function inside
// libstdc++'s <regex>, a false report in the library's own code; it must not fail the build.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "export_list.h"
#include "korvex.h"

namespace {

// Each function of the list of exported names (from which the version script and the module
// definition are made) is declared in korvex.h with the list's signature, and each second name as
// its function: a difference fails the build. The definitions in exports/ include korvex.h, where
// a C function defined otherwise than declared does not compile.
#define KX_DECLARED_AS_LISTED(returnType, name, ...)                                                                 \
    static_assert(                                                                                                   \
        std::is_same_v<decltype(&::name), returnType(KX_CALL*)(KORVEX_EXPORT_MAP(KORVEX_EXPORT_TYPE, __VA_ARGS__))>, \
        #name " is declared in korvex.h otherwise than listed");
KORVEX_EXPORTS(KX_DECLARED_AS_LISTED)
#undef KX_DECLARED_AS_LISTED
#define KX_DECLARED_AS_ITS_FUNCTION(name, function)                         \
    static_assert(std::is_same_v<decltype(&::name), decltype(&::function)>, \
                  #name " is declared in korvex.h otherwise than " #function);
KORVEX_EXPORT_ALIASES(KX_DECLARED_AS_ITS_FUNCTION)
#undef KX_DECLARED_AS_ITS_FUNCTION

// Every listed name with the address the program links it to, from the shared library.
struct ListedExport {
    std::string name;
    void (*address)();
};
#define KX_LISTED_FUNCTION(returnType, name, ...) {#name, reinterpret_cast<void (*)()>(&::name)},
#define KX_LISTED_ALIAS(name, function) {#name, reinterpret_cast<void (*)()>(&::name)},
const std::vector<ListedExport> kListed = {KORVEX_EXPORTS(KX_LISTED_FUNCTION) KORVEX_EXPORT_ALIASES(KX_LISTED_ALIAS)};
#undef KX_LISTED_FUNCTION
#undef KX_LISTED_ALIAS

// The names of the functions korvex.h declares, read from its text.
std::multiset<std::string> DeclaredInHeader() {
    std::ifstream in(KORVEX_PUBLIC_HEADER);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string header = text.str();
    const std::regex declaration(R"(KX_API\s+\w+\s+KX_CALL\s+(\w+)\s*\()");
    std::multiset<std::string> names;
    for (auto match = std::sregex_iterator(header.begin(), header.end(), declaration); match != std::sregex_iterator();
         ++match)
        names.insert((*match)[1]);
    return names;
}

TEST(Exports, TheListNamesEachFunctionOfTheHeaderOnceAndTheLibraryDefinesThem) {
    std::multiset<std::string> listed;
    for (const ListedExport& entry : kListed) {
        listed.insert(entry.name);
        EXPECT_NE(entry.address, nullptr) << entry.name;
    }
    EXPECT_EQ(listed.size(), 37u);
    EXPECT_EQ(listed, DeclaredInHeader());
    EXPECT_EQ(reinterpret_cast<void (*)()>(&ZqSetTrigerShot), reinterpret_cast<void (*)()>(&ZqTriggerShot));
}

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
