// Log sink on POSIX: a file descriptor opened with O_APPEND, one write() per line.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/log_sink.h"

namespace korvex::platform {
namespace {

int64_t Microseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// Zero until the thread first asks: a plain thread-local needs no constructor.
thread_local uint32_t threadNumber = 0;

}  // namespace

LogSink StandardErrorSink() { return STDERR_FILENO; }

LogSink OpenLogSink(const char* path, char* reason, std::size_t reasonSize) {
    const int savedErrno = errno;
    const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0 && reason != nullptr && reasonSize > 0) std::snprintf(reason, reasonSize, "%s", std::strerror(errno));
    errno = savedErrno;
    return fd < 0 ? kNoLogSink : fd;
}

void WriteLogLine(LogSink sink, const char* line, std::size_t size) {
    if (sink == kNoLogSink) return;
    const int savedErrno = errno;
    // One write() appends the whole line at the end of the file (O_APPEND); the loop only goes
    // round again when a signal or a full disk cut the write short.
    while (size > 0) {
        const ssize_t written = write(static_cast<int>(sink), line, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
        line += written;
        size -= static_cast<std::size_t>(written);
    }
    errno = savedErrno;
}

void CloseLogSink(LogSink sink) {
    if (sink == kNoLogSink) return;
    const int savedErrno = errno;
    close(static_cast<int>(sink));
    errno = savedErrno;
}

int64_t MonotonicMicroseconds() { return Microseconds(CLOCK_MONOTONIC); }

int64_t WallClockMicroseconds() { return Microseconds(CLOCK_REALTIME); }

uint32_t CurrentThreadNumber() {
    if (threadNumber == 0) threadNumber = static_cast<uint32_t>(gettid());
    return threadNumber;
}

}  // namespace korvex::platform
