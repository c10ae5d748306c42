// One diagnostic log line, formatted into the caller's buffer:
//
//   2026-12-08T13:48:16.123Z 4711.020304 [4242] INFO  guard     camera 2: ZqStartGrab refused: ...
//
// wall time (UTC, milliseconds), monotonic time (seconds and microseconds since the system's
// origin), thread number, level (5 wide), domain (9 wide), "camera N: " where there is a camera,
// and the sentence, ended by one '\n'. Line breaks and other control characters in the sentence
// become spaces and trailing blanks go, so that a line is always one line (system error texts end
// in line breaks); a sentence too long for the buffer ends in "...".
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "diagnostics/log_levels.h"

// printf-style argument checking. MinGW's C++ library formats the GNU way (%lld, %zu), which its
// compiler calls gnu_printf.
#if defined(__GNUC__) && !defined(__clang__)
#define KX_LOG_PRINTF(formatIndex, firstArgument) __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#elif defined(__clang__)
#define KX_LOG_PRINTF(formatIndex, firstArgument) __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define KX_LOG_PRINTF(formatIndex, firstArgument)
#endif

namespace korvex::diagnostics {

// Small enough for one atomic write to a pipe (POSIX guarantees 512 bytes and more), big enough
// for a sentence with a path in it.
inline constexpr std::size_t kMaxLogLine = 1024;

inline constexpr int kNoCamera = 0;

struct LogLineHeader {
    int64_t wallMicroseconds;       // since 1970-01-01 00:00 UTC
    int64_t monotonicMicroseconds;  // since the system's origin
    uint32_t thread;
    Level level;
    Domain domain;
    int camera;  // 1..10, or kNoCamera
};

// Formats the line into out (capacity bytes; at least 128) and returns its length, '\n' included.
std::size_t VFormatLogLine(char* out, std::size_t capacity, const LogLineHeader& header, const char* format,
                           va_list arguments);
std::size_t FormatLogLine(char* out, std::size_t capacity, const LogLineHeader& header, const char* format, ...)
    KX_LOG_PRINTF(4, 5);

}  // namespace korvex::diagnostics
