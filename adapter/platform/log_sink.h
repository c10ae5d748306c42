// Where diagnostic log lines go, and the clocks and thread number that each line carries.
//
// Contract, the same on every platform:
// - A sink is standard error or a file opened for appending. WriteLogLine hands a whole line to
//   the system in one call (write, WriteFile) and takes no lock of its own, so lines written by
//   several threads (or processes) at once never interleave, and a thread that writes never
//   waits for another thread's write in this library. It leaves errno and the thread's last
//   system error as they were, so logging never changes what a caller reads from them.
// - OpenLogSink creates the file when missing and appends to it; on failure it gives kNoLogSink
//   and the system's own text for the reason in reason (at most reasonSize - 1 characters).
// - MonotonicMicroseconds never goes back and is unaffected by changes of the wall clock; its
//   origin is the system's (boot on Linux and Windows). WallClockMicroseconds counts from
//   1970-01-01 00:00 UTC.
// - CurrentThreadNumber is the system's number for the calling thread (what a debugger or `top`
//   shows).
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvex::platform {

using LogSink = std::intptr_t;  // a file descriptor on POSIX, a HANDLE on Windows

inline constexpr LogSink kNoLogSink = -1;

LogSink StandardErrorSink();
LogSink OpenLogSink(const char* path, char* reason, std::size_t reasonSize);
void WriteLogLine(LogSink sink, const char* line, std::size_t size);
void CloseLogSink(LogSink sink);  // a sink that OpenLogSink gave

int64_t MonotonicMicroseconds();
int64_t WallClockMicroseconds();
uint32_t CurrentThreadNumber();

}  // namespace korvex::platform
