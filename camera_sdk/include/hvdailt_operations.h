/* The camera library's 20 operations, written once. Every other list of them (the declarations
 * in HVDAILT.h, the simulator's entry points and exported wrappers, its operation enum and names,
 * the adapter's Windows import definition) is made from this one, and the adapter's camera-call
 * functions are checked against it. The build reads the list as text too
 * (adapter/exports/function_list.cmake): keep each entry in the shape below.
 *
 * HVDAILT_OPERATIONS(OPERATION) expands, for each operation in declaration order, to
 *
 *     OPERATION(returnType, Name, (type, name), (type, name), ...)
 *
 * one parenthesised (type, name) pair per parameter, at least one and at most
 * HVDAILT_MAX_PARAMETERS. HVDAILT_MAP(MACRO, pairs...) applies a two-argument MACRO to every pair
 * and joins the results with commas, so that an OPERATION can write the parameter list
 *
 *     returnType Name(HVDAILT_MAP(HVDAILT_PARAMETER_DECLARATION, __VA_ARGS__))
 *
 * and a call forwarding the arguments, HVDAILT_MAP(HVDAILT_PARAMETER_NAME, __VA_ARGS__), or
 * anything per argument (its type, its name as text with #name). The types are those of
 * HVDAILT.h, which must be included before an expansion. */
#pragma once

/* clang-format off */
#define HVDAILT_OPERATIONS(OPERATION) \
    OPERATION(HVSTATUS, BeginHVDevice, (int32_t, device), (HHV*, handle)) \
    OPERATION(HVSTATUS, EndHVDevice, (HHV, handle)) \
    OPERATION(HVSTATUS, HVGetDeviceTotal, (int32_t*, count)) \
    OPERATION(HVSTATUS, HVGetDeviceInfo, (HHV, handle), (int32_t, kind), (void*, buffer), (int32_t*, size)) \
    OPERATION(HVSTATUS, HVSetResolution, (HHV, handle), (int32_t, mode)) \
    OPERATION(HVSTATUS, HVSetOutputWindow, (HHV, handle), (int32_t, left), (int32_t, top), (int32_t, width), \
              (int32_t, height)) \
    OPERATION(HVSTATUS, HVSetSnapMode, (HHV, handle), (int32_t, mode)) \
    OPERATION(HVSTATUS, HVAGCControl, (HHV, handle), (uint8_t, code), (int32_t, value)) \
    OPERATION(HVSTATUS, HVAECControl, (HHV, handle), (uint8_t, code), (uint32_t, value)) \
    OPERATION(HVSTATUS, HVADCControl, (HHV, handle), (uint8_t, code), (int32_t, value)) \
    OPERATION(HVSTATUS, HVOpenSnap, (HHV, handle), (HVSnapCallback, callback), (void*, userValue)) \
    OPERATION(HVSTATUS, HVStartSnap, (HHV, handle), (uint8_t**, buffers), (int32_t, count)) \
    OPERATION(HVSTATUS, HVSnapShot, (HHV, handle), (uint8_t**, buffers), (int32_t, count)) \
    OPERATION(HVSTATUS, HVCloseSnap, (HHV, handle)) \
    OPERATION(HVSTATUS, HVTriggerShot, (HHV, handle)) \
    OPERATION(HVSTATUS, HVSetTriggerPolarity, (HHV, handle), (int32_t, polarity)) \
    OPERATION(HVSTATUS, HVSetStrobePolarity, (HHV, handle), (int32_t, polarity)) \
    OPERATION(HVSTATUS, HVSetSnapSpeed, (HHV, handle), (int32_t, speed)) \
    OPERATION(HVSTATUS, HVSetBlanking, (HHV, handle), (int32_t, first), (int32_t, second)) \
    OPERATION(HVSTATUS, HVCommand, (HHV, handle), (int32_t, command), (ControlRecord*, record), (int32_t*, length))

/* Ready-made MACROs for HVDAILT_MAP: a declaration's `type name`, and a call's `name`. */
#define HVDAILT_PARAMETER_DECLARATION(type, name) type name
#define HVDAILT_PARAMETER_NAME(type, name) name

#define HVDAILT_MAX_PARAMETERS 5
#define HVDAILT_MAP(MACRO, ...) HVDAILT_MAP_CONCAT(HVDAILT_MAP_, HVDAILT_MAP_COUNT(__VA_ARGS__))(MACRO, __VA_ARGS__)
#define HVDAILT_MAP_COUNT(...) HVDAILT_MAP_COUNT_(__VA_ARGS__, 5, 4, 3, 2, 1, 0)
#define HVDAILT_MAP_COUNT_(p1, p2, p3, p4, p5, count, ...) count
#define HVDAILT_MAP_CONCAT(a, b) HVDAILT_MAP_CONCAT_(a, b)
#define HVDAILT_MAP_CONCAT_(a, b) a##b
#define HVDAILT_MAP_1(M, p1) M p1
#define HVDAILT_MAP_2(M, p1, p2) M p1, M p2
#define HVDAILT_MAP_3(M, p1, p2, p3) M p1, M p2, M p3
#define HVDAILT_MAP_4(M, p1, p2, p3, p4) M p1, M p2, M p3, M p4
#define HVDAILT_MAP_5(M, p1, p2, p3, p4, p5) M p1, M p2, M p3, M p4, M p5
/* clang-format on */
