// Log sink on Windows: a file handle opened for appending only, one WriteFile per line.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "platform/log_sink.h"

namespace korvex::platform {
namespace {

HANDLE ToHandle(LogSink sink) { return reinterpret_cast<HANDLE>(sink); }

// The system's text for an error, without its trailing line break.
void DescribeError(DWORD error, char* reason, std::size_t reasonSize) {
    if (reason == nullptr || reasonSize == 0) return;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        reason, static_cast<DWORD>(reasonSize), nullptr);
    if (length == 0) {
        std::snprintf(reason, reasonSize, "system error %lu", static_cast<unsigned long>(error));
        return;
    }
    for (DWORD end = length; end > 0 && (reason[end - 1] == '\r' || reason[end - 1] == '\n' || reason[end - 1] == ' ');
         --end)
        reason[end - 1] = '\0';
}

// 100-nanosecond intervals between 1601-01-01 (FILETIME's origin) and 1970-01-01.
constexpr int64_t kUnixEpochInFileTime = 116444736000000000;

}  // namespace

LogSink StandardErrorSink() { return reinterpret_cast<LogSink>(GetStdHandle(STD_ERROR_HANDLE)); }

LogSink OpenLogSink(const char* path, char* reason, std::size_t reasonSize) {
    const DWORD savedError = GetLastError();
    // Append access alone: the system puts every WriteFile at the end of the file, as one piece,
    // also when other handles or processes append at the same time.
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) DescribeError(GetLastError(), reason, reasonSize);
    SetLastError(savedError);
    return file == INVALID_HANDLE_VALUE ? kNoLogSink : reinterpret_cast<LogSink>(file);
}

void WriteLogLine(LogSink sink, const char* line, std::size_t size) {
    if (sink == kNoLogSink || sink == 0) return;
    const DWORD savedError = GetLastError();
    const int savedErrno = errno;
    DWORD written = 0;
    WriteFile(ToHandle(sink), line, static_cast<DWORD>(size), &written, nullptr);
    SetLastError(savedError);
    errno = savedErrno;
}

void CloseLogSink(LogSink sink) {
    if (sink == kNoLogSink) return;
    const DWORD savedError = GetLastError();
    CloseHandle(ToHandle(sink));
    SetLastError(savedError);
}

int64_t MonotonicMicroseconds() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    // Whole seconds and the remainder apart, so that the product cannot overflow.
    const int64_t seconds = counter.QuadPart / frequency.QuadPart;
    const int64_t rest = counter.QuadPart % frequency.QuadPart;
    return seconds * 1000000 + rest * 1000000 / frequency.QuadPart;
}

int64_t WallClockMicroseconds() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const int64_t ticks = (static_cast<int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - kUnixEpochInFileTime) / 10;
}

uint32_t CurrentThreadNumber() { return static_cast<uint32_t>(GetCurrentThreadId()); }

}  // namespace korvex::platform
