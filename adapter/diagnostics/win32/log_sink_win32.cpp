// Log sink on Windows: one WriteFile per line on a handle that never waits for a reader.
//
// A file named by KORVEX_LOG_FILE is opened with append access alone, so that the system puts every
// WriteFile at the end of the file as one piece. When the name is a pipe's (\\.\pipe\...), opening
// fails at once when no end is waiting, and the handle, our own, is set to PIPE_NOWAIT: a full pipe
// then takes nothing and the line is dropped.
//
// Standard error belongs to the host, and a pipe's wait mode is shared by every handle of its file
// object, a duplicated one too, so it is left as it is. A line goes into such a pipe only when the
// pipe's free space (its write quota, as the system reports it) holds the whole line; two threads
// that both see room for one line may still see one of them wait briefly. A console or a file is
// written as it is.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "diagnostics/log_sink.h"

namespace korvex::diagnostics {
namespace {

HANDLE ToHandle(const LogSink& sink) { return reinterpret_cast<HANDLE>(sink.handle); }

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

// NtQueryInformationFile's pipe record (FilePipeLocalInformation, class 24), as ntdll defines it.
struct PipeLocalInformation {
    ULONG namedPipeType, namedPipeConfiguration, maximumInstances, currentInstances, inboundQuota, readDataAvailable,
        outboundQuota, writeQuotaAvailable, namedPipeState, namedPipeEnd;
};
struct IoStatus {
    union {
        LONG status;
        PVOID pointer;
    };
    ULONG_PTR information;
};
using QueryInformationFile = LONG(WINAPI*)(HANDLE, IoStatus*, PVOID, ULONG, int);
constexpr int kFilePipeLocalInformation = 24;

// True when the pipe's free space holds size bytes. Where the system cannot say (an emulator
// without the query), the line is written as before rather than every line lost.
bool PipeHasRoom(HANDLE pipe, std::size_t size) {
    static const auto query = [] {
        const FARPROC found = GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationFile");
        return reinterpret_cast<QueryInformationFile>(reinterpret_cast<void (*)()>(found));
    }();
    if (query == nullptr) return true;
    IoStatus io{};
    PipeLocalInformation information{};
    if (query(pipe, &io, &information, sizeof information, kFilePipeLocalInformation) < 0) return true;
    return information.writeQuotaAvailable >= size;
}

}  // namespace

LogSink OpenStandardErrorSink() {
    const DWORD savedError = GetLastError();
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    LogSink sink{-1, SinkWay::Plain, false};
    if (error != nullptr && error != INVALID_HANDLE_VALUE) {
        sink.handle = reinterpret_cast<std::intptr_t>(error);
        if (GetFileType(error) == FILE_TYPE_PIPE) sink.way = SinkWay::PipeByRoomLeft;
    }
    SetLastError(savedError);
    return sink;
}

LogSink OpenLogSink(const char* path, char* reason, std::size_t reasonSize) {
    const DWORD savedError = GetLastError();
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA | FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DescribeError(GetLastError(), reason, reasonSize);
        SetLastError(savedError);
        return LogSink{};
    }
    LogSink sink{reinterpret_cast<std::intptr_t>(file), SinkWay::Plain, true};
    if (GetFileType(file) == FILE_TYPE_PIPE) {
        DWORD noWait = PIPE_NOWAIT;
        sink.way = SetNamedPipeHandleState(file, &noWait, nullptr, nullptr) ? SinkWay::PipeWithoutWait
                                                                            : SinkWay::PipeByRoomLeft;
    }
    SetLastError(savedError);
    return sink;
}

bool WriteLogLine(const LogSink& sink, const char* line, std::size_t size) {
    if (!HasHandle(sink) || sink.handle == 0) return false;
    const DWORD savedError = GetLastError();
    const int savedErrno = errno;
    DWORD written = 0;
    bool whole = false;
    if (sink.way != SinkWay::PipeByRoomLeft || PipeHasRoom(ToHandle(sink), size))
        whole = WriteFile(ToHandle(sink), line, static_cast<DWORD>(size), &written, nullptr) && written == size;
    SetLastError(savedError);
    errno = savedErrno;
    return whole;
}

void CloseLogSink(const LogSink& sink) {
    if (!sink.owned || !HasHandle(sink)) return;
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

}  // namespace korvex::diagnostics
