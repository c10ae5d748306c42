#include "platform/posix/profile_text.h"

#include <cstddef>
#include <vector>

namespace korvex::platform {
namespace {

struct Line {
    std::string_view body;  // without its line break
    std::size_t begin;      // offset of the line in the text
    std::size_t end;        // offset just past its line break
};

// A UTF-8 byte-order mark, as Windows editors write it, belongs to no line: it is kept in the text
// but must not hide the first section.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::size_t FirstLineOffset(std::string_view text) {
    return text.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
}

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t begin = FirstLineOffset(text);
    while (begin < text.size()) {
        std::size_t newline = text.find('\n', begin);
        std::size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
        std::size_t bodyEnd = newline == std::string_view::npos ? text.size() : newline;
        // Every carriage return before the break belongs to the break, so that a rewritten value
        // keeps them all (a file with stray ones is left as it was, not changed a little each time).
        while (bodyEnd > begin && text[bodyEnd - 1] == '\r') --bodyEnd;
        lines.push_back({text.substr(begin, bodyEnd - begin), begin, end});
        begin = end;
    }
    return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    std::size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
    line = Trim(line);
    return !line.empty() && line.front() == ';';
}

// The key of a "key=value" line, or nothing.
std::optional<std::string_view> KeyName(std::string_view line) {
    if (IsComment(line)) return std::nullopt;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(0, equals));
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Index range [first, last) of the lines inside the first section named section.
struct SectionSpan {
    std::size_t header;
    std::size_t first;
    std::size_t last;
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto name = SectionName(lines[i].body);
        if (!name || !SameName(*name, section)) continue;
        std::size_t last = i + 1;
        while (last < lines.size() && !SectionName(lines[last].body)) ++last;
        return SectionSpan{i, i + 1, last};
    }
    return std::nullopt;
}

std::string_view LineBreakOf(std::string_view text) {
    std::size_t newline = text.find('\n');
    if (newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r') return "\r\n";
    return "\n";
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section, std::string_view key) {
    const std::vector<Line> lines = SplitLines(text);
    auto span = FindSection(lines, section);
    if (!span) return std::nullopt;
    for (std::size_t i = span->first; i < span->last; ++i) {
        auto name = KeyName(lines[i].body);
        if (!name || !SameName(*name, key)) continue;
        std::string_view body = lines[i].body;
        return std::string(Unquote(Trim(body.substr(body.find('=') + 1))));
    }
    return std::nullopt;
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
    const std::vector<Line> lines = SplitLines(text);
    const std::string_view lineBreak = LineBreakOf(text);
    std::string entry = std::string(key) + "=" + std::string(value);
    auto span = FindSection(lines, section);
    if (!span) {
        std::string result(text);
        if (result.size() > FirstLineOffset(text) && result.back() != '\n') result += lineBreak;
        result += "[" + std::string(section) + "]" + std::string(lineBreak) + entry + std::string(lineBreak);
        return result;
    }
    for (std::size_t i = span->first; i < span->last; ++i) {
        auto name = KeyName(lines[i].body);
        if (!name || !SameName(*name, key)) continue;
        // Keep the key as the file spells it and the line's own line break.
        std::string_view body = lines[i].body;
        std::string replaced = std::string(body.substr(0, body.find('='))) + "=" + std::string(value);
        return std::string(text.substr(0, lines[i].begin)) + replaced +
               std::string(text.substr(lines[i].begin + body.size()));
    }
    // New key: after the section's last non-blank line, so blank lines before the next section stay.
    std::size_t after = span->header;
    for (std::size_t i = span->first; i < span->last; ++i) {
        if (!Trim(lines[i].body).empty()) after = i;
    }
    std::size_t insertAt = lines[after].end;
    std::string result(text.substr(0, insertAt));
    if (!result.empty() && result.back() != '\n') result += lineBreak;
    result += entry + std::string(lineBreak);
    result += text.substr(insertAt);
    return result;
}

}  // namespace korvex::platform
