// Where diagnostic log lines go, and the clocks and thread number that each line carries. The
// lowest layer of the adapter: it includes nothing of the adapter's, so every layer may log.
//
// Contract, the same on every platform:
// - A sink is standard error or a file opened for appending. WriteLogLine hands a whole line to
//   the system in one call and takes no lock of its own, so lines written by several threads (or
//   processes) at once never interleave, and a thread that writes never waits for another
//   thread's write in this library.
// - A write never waits for the reader of a pipe, a FIFO or a terminal: a line that the
//   destination cannot take at once is not written, and WriteLogLine returns false. The caller
//   counts it. Opening never waits either: a FIFO with no reader is refused.
// - Standard error is written without changing the flags of the host's descriptor or handle
//   (see each platform's file for how).
// - Writing leaves errno and the thread's last system error as they were, so logging never
//   changes what a caller reads from them; a reader that went away does not end the process.
// - OpenLogSink creates the file when missing and appends to it; on failure it gives a sink
//   without a handle and the system's own text for the reason in reason (at most reasonSize - 1
//   characters).
// - MonotonicMicroseconds never goes back and is unaffected by changes of the wall clock; its
//   origin is the system's (boot on Linux and Windows). WallClockMicroseconds counts from
//   1970-01-01 00:00 UTC.
// - CurrentThreadNumber is the system's number for the calling thread (what a debugger or `top`
//   shows).
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvex::diagnostics {

// How a sink's lines reach the system; each platform's file says what each means there.
enum class SinkWay : uint8_t {
    Plain,            // a regular file or a descriptor of our own that never waits
    Socket,           // standard error is a socket: sent without waiting
    PipeWithoutWait,  // a pipe (or FIFO, terminal) of our own, set not to wait
    PipeByRoomLeft,   // standard error is a pipe that we cannot reopen: written when there is room
};

struct LogSink {
    std::intptr_t handle = -1;  // a file descriptor on POSIX, a HANDLE on Windows; -1 for none
    SinkWay way = SinkWay::Plain;
    bool owned = false;  // opened by us, closed by CloseLogSink
};

inline bool HasHandle(const LogSink& sink) { return sink.handle != -1; }

LogSink OpenStandardErrorSink();
LogSink OpenLogSink(const char* path, char* reason, std::size_t reasonSize);
bool WriteLogLine(const LogSink& sink, const char* line, std::size_t size);  // true: written whole
void CloseLogSink(const LogSink& sink);                                      // closes what the sink owns

int64_t MonotonicMicroseconds();
int64_t WallClockMicroseconds();
uint32_t CurrentThreadNumber();

}  // namespace korvex::diagnostics
