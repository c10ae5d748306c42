// Formatting a log line on the caller's stack: no allocation, no lock, no locale or time-zone
// lookup (the calendar date is computed here, so the camera's callback thread may log too).
#include "diagnostics/log_line.h"

#include <cstdio>

namespace korvex::diagnostics {
namespace {

struct CivilTime {
    int year, month, day, hour, minute, second, millisecond;
};

// The proleptic Gregorian date of a day counted from 1970-01-01, by eras of 400 years
// (146097 days) that start on March 1st, so that the leap day is the last of its year.
void DateFromDays(int64_t days, CivilTime& time) {
    days += 719468;  // from 0000-03-01
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    time.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    time.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    time.year = static_cast<int>(yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0));
}

CivilTime ToCivilTime(int64_t wallMicroseconds) {
    const int64_t microseconds = wallMicroseconds < 0 ? 0 : wallMicroseconds;
    const int64_t seconds = microseconds / 1000000;
    CivilTime time{};
    DateFromDays(seconds / 86400, time);
    const int64_t secondOfDay = seconds % 86400;
    time.hour = static_cast<int>(secondOfDay / 3600);
    time.minute = static_cast<int>(secondOfDay / 60 % 60);
    time.second = static_cast<int>(secondOfDay % 60);
    time.millisecond = static_cast<int>(microseconds / 1000 % 1000);
    return time;
}

std::size_t FormatHeader(char* out, std::size_t capacity, const LogLineHeader& header) {
    const CivilTime time = ToCivilTime(header.wallMicroseconds);
    const int64_t monotonic = header.monotonicMicroseconds < 0 ? 0 : header.monotonicMicroseconds;
    const std::string_view domain = DomainName(header.domain);
    int length = std::snprintf(out, capacity, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ %lld.%06lld [%u] %s %-9.*s ",
                               time.year, time.month, time.day, time.hour, time.minute, time.second, time.millisecond,
                               static_cast<long long>(monotonic / 1000000), static_cast<long long>(monotonic % 1000000),
                               static_cast<unsigned>(header.thread), LevelLabel(header.level),
                               static_cast<int>(domain.size()), domain.data());
    if (length < 0) return 0;
    if (header.camera != kNoCamera && static_cast<std::size_t>(length) < capacity) {
        const int more =
            std::snprintf(out + length, capacity - static_cast<std::size_t>(length), "camera %d: ", header.camera);
        if (more > 0) length += more;
    }
    return static_cast<std::size_t>(length) < capacity ? static_cast<std::size_t>(length) : capacity - 1;
}

// Control characters become spaces; trailing blanks go. Returns the sentence's new length.
std::size_t CleanSentence(char* sentence, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(sentence[i]);
        if (c < 0x20 || c == 0x7F) sentence[i] = ' ';
    }
    while (length > 0 && sentence[length - 1] == ' ') --length;
    return length;
}

}  // namespace

std::size_t VFormatLogLine(char* out, std::size_t capacity, const LogLineHeader& header, const char* format,
                           va_list arguments) {
    const std::size_t headerLength = FormatHeader(out, capacity - 1, header);  // room kept for '\n'
    char* sentence = out + headerLength;
    const std::size_t room = capacity - 1 - headerLength;  // for the sentence and its terminating zero
    const int wanted = std::vsnprintf(sentence, room, format, arguments);
    std::size_t length = wanted < 0 ? 0 : static_cast<std::size_t>(wanted);
    if (length >= room) {
        length = room - 1;
        for (std::size_t i = length > 3 ? length - 3 : 0; i < length; ++i) sentence[i] = '.';
    }
    length = CleanSentence(sentence, length);
    sentence[length] = '\n';
    return headerLength + length + 1;
}

std::size_t FormatLogLine(char* out, std::size_t capacity, const LogLineHeader& header, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::size_t length = VFormatLogLine(out, capacity, header, format, arguments);
    va_end(arguments);
    return length;
}

}  // namespace korvex::diagnostics
