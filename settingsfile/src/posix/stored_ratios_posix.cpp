// The ratios in the settings file on POSIX: read and stored through the same text layer and
// locked replacement as every other key.
#include <cerrno>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "posix/locked_replace.h"
#include "posix/profile_text.h"
#include "posix/regular_file.h"
#include "posix/settings_location.h"
#include "profile_store.h"
#include "settings_file.h"

namespace korvex::settings {
namespace {

// The three keys of each listed camera, in order, and the value texts read for them.
class RatioQueries {
public:
    explicit RatioQueries(std::span<const int32_t> slots) : slots_(slots.begin(), slots.end()) {
        sections_.reserve(slots.size());  // the queries point into these strings
        for (int32_t slot : slots) sections_.push_back(SectionName(slot));
        for (const std::string& section : sections_) {
            for (const char* key : kRatioKeys) queries_.push_back({section.c_str(), key, {}});
        }
    }

    // Reads every camera's value texts from text, as a read of the file gives them.
    void ReadFrom(std::string_view text) {
        FillQueries(text, queries_.data(), static_cast<uint32_t>(queries_.size()), kDefaultText);
    }

    std::size_t Cameras() const { return slots_.size(); }
    int32_t SlotAt(std::size_t camera) const { return slots_[camera]; }
    const ProfileQuery& Query(std::size_t camera, int key) const { return queries_[camera * 3 + key]; }

    Ratios RatiosAt(std::size_t camera) const {
        Ratios ratios{};
        for (int key = 0; key < 3; ++key) ratios.values[key] = RatioFromText(Query(camera, key).value);
        return ratios;
    }

private:
    std::vector<int32_t> slots_;
    std::vector<std::string> sections_;
    std::vector<ProfileQuery> queries_;
};

// The text with the listed cameras' keys set to what edit makes of the ratios it holds.
std::string EditedText(std::string_view text, RatioQueries& queries, const RatioEdit& edit) {
    queries.ReadFrom(text);
    std::vector<std::string> values;
    values.reserve(queries.Cameras() * 3);
    std::vector<ProfileSetting> settings;
    for (std::size_t camera = 0; camera < queries.Cameras(); ++camera) {
        Ratios ratios = queries.RatiosAt(camera);
        edit(queries.SlotAt(camera), ratios);
        for (int key = 0; key < 3; ++key) values.push_back(FormatStoredRatio(ratios.values[key]));
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const ProfileQuery& query = queries.Query(i / 3, static_cast<int>(i % 3));
        settings.push_back({query.section, query.key, values[i]});
    }
    return SetProfileValues(text, settings);
}

}  // namespace

Report ReadStoredRatios(std::span<Ratios> ratios) {
    Report report{Outcome::kAbsent, SettingsPath(kFileName), {}};
    std::vector<int32_t> slots;
    for (int32_t s = 0; s < static_cast<int32_t>(ratios.size()) && s < kMaxCameras; ++s) slots.push_back(s);
    std::string text;
    report.outcome = ReadSettingsAt(report.path, text, report.reason);
    RatioQueries queries(slots);
    queries.ReadFrom(text);
    for (std::size_t camera = 0; camera < queries.Cameras(); ++camera) ratios[camera] = queries.RatiosAt(camera);
    return report;
}

Report StoreRatios(std::span<const int32_t> slotIndexes, const RatioEdit& edit) {
    Report report{Outcome::kFailed, SettingsPath(kFileName), {}};
    RatioQueries queries(slotIndexes);
    FileRefusal refusal;
    errno = 0;
    const EditResult result = EditFileLocked(
        FollowLinks(report.path), [&](std::string_view old) { return EditedText(old, queries, edit); }, refusal);
    report.reason = refusal.reason;
    switch (result) {
        case EditResult::kReplaced: report.outcome = Outcome::kWritten; break;
        case EditResult::kUnchanged: report.outcome = Outcome::kUnchanged; break;
        case EditResult::kFailed: report.outcome = Outcome::kFailed; break;
    }
    std::string text;
    std::string reason;
    if (result == EditResult::kFailed && ReadSettingsAt(report.path, text, reason) == Outcome::kRefused) {
        report.outcome = Outcome::kRefused;
    }
    return report;
}

Report CheckWritable() {
    Report report{Outcome::kWritten, SettingsPath(kFileName), {}};
    std::string text;
    if (ReadSettingsAt(report.path, text, report.reason) == Outcome::kRefused) {
        report.outcome = Outcome::kFailed;
        return report;
    }
    FileRefusal refusal;
    errno = 0;
    if (!CanWriteBeside(report.path, refusal)) report = {Outcome::kFailed, report.path, refusal.reason};
    return report;
}

}  // namespace korvex::settings
