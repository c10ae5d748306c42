/* The camera library's statuses in words, written once: HVDAILT_STATUSES(STATUS) expands to
 *
 *     STATUS(number, Name, "words")
 *
 * for each status the adapter knows. 0 is success and anything else a failure; a number not in the
 * list is a failure all the same, shown as an unknown status. The stand-in library returns these
 * numbers; a log line gives the words beside the number, so a number the maker's library gives
 * that is not here is still shown. */
#pragma once

/* clang-format off */
#define HVDAILT_STATUSES(STATUS)                                                           \
    STATUS(0, Success, "success")                                                          \
    STATUS(-1, InvalidHandle, "invalid handle: none, unknown, or of a camera since ended") \
    STATUS(-2, InvalidParameter, "invalid parameter: a null pointer, code or value out of range") \
    STATUS(-3, BadState, "not in this state: e.g. capture started twice")                  \
    STATUS(-4, BufferTooSmall, "buffer too small")                                         \
    STATUS(-5, NotSupported, "not supported by this camera family")                        \
    STATUS(-6, Fault, "fault: the call could not be completed")                            \
    STATUS(-7, Unplugged, "unplugged: the camera is disconnected")
/* clang-format on */
