// The log's state: each domain's level and the sink, set once from the environment, and the count
// of lines that the sink could not take.
#include "diagnostics/log.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "diagnostics/loaded_libraries.h"
#include "diagnostics/log_filter.h"
#include "diagnostics/log_sink.h"

#ifndef KORVEX_VERSION
#define KORVEX_VERSION "unknown"
#endif

namespace korvex::diagnostics {

namespace detail {
// Constant-initialised: no constructor runs at load.
#define KX_LOG_UNREAD(...) kUnread,
std::atomic<uint8_t> domainLevels[kDomainCount] = {KX_LOG_DOMAINS(KX_LOG_UNREAD)};
#undef KX_LOG_UNREAD
}  // namespace detail

namespace {

// The camera libraries whose paths the start line gives.
constexpr const char* kCameraLibraries[] = {"HVDAILT", "Raw2Rgb"};

std::once_flag environmentRead;  // constexpr constructor
// Two places for a sink, used in turn, so that a new sink never overwrites the one that a thread
// may still be writing through.
LogSink sinks[2];
std::atomic<const LogSink*> sink{nullptr};
std::atomic<uint64_t> droppedLines{0};  // lines the sink did not take since the last one it took

// Formats the line, after a warning of the lines dropped before it when there are any, and hands
// both to the sink in one write. A line that the sink does not take is counted, never retried.
void WriteLine(Domain domain, Level level, int camera, const char* format, va_list arguments) {
    const LogSink* current = sink.load(std::memory_order_acquire);
    if (current == nullptr) return;
    const int savedErrno = errno;
    LogLineHeader header{
        WallClockMicroseconds(), MonotonicMicroseconds(), CurrentThreadNumber(), Level::Warn, Domain::Log, kNoCamera};
    char text[2 * kMaxLogLine];  // at most two lines: within PIPE_BUF, so a pipe takes both or neither
    std::size_t length = 0;
    const uint64_t dropped = droppedLines.exchange(0, std::memory_order_acq_rel);
    if (dropped != 0)
        length = FormatLogLine(text, kMaxLogLine, header,
                               "%" PRIu64 " lines dropped before this one: the log's destination was not taking them",
                               dropped);
    header.level = level;
    header.domain = domain;
    header.camera = camera;
    length += VFormatLogLine(text + length, kMaxLogLine, header, format, arguments);
    if (!WriteLogLine(*current, text, length)) droppedLines.fetch_add(dropped + 1, std::memory_order_acq_rel);
    errno = savedErrno;
}

void WriteLineNow(Domain domain, Level level, const char* format, ...) KX_LOG_PRINTF(3, 4);
void WriteLineNow(Domain domain, Level level, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    WriteLine(domain, level, kNoCamera, format, arguments);
    va_end(arguments);
}

// Says which entries of KORVEX_LOG were skipped.
void ReportSkippedEntries(const LogFilter& filter) {
    for (std::size_t i = 0; i < filter.skippedCount && i < kMaxSkippedEntries; ++i) {
        const std::string_view entry = filter.skipped[i];
        WriteLineNow(Domain::Log, Level::Warn,
                     "KORVEX_LOG entry '%.*s' skipped: not a level (%s) or domain:level (domains %s, *)",
                     static_cast<int>(entry.size() > 64 ? 64 : entry.size()), entry.data(), kLevelNameList,
                     kDomainNameList);
    }
    if (filter.skippedCount > kMaxSkippedEntries)
        WriteLineNow(Domain::Log, Level::Warn, "KORVEX_LOG: %zu more entries skipped",
                     filter.skippedCount - kMaxSkippedEntries);
}

// The first line: which adapter, which camera libraries, and what KORVEX_LOG asked for.
void WriteStartLine(const char* filterText) {
    char own[512] = "?";
    OwnLibraryPath(own, sizeof own);
    char cameraLibraries[600] = "";
    std::size_t used = 0;
    for (const char* name : kCameraLibraries) {
        char path[256];
        if (!LoadedLibraryPath(name, path, sizeof path)) std::snprintf(path, sizeof path, "%s not loaded", name);
        if (used < sizeof cameraLibraries)
            used += static_cast<std::size_t>(std::snprintf(cameraLibraries + used, sizeof cameraLibraries - used,
                                                           "%s%s", used == 0 ? "" : ", ", path));
    }
    WriteLineNow(Domain::Log, Level::Info, "Korvex %s (%s); camera libraries %s; KORVEX_LOG=%s", KORVEX_VERSION, own,
                 cameraLibraries, filterText == nullptr ? "" : filterText);
}

// Sets the levels and the sink, and writes the start line first when asked.
void Apply(const char* filterText, const char* path, bool withStartLine) {
    const LogFilter filter = ParseLogFilter(filterText == nullptr ? std::string_view{} : std::string_view{filterText});
    const bool needSink = AnyDomainOn(filter) || filter.skippedCount > 0;
    const bool toFile = needSink && path != nullptr && *path != '\0';
    char reason[256] = "";
    LogSink opened = toFile ? OpenLogSink(path, reason, sizeof reason) : LogSink{};
    const bool fellBack = toFile && !HasHandle(opened);
    if (needSink && !HasHandle(opened)) opened = OpenStandardErrorSink();

    const LogSink* previous = sink.load(std::memory_order_acquire);
    LogSink* next = previous == &sinks[0] ? &sinks[1] : &sinks[0];
    *next = opened;
    sink.store(needSink ? next : nullptr, std::memory_order_release);
    if (previous != nullptr) CloseLogSink(*previous);
    droppedLines.store(0, std::memory_order_relaxed);
    for (std::size_t i = 0; i < kDomainCount; ++i)
        detail::domainLevels[i].store(static_cast<uint8_t>(filter.levels[i]), std::memory_order_release);
    if (needSink && withStartLine) WriteStartLine(filterText);
    // The reason first: a long path is what the line's length limit cuts, never the reason.
    if (fellBack)
        WriteLineNow(Domain::Log, Level::Warn,
                     "KORVEX_LOG_FILE cannot be opened (%s), logging to standard error instead: '%s'", reason, path);
    ReportSkippedEntries(filter);
}

void ReadEnvironment() {
    std::call_once(environmentRead, [] { Apply(std::getenv("KORVEX_LOG"), std::getenv("KORVEX_LOG_FILE"), true); });
}

}  // namespace

void WriteLog(Domain domain, Level level, int camera, const char* format, ...) {
    ReadEnvironment();
    const uint8_t shown = detail::domainLevels[static_cast<std::size_t>(domain)].load(std::memory_order_acquire);
    if (static_cast<uint8_t>(level) > shown || level == Level::Off) return;
    va_list arguments;
    va_start(arguments, format);
    WriteLine(domain, level, camera, format, arguments);
    va_end(arguments);
}

void ConfigureLog(const char* filter, const char* path) {
    std::call_once(environmentRead, [] {});  // the environment no longer applies
    Apply(filter, path, false);
}

int64_t LogClockMicroseconds() { return MonotonicMicroseconds(); }

}  // namespace korvex::diagnostics
