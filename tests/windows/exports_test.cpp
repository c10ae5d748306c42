// The export table as a Windows host sees it: 37 plain names, ordinals in byte-wise alphabetical
// order from 1, ZqSetTrigerShot and ZqTriggerShot the same code, and nothing else exported.
#include <algorithm>
#include <string>
#include <vector>

#include "korvex_library.h"

namespace korvex::test {
namespace {

const std::vector<std::string> kNames = {"ZqOpenDevice",
                                         "ZqAllocateResources",
                                         "ZqCloseDevice",
                                         "ZqRestatDevice",
                                         "ZqGetDeviceTotal",
                                         "ZqStartGrab",
                                         "ZqStopGrab",
                                         "ZqSetTimeout",
                                         "ZqExportImageData",
                                         "ZqGrabSingle",
                                         "ZqEnableCross",
                                         "ZqSetCrossPara",
                                         "ZqAutoWhiteBalance",
                                         "ZqSetWhiteBalanceRatio",
                                         "ZqResetLutTable",
                                         "ZqSetGamma",
                                         "ZqSetShutter",
                                         "ZqSetResolution",
                                         "ZqSetAOI",
                                         "ZqGetImageWidth",
                                         "ZqGetImageHeight",
                                         "ZqSetGain",
                                         "ZqSetChannelGain",
                                         "ZqSetADCLevel",
                                         "ZqEnableADC",
                                         "ZqSetADCValue",
                                         "ZqSetBlanking",
                                         "ZqSetSnapMode",
                                         "ZqSetSnapSpeed",
                                         "ZqSetTriggerPolarity",
                                         "ZqSetStrobePolarity",
                                         "ZqTriggerShot",
                                         "ZqSetTrigerShot",
                                         "ZqGetDeviceType",
                                         "ZqGetDeviceSeriesNum",
                                         "ZqGetHardwareVersion",
                                         "ZqGetLastStatus"};

FARPROC ByOrdinal(HMODULE module, WORD ordinal) {
    return GetProcAddress(module, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ordinal)));
}

TEST(WinExports, EveryNameResolvesByNameAndByItsAlphabeticalOrdinal) {
    KorvexLibrary kx("Korvex.dll");
    ASSERT_NE(kx.module, nullptr);
    std::vector<std::string> sorted = kNames;
    std::sort(sorted.begin(), sorted.end());  // byte-wise
    ASSERT_EQ(sorted.size(), 37u);
    EXPECT_EQ(sorted.front(), "ZqAllocateResources");
    EXPECT_EQ(sorted.back(), "ZqTriggerShot");
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const FARPROC byName = GetProcAddress(kx.module, sorted[i].c_str());
        EXPECT_NE(byName, nullptr) << sorted[i];
        EXPECT_EQ(ByOrdinal(kx.module, static_cast<WORD>(i + 1)), byName) << sorted[i] << " is not ordinal " << i + 1;
    }
    EXPECT_EQ(ByOrdinal(kx.module, 0), nullptr);
    EXPECT_EQ(ByOrdinal(kx.module, 38), nullptr);
    EXPECT_EQ(GetProcAddress(kx.module, "ZqSetTrigerShot"), GetProcAddress(kx.module, "ZqTriggerShot"));
    // Decorated and C++ names are not exported.
    EXPECT_EQ(GetProcAddress(kx.module, "ZqOpenDevice@4"), nullptr);
    EXPECT_EQ(GetProcAddress(kx.module, "_ZqOpenDevice@4"), nullptr);
}

TEST(WinExports, TheExportDirectoryHoldsThe37NamesAndNothingElse) {
    KorvexLibrary kx("Korvex.dll");
    ASSERT_NE(kx.module, nullptr);
    const auto* base = reinterpret_cast<const BYTE*>(kx.module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    // The headers of the architecture built for: the optional header differs between 32 and 64 bits.
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    EXPECT_EQ(exports->Base, 1u);
    EXPECT_EQ(exports->NumberOfFunctions, 37u);
    ASSERT_EQ(exports->NumberOfNames, 37u);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::vector<std::string> exported;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        exported.emplace_back(reinterpret_cast<const char*>(base + names[i]));
    std::vector<std::string> expected = kNames;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(exported, expected);
}

}  // namespace
}  // namespace korvex::test
