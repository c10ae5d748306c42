/* The adapter's 37 exported names, written once. The export files are made from this list when
 * the build is configured (adapter/exports/export_files.cmake): the module definition Korvex.def
 * (the names with their ordinals 1..37 in byte-wise alphabetical order, and their 32-bit
 * decorated symbols) and the version script korvex.map (node KORVEX_1). A test checks korvex.h's
 * declarations against it, entry by entry.
 *
 * KORVEX_EXPORTS(EXPORT) expands, for each function in korvex.h's order, to
 *
 *     EXPORT(returnType, Name, (type, name), (type, name), ...)
 *
 * one parenthesised (type, name) pair per parameter, none for a function without parameters.
 * KORVEX_EXPORT_ALIASES(ALIAS) gives each second name of a function, ALIAS(Name, Function): the
 * same code exported under both. Each entry stands on a line of its own, so that a script can
 * read the list with a regular expression.
 *
 * KORVEX_EXPORT_MAP(MACRO, pairs...) applies a two-argument MACRO to each of none to six pairs
 * and joins the results with commas: KORVEX_EXPORT_MAP(KORVEX_EXPORT_TYPE, __VA_ARGS__) in an
 * EXPORT gives the function's parameter types. */
#pragma once

/* clang-format off */
#define KORVEX_EXPORTS(EXPORT) \
    EXPORT(int16_t, ZqOpenDevice, (int16_t, count)) \
    EXPORT(int16_t, ZqAllocateResources) \
    EXPORT(int16_t, ZqCloseDevice) \
    EXPORT(int16_t, ZqRestatDevice, (int16_t, device)) \
    EXPORT(int16_t, ZqGetDeviceTotal) \
    EXPORT(int16_t, ZqStartGrab, (int16_t, device)) \
    EXPORT(int16_t, ZqStopGrab, (int16_t, device)) \
    EXPORT(int16_t, ZqSetTimeout, (int16_t, milliseconds)) \
    EXPORT(int16_t, ZqExportImageData, (int16_t, device), (uint8_t*, destination), (int16_t, width), (int16_t, height), (int16_t, colour), (int16_t, layout)) \
    EXPORT(int16_t, ZqGrabSingle, (int16_t, device), (uint8_t*, destination), (int16_t, width), (int16_t, height), (int16_t, colour), (int16_t, layout)) \
    EXPORT(int16_t, ZqEnableCross, (int16_t, device), (int16_t, flag)) \
    EXPORT(int16_t, ZqSetCrossPara, (int16_t, device), (int16_t, x), (int16_t, y), (int16_t, width), (int16_t, height), (int16_t, thickness)) \
    EXPORT(int16_t, ZqAutoWhiteBalance, (int16_t, device)) \
    EXPORT(int16_t, ZqSetWhiteBalanceRatio, (int16_t, device), (int16_t, blue), (int16_t, red)) \
    EXPORT(int16_t, ZqResetLutTable, (int16_t, device)) \
    EXPORT(int16_t, ZqSetGamma, (int16_t, device), (int16_t, value)) \
    EXPORT(int16_t, ZqSetShutter, (int16_t, device), (int16_t, unit), (int16_t, value)) \
    EXPORT(int16_t, ZqSetResolution, (int16_t, device), (int16_t, mode)) \
    EXPORT(int16_t, ZqSetAOI, (int16_t, device), (int16_t, left), (int16_t, top), (int16_t, width), (int16_t, height)) \
    EXPORT(int16_t, ZqGetImageWidth, (int16_t, device)) \
    EXPORT(int16_t, ZqGetImageHeight, (int16_t, device)) \
    EXPORT(int16_t, ZqSetGain, (int16_t, device), (int16_t, mode), (int16_t, value)) \
    EXPORT(int16_t, ZqSetChannelGain, (int16_t, device), (int16_t, channel), (int16_t, value)) \
    EXPORT(int16_t, ZqSetADCLevel, (int16_t, device), (int16_t, level)) \
    EXPORT(int16_t, ZqEnableADC, (int16_t, device), (int16_t, flag)) \
    EXPORT(int16_t, ZqSetADCValue, (int16_t, device), (int16_t, value)) \
    EXPORT(int16_t, ZqSetBlanking, (int16_t, device), (int16_t, first), (int16_t, second)) \
    EXPORT(int16_t, ZqSetSnapMode, (int16_t, device), (int16_t, mode)) \
    EXPORT(int16_t, ZqSetSnapSpeed, (int16_t, device), (int16_t, flag)) \
    EXPORT(int16_t, ZqSetTriggerPolarity, (int16_t, device), (int16_t, flag)) \
    EXPORT(int16_t, ZqSetStrobePolarity, (int16_t, device), (int16_t, flag)) \
    EXPORT(int16_t, ZqTriggerShot, (int16_t, device)) \
    EXPORT(uint8_t, ZqGetDeviceType, (int16_t, device), (uint8_t*, buffer)) \
    EXPORT(uint8_t, ZqGetDeviceSeriesNum, (int16_t, device), (uint8_t*, buffer)) \
    EXPORT(uint8_t, ZqGetHardwareVersion, (int16_t, device), (uint8_t*, buffer)) \
    EXPORT(int16_t, ZqGetLastStatus, (int16_t, device))

#define KORVEX_EXPORT_ALIASES(ALIAS) \
    ALIAS(ZqSetTrigerShot, ZqTriggerShot)

#define KORVEX_EXPORT_TYPE(type, name) type
#define KORVEX_EXPORT_MAP(MACRO, ...) \
    KORVEX_EXPORT_CONCAT(KORVEX_EXPORT_MAP_, KORVEX_EXPORT_COUNT(__VA_ARGS__))(MACRO __VA_OPT__(,) __VA_ARGS__)
#define KORVEX_EXPORT_COUNT(...) KORVEX_EXPORT_COUNT_(__VA_ARGS__ __VA_OPT__(,) 6, 5, 4, 3, 2, 1, 0)
#define KORVEX_EXPORT_COUNT_(p1, p2, p3, p4, p5, p6, count, ...) count
#define KORVEX_EXPORT_CONCAT(a, b) KORVEX_EXPORT_CONCAT_(a, b)
#define KORVEX_EXPORT_CONCAT_(a, b) a##b
#define KORVEX_EXPORT_MAP_0(M)
#define KORVEX_EXPORT_MAP_1(M, p1) M p1
#define KORVEX_EXPORT_MAP_2(M, p1, p2) M p1, M p2
#define KORVEX_EXPORT_MAP_3(M, p1, p2, p3) M p1, M p2, M p3
#define KORVEX_EXPORT_MAP_4(M, p1, p2, p3, p4) M p1, M p2, M p3, M p4
#define KORVEX_EXPORT_MAP_5(M, p1, p2, p3, p4, p5) M p1, M p2, M p3, M p4, M p5
#define KORVEX_EXPORT_MAP_6(M, p1, p2, p3, p4, p5, p6) M p1, M p2, M p3, M p4, M p5, M p6
/* clang-format on */
