// The diagnostic log: opt-in lines about what the adapter does, by domain and level.
//
//   KX_LOG(Domain::Camera, Level::Debug, device, "BeginHVDevice(%d) -> %d in %lld us", n, status, us);
//
// Off by default, and then free: KX_LOG tests the domain's level with one relaxed atomic load
// before it evaluates any argument, and does nothing else. When the level shows, the line is
// formatted on the stack and written with one system call, with no allocation and no lock, so
// threads never interleave their lines and never wait for each other's writes.
//
// No thread ever waits for the log's destination (diagnostics/log_sink.h): a line that a stalled
// pipe, FIFO or terminal cannot take at once is dropped and counted, and the next line written is
// preceded by a warn line of domain "log" that says how many were dropped.
//
// KORVEX_LOG (see diagnostics/log_filter.h) and KORVEX_LOG_FILE (a file to append to; standard
// error when unset or empty) are read when the first KX_LOG is reached, that is during the first
// exported call that has one, never while the library loads. Nothing here has a
// constructor that runs at load. The first line then names the adapter's version and file, the
// camera libraries loaded, and KORVEX_LOG. A KORVEX_LOG entry that is not understood is skipped
// and named in a warn line of domain "log", written whatever the levels are, so that a misspelt
// variable is noticed; a KORVEX_LOG_FILE that cannot be opened (a FIFO with no reader among them)
// gives a warn line with the system's reason on standard error and the lines go there.
//
// From the camera's frame callback, log only at Level::Trace: tracing is the one level whose
// cost on the callback thread (a format and a write) was asked for.
#pragma once

#include <atomic>
#include <cstdint>

#include "diagnostics/log_levels.h"
#include "diagnostics/log_line.h"

namespace korvex::diagnostics {

namespace detail {
// Each domain's level. Until the environment has been read they hold kUnread, above every
// level, so that the first line of any domain reaches WriteLog, which reads it.
inline constexpr uint8_t kUnread = 0xFF;
extern std::atomic<uint8_t> domainLevels[kDomainCount];
}  // namespace detail

// True when a line of this domain and level would be written (or the log is not set up yet).
inline bool LogEnabled(Domain domain, Level level) {
    const uint8_t shown = detail::domainLevels[static_cast<std::size_t>(domain)].load(std::memory_order_relaxed);
    return __builtin_expect(static_cast<uint8_t>(level) <= shown, 0);
}

// Writes one line when the domain shows the level; camera is 1..10 or kNoCamera. Use KX_LOG, which
// skips the call and the arguments when the level is off.
void WriteLog(Domain domain, Level level, int camera, const char* format, ...) KX_LOG_PRINTF(4, 5);

// Replaces what KORVEX_LOG and KORVEX_LOG_FILE would give with filter and path (nullptr or "" for
// standard error). For tests and for a set-up before any thread logs: a thread writing at the
// same time may lose its line.
void ConfigureLog(const char* filter, const char* path);

// The monotonic clock of the lines, in microseconds, for durations that a line reports.
int64_t LogClockMicroseconds();

}  // namespace korvex::diagnostics

#define KX_LOG(domain, level, camera, ...)                                       \
    do {                                                                         \
        if (::korvex::diagnostics::LogEnabled(domain, level))                    \
            ::korvex::diagnostics::WriteLog(domain, level, camera, __VA_ARGS__); \
    } while (0)
