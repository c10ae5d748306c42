#include "posix/profile_text.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace korvex::settings {
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

// Calls visit for every line after the byte-order mark, in order.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    std::size_t begin = FirstLineOffset(text);
    while (begin < text.size()) {
        std::size_t newline = text.find('\n', begin);
        std::size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
        std::size_t bodyEnd = newline == std::string_view::npos ? text.size() : newline;
        // Every carriage return before the break belongs to the break, so that a rewritten value
        // keeps them all (a file with stray ones is left as it was, not changed a little each time).
        while (bodyEnd > begin && text[bodyEnd - 1] == '\r') --bodyEnd;
        visit(Line{text.substr(begin, bodyEnd - begin), begin, end});
        begin = end;
    }
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

// The line break that added lines take: the text's first one, else (a text of one line) a carriage
// return that ends the text, completed by the first added "\n", else "\n".
std::string_view LineBreakOf(std::string_view text) {
    std::size_t newline = text.find('\n');
    if (newline != std::string_view::npos) return newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
    return text.size() > FirstLineOffset(text) && text.back() == '\r' ? "\r\n" : "\n";
}

// What goes between a text ending in last and lines added after it: nothing after a line break,
// "\n" to complete a lone carriage return, else the text's line break.
std::string_view Separator(std::string_view text, std::size_t end, std::string_view lineBreak) {
    if (end <= FirstLineOffset(text)) return "";
    const char last = text[end - 1];
    if (last == '\n') return "";
    return last == '\r' && text.find('\n') == std::string_view::npos ? "\n" : lineBreak;
}

// A wanted section, matched by its first header in the text only.
struct SectionPlan {
    std::string_view name;
    bool found = false;
    std::size_t insertAt = 0;  // just past its last non-blank line (or its header)
    std::string added;         // lines of its new keys
};

// A wanted key of a wanted section, and where the text has it.
struct KeyPlan {
    std::string_view key;
    std::string_view value;
    std::size_t section = 0;
    bool found = false;
    Line line{};
};

struct Plan {
    std::vector<SectionPlan> sections;
    std::vector<KeyPlan> keys;
};

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::size_t SectionIndex(Plan& plan, std::string_view name) {
    for (std::size_t i = 0; i < plan.sections.size(); ++i) {
        if (SameName(plan.sections[i].name, name)) return i;
    }
    plan.sections.push_back({name, false, 0, {}});
    return plan.sections.size() - 1;
}

// Distinct sections and keys in the order of their first appearance; a repeated key takes the
// later value.
Plan MakePlan(std::span<const ProfileSetting> settings) {
    Plan plan;
    for (const ProfileSetting& setting : settings) {
        const std::size_t section = SectionIndex(plan, setting.section);
        bool repeated = false;
        for (KeyPlan& key : plan.keys) {
            if (key.section == section && SameName(key.key, setting.key)) {
                key.value = setting.value;
                repeated = true;
            }
        }
        if (!repeated) plan.keys.push_back({setting.key, setting.value, section, false, {}});
    }
    return plan;
}

// The section a header line opens, when it is the first header of a wanted section.
std::size_t OpenedSection(Plan& plan, std::string_view name, const Line& line) {
    for (std::size_t i = 0; i < plan.sections.size(); ++i) {
        SectionPlan& section = plan.sections[i];
        if (section.found || !SameName(section.name, name)) continue;
        section.found = true;
        section.insertAt = line.end;
        return i;
    }
    return kNone;
}

void NoteKeyLine(Plan& plan, std::size_t section, std::string_view name, const Line& line) {
    for (KeyPlan& key : plan.keys) {
        if (key.section != section || key.found || !SameName(key.key, name)) continue;
        key.found = true;
        key.line = line;
    }
}

// One pass over the text: where each wanted section and key is.
void Locate(std::string_view text, Plan& plan) {
    std::size_t current = kNone;
    ForEachLine(text, [&](const Line& line) {
        if (auto name = SectionName(line.body)) {
            current = OpenedSection(plan, *name, line);
            return;
        }
        if (current == kNone) return;
        if (!Trim(line.body).empty()) plan.sections[current].insertAt = line.end;
        if (auto name = KeyName(line.body)) NoteKeyLine(plan, current, *name, line);
    });
}

std::string_view ValueOf(std::string_view body) { return Unquote(Trim(body.substr(body.find('=') + 1))); }

struct Edit {
    std::size_t at;
    std::size_t length;
    std::string replacement;
};

// Replaced values (the key as the file spells it, the line's own break kept) and new keys after
// their section's last entry, so that blank lines before the next section stay.
std::vector<Edit> EditsInPlace(std::string_view text, Plan& plan, std::string_view lineBreak) {
    std::vector<Edit> edits;
    for (const KeyPlan& key : plan.keys) {
        SectionPlan& section = plan.sections[key.section];
        if (key.found) {
            std::string_view body = key.line.body;
            edits.push_back({key.line.begin, body.size(),
                             std::string(body.substr(0, body.find('='))) + "=" + std::string(key.value)});
        } else if (section.found) {
            section.added += std::string(key.key) + "=" + std::string(key.value) + std::string(lineBreak);
        }
    }
    for (const SectionPlan& section : plan.sections) {
        if (!section.found || section.added.empty()) continue;
        edits.push_back(
            {section.insertAt, 0, std::string(Separator(text, section.insertAt, lineBreak)) + section.added});
    }
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at < b.at; });
    return edits;
}

// New sections at the end, in order, each with its keys.
void AppendNewSections(std::string& result, const Plan& plan, std::string_view lineBreak) {
    for (std::size_t s = 0; s < plan.sections.size(); ++s) {
        if (plan.sections[s].found) continue;
        result += Separator(result, result.size(), lineBreak);
        result += "[" + std::string(plan.sections[s].name) + "]" + std::string(lineBreak);
        for (const KeyPlan& key : plan.keys) {
            if (key.section == s)
                result += std::string(key.key) + "=" + std::string(key.value) + std::string(lineBreak);
        }
    }
}

}  // namespace

std::vector<std::optional<std::string>> FindProfileValues(std::string_view text, std::span<const ProfileSetting> keys) {
    Plan plan = MakePlan(keys);
    Locate(text, plan);
    std::vector<std::optional<std::string>> values;
    values.reserve(keys.size());
    for (const ProfileSetting& wanted : keys) {
        std::optional<std::string> value;
        for (const KeyPlan& key : plan.keys) {
            if (key.found && SameName(plan.sections[key.section].name, wanted.section) && SameName(key.key, wanted.key))
                value = std::string(ValueOf(key.line.body));
        }
        values.push_back(std::move(value));
    }
    return values;
}

std::string SetProfileValues(std::string_view text, std::span<const ProfileSetting> settings) {
    Plan plan = MakePlan(settings);
    Locate(text, plan);
    const std::string_view lineBreak = LineBreakOf(text);
    std::string result;
    result.reserve(text.size() + 64 * settings.size());
    std::size_t copied = 0;
    for (const Edit& edit : EditsInPlace(text, plan, lineBreak)) {
        result.append(text.substr(copied, edit.at - copied));
        result += edit.replacement;
        copied = edit.at + edit.length;
    }
    result.append(text.substr(copied));
    AppendNewSections(result, plan, lineBreak);
    return result;
}

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section, std::string_view key) {
    const ProfileSetting wanted{section, key, {}};
    return FindProfileValues(text, std::span(&wanted, 1)).front();
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
    const ProfileSetting setting{section, key, value};
    return SetProfileValues(text, std::span(&setting, 1));
}

}  // namespace korvex::settings
