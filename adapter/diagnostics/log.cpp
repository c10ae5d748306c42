// The log's state: each domain's level and the sink, set once from the environment.
#include "diagnostics/log.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "diagnostics/log_filter.h"
#include "platform/log_sink.h"

namespace korvex::diagnostics {

namespace detail {
// Constant-initialised: no constructor runs at load.
std::atomic<uint8_t> domainLevels[kDomainCount] = {kUnread, kUnread, kUnread, kUnread, kUnread,
                                                   kUnread, kUnread, kUnread, kUnread, kUnread};
}  // namespace detail

namespace {

static_assert(sizeof(detail::domainLevels) / sizeof(detail::domainLevels[0]) == kDomainCount);

std::once_flag environmentRead;  // constexpr constructor
std::atomic<platform::LogSink> sink{platform::kNoLogSink};
bool sinkIsFile = false;  // set up by Apply alone: standard error is never closed

void WriteLine(Domain domain, Level level, int camera, const char* format, va_list arguments) {
    const int savedErrno = errno;
    const LogLineHeader header{platform::WallClockMicroseconds(),
                               platform::MonotonicMicroseconds(),
                               platform::CurrentThreadNumber(),
                               level,
                               domain,
                               camera};
    char line[kMaxLogLine];
    const std::size_t length = VFormatLogLine(line, sizeof line, header, format, arguments);
    platform::WriteLogLine(sink.load(std::memory_order_acquire), line, length);
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
                     "KORVEX_LOG entry '%.*s' skipped: not a level (off, error, warn, info, debug, trace) or "
                     "domain:level (domains lifecycle, guard, camera, capture, export, colour, settings, message, "
                     "control, log, *)",
                     static_cast<int>(entry.size() > 64 ? 64 : entry.size()), entry.data());
    }
    if (filter.skippedCount > kMaxSkippedEntries)
        WriteLineNow(Domain::Log, Level::Warn, "KORVEX_LOG: %zu more entries skipped",
                     filter.skippedCount - kMaxSkippedEntries);
}

void Apply(const char* filterText, const char* path) {
    const LogFilter filter = ParseLogFilter(filterText == nullptr ? std::string_view{} : std::string_view{filterText});
    const bool needSink = AnyDomainOn(filter) || filter.skippedCount > 0;
    const bool toFile = needSink && path != nullptr && *path != '\0';
    char reason[256] = "";
    platform::LogSink opened = toFile ? platform::OpenLogSink(path, reason, sizeof reason) : platform::kNoLogSink;
    const bool fellBack = toFile && opened == platform::kNoLogSink;
    if (needSink && opened == platform::kNoLogSink) opened = platform::StandardErrorSink();
    const platform::LogSink previous = sink.exchange(opened, std::memory_order_acq_rel);
    if (sinkIsFile) platform::CloseLogSink(previous);
    sinkIsFile = toFile && !fellBack;
    for (std::size_t i = 0; i < kDomainCount; ++i)
        detail::domainLevels[i].store(static_cast<uint8_t>(filter.levels[i]), std::memory_order_release);
    if (fellBack)
        WriteLineNow(Domain::Log, Level::Warn, "KORVEX_LOG_FILE '%s' cannot be opened (%s); logging to standard error",
                     path, reason);
    ReportSkippedEntries(filter);
}

void ReadEnvironment() {
    std::call_once(environmentRead, [] { Apply(std::getenv("KORVEX_LOG"), std::getenv("KORVEX_LOG_FILE")); });
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
    Apply(filter, path);
}

int64_t LogClockMicroseconds() { return platform::MonotonicMicroseconds(); }

}  // namespace korvex::diagnostics
