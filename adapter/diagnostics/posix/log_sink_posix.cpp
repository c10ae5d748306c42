// Log sink on POSIX: one write() per line on a descriptor that never waits for a reader.
//
// A file named by KORVEX_LOG_FILE is opened with O_NONBLOCK and O_APPEND: a FIFO without a reader
// is refused at once (ENXIO) instead of waiting for one, and a full pipe refuses a line (EAGAIN)
// instead of stopping the thread. Lines are at most 2 KiB, under PIPE_BUF, so a pipe takes each
// line whole or not at all.
//
// Standard error belongs to the host, and O_NONBLOCK is a flag of the open file description that a
// dup() shares, so setting it on fd 2 or on a copy would make the host's own writes fail with
// EAGAIN. Instead:
// - a pipe, FIFO or terminal is opened anew through /proc/self/fd/2: a description of our own on
//   the same pipe or terminal, which alone carries O_NONBLOCK;
// - a socket is written with send(MSG_DONTWAIT), which does not wait whatever the flags;
// - a regular file is written through fd 2 as it is: a disk has no reader to stall, and a new
//   description would write at its own offset over the host's lines;
// - a pipe that cannot be reopened (no /proc) is written only when poll() says it has room. Two
//   threads that both see room for one line may still see one of them wait; that is the one case
//   left, and it needs a system without /proc.
// A reader that went away gives EPIPE, never SIGPIPE: the signal is held back around the write.
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "diagnostics/log_sink.h"

namespace korvex::diagnostics {
namespace {

int64_t Microseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// Zero until the thread first asks: a plain thread-local needs no constructor.
thread_local uint32_t threadNumber = 0;

bool IsPipeOrTerminal(const struct stat& status) { return S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode); }

// write() with SIGPIPE held back for this thread, so that a reader that closed its end makes the
// write fail with EPIPE instead of ending the host. A SIGPIPE of the host's own that was already
// pending stays pending.
ssize_t WriteHoldingBackBrokenPipe(int fd, const char* data, std::size_t size) {
    sigset_t brokenPipe;
    sigemptyset(&brokenPipe);
    sigaddset(&brokenPipe, SIGPIPE);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &brokenPipe, &previous);
    sigset_t pending;
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    ssize_t written = 0;
    do written = write(fd, data, size);
    while (written < 0 && errno == EINTR);
    if (written < 0 && errno == EPIPE && !alreadyPending) {
        const timespec noWait{};
        while (sigtimedwait(&brokenPipe, nullptr, &noWait) < 0 && errno == EINTR) {}
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return written;
}

bool HasRoom(int fd) {
    pollfd writable{fd, POLLOUT, 0};
    return poll(&writable, 1, 0) == 1 && (writable.revents & POLLOUT) != 0;
}

}  // namespace

LogSink OpenStandardErrorSink() {
    const int savedErrno = errno;
    LogSink sink{STDERR_FILENO, SinkWay::Plain, false};
    struct stat status {};
    if (fstat(STDERR_FILENO, &status) != 0) {
        sink.handle = -1;  // closed: nowhere to write
    } else if (S_ISSOCK(status.st_mode)) {
        sink.way = SinkWay::Socket;
    } else if (IsPipeOrTerminal(status)) {
        const int own = open("/proc/self/fd/2", O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        sink = own >= 0 ? LogSink{own, SinkWay::PipeWithoutWait, true}
                        : LogSink{STDERR_FILENO, SinkWay::PipeByRoomLeft, false};
    }
    errno = savedErrno;
    return sink;
}

LogSink OpenLogSink(const char* path, char* reason, std::size_t reasonSize) {
    const int savedErrno = errno;
    const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd < 0 && reason != nullptr && reasonSize > 0) {
        // ENXIO is how a non-blocking open says that a FIFO has no reader.
        std::snprintf(reason, reasonSize, "%s", errno == ENXIO ? "a FIFO with no reader" : std::strerror(errno));
    }
    LogSink sink{fd, SinkWay::Plain, fd >= 0};
    struct stat status {};
    if (fd >= 0 && fstat(fd, &status) == 0 && IsPipeOrTerminal(status)) sink.way = SinkWay::PipeWithoutWait;
    errno = savedErrno;
    return sink;
}

bool WriteLogLine(const LogSink& sink, const char* line, std::size_t size) {
    if (!HasHandle(sink)) return false;
    const int savedErrno = errno;
    const int fd = static_cast<int>(sink.handle);
    ssize_t written = -1;
    switch (sink.way) {
        case SinkWay::Plain:
            do written = write(fd, line, size);
            while (written < 0 && errno == EINTR);
            break;
        case SinkWay::Socket:
            do written = send(fd, line, size, MSG_DONTWAIT | MSG_NOSIGNAL);
            while (written < 0 && errno == EINTR);
            break;
        case SinkWay::PipeWithoutWait: written = WriteHoldingBackBrokenPipe(fd, line, size); break;
        case SinkWay::PipeByRoomLeft:
            if (HasRoom(fd)) written = WriteHoldingBackBrokenPipe(fd, line, size);
            break;
    }
    errno = savedErrno;
    return written == static_cast<ssize_t>(size);
}

void CloseLogSink(const LogSink& sink) {
    if (!sink.owned || !HasHandle(sink)) return;
    const int savedErrno = errno;
    close(static_cast<int>(sink.handle));
    errno = savedErrno;
}

int64_t MonotonicMicroseconds() { return Microseconds(CLOCK_MONOTONIC); }

int64_t WallClockMicroseconds() { return Microseconds(CLOCK_REALTIME); }

uint32_t CurrentThreadNumber() {
    if (threadNumber == 0) threadNumber = static_cast<uint32_t>(gettid());
    return threadNumber;
}

}  // namespace korvex::diagnostics
