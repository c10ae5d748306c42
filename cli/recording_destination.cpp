#include "recording_destination.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>
#include <vector>

#include "exit_status.h"

namespace korvex::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 16;

bool IsFrameName(const std::string& name) {
    return name.rfind("frame-", 0) == 0 && name.size() > 10 && name.compare(name.size() - 4, 4, ".png") == 0;
}

// A file of a recording, or one of the partial files its writing leaves when killed.
bool IsRecordingEntry(const std::string& name) {
    if (name == "recording.txt" || IsFrameName(name)) return true;
    const auto partial = name.rfind(".partial-");
    return name.size() > 1 && name[0] == '.' && partial != std::string::npos &&
           IsRecordingEntry(name.substr(1, partial - 1));
}

// The destination without a trailing separator, "." and ".." resolved, so that its name is known.
fs::path Normalised(const std::string& folder) {
    std::error_code error;
    fs::path destination = fs::absolute(folder, error).lexically_normal();
    if (!destination.has_filename()) destination = destination.parent_path();
    return destination;
}

fs::path Beside(const fs::path& destination, const char* kind, unsigned long number) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".korvex-%s-%08lx", kind, number);
    return destination.parent_path() / ("." + destination.filename().string() + suffix);
}

// A new folder of a unique name beside the destination: two runs never share one.
fs::path CreateUniqueFolder(const fs::path& destination, const char* kind, std::error_code& error) {
    std::random_device source;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const fs::path folder = Beside(destination, kind, source());
        error.clear();
        if (fs::create_directory(folder, error)) return folder;
        if (!error) error = std::make_error_code(std::errc::file_exists);
        if (error != std::errc::file_exists) break;
    }
    return {};
}

// Removes the recording's own files and then the folder if that left it empty; anything else
// stays. False when something stayed.
bool RemoveRecordingFiles(const fs::path& folder) {
    std::error_code error;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (IsRecordingEntry(entry.path().filename().string()) && entry.is_regular_file(error)) files.push_back(entry);
    }
    for (const fs::path& file : files) fs::remove(file, error);
    return fs::remove(folder, error);
}

std::string WontReplace(const fs::path& destination) {
    return "will not replace " + destination.string() +
           ": it is not a folder holding only a recording (recording.txt, frame-*.png)";
}

// Renames the destination to a new name of this run's; empty with the reason in error on failure.
fs::path MoveAside(const fs::path& destination, std::error_code& error) {
    const fs::path aside = CreateUniqueFolder(destination, "old", error);
    if (aside.empty()) return {};
    fs::remove(aside, error);  // a rename onto an existing folder fails on some systems
    if (!error) fs::rename(destination, aside, error);
    return error ? fs::path() : aside;
}

}  // namespace

bool HoldsOnlyRecording(const fs::path& folder) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (!IsRecordingEntry(entry.path().filename().string()) || !entry.is_regular_file(error)) return false;
    }
    return !error;
}

std::optional<RecordingDestination::FolderState> RecordingDestination::StateOf(const fs::path& folder) {
    std::error_code error;
    if (!fs::exists(folder, error)) return std::nullopt;
    std::ifstream in(folder / "recording.txt", std::ios::binary);
    FolderState state{fs::last_write_time(folder, error), std::string(std::istreambuf_iterator<char>(in), {})};
    return state;
}

RecordingDestination::RecordingDestination(const std::string& folder) : destination_(Normalised(folder)) {
    std::error_code error;
    if (fs::exists(fs::symlink_status(destination_, error)) &&
        !(fs::is_directory(fs::symlink_status(destination_, error)) && HoldsOnlyRecording(destination_))) {
        throw CliError(kExitIo, WontReplace(destination_));
    }
    startState_ = StateOf(destination_);
    fs::create_directories(destination_.parent_path(), error);  // as a destination in new folders always was
    partial_ = CreateUniqueFolder(destination_, "partial", error);
    if (partial_.empty()) {
        throw CliError(kExitIo, "cannot create a folder beside " + destination_.string() + ": " + error.message());
    }
}

RecordingDestination::~RecordingDestination() {
    std::error_code ignored;
    if (!keep_ && !partial_.empty()) fs::remove_all(partial_, ignored);
}

void RecordingDestination::ThrowChanged(const std::string& how) {
    keep_ = true;
    throw CliError(kExitIo, destination_.string() + " " + how + " during this run; " + "the new recording is kept in " +
                                partial_.string());
}

void RecordingDestination::MoveIntoPlace() {
    const std::optional<FolderState> now = StateOf(destination_);
    if (now != startState_) ThrowChanged(startState_ ? (now ? "was changed" : "was removed") : "was created");
    if (now && !HoldsOnlyRecording(destination_)) ThrowChanged("took other files");
    keep_ = true;  // from here on this run's folder is either in place or named in the error
    std::error_code error;
    fs::path aside;
    if (now) {
        aside = MoveAside(destination_, error);
        if (aside.empty()) {
            throw CliError(kExitIo, "cannot move " + destination_.string() + " aside: " + error.message() +
                                        "; the new recording is kept in " + partial_.string());
        }
    }
    fs::rename(partial_, destination_, error);
    if (error) {
        const std::string reason = error.message();
        if (!aside.empty()) fs::rename(aside, destination_, error);
        throw CliError(kExitIo, "cannot move the recording to " + destination_.string() + ": " + reason +
                                    "; it is kept in " + partial_.string());
    }
    if (!aside.empty() && !RemoveRecordingFiles(aside)) {
        std::fprintf(stderr, "korvex: the earlier recording's folder held other files too; they are kept in %s\n",
                     aside.string().c_str());
    }
}

}  // namespace korvex::cli
