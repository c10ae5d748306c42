#include "recording_writer.h"

#include <string>

#include "exit_status.h"

namespace korvex::cli {

bool WriteRecordingOrThrow(const std::filesystem::path& folder, const RecordingInfo& info, const uint8_t* frames,
                           const std::function<bool()>& stopRequested) {
    const image::RecordingOutcome outcome = image::WriteRecording(folder, info, frames, stopRequested);
    if (outcome.result == image::RecordingResult::kFailed) {
        const std::string reason = outcome.reason.empty() ? std::string() : ": " + outcome.reason;
        throw CliError(kExitIo, "cannot write " + outcome.failedFile.string() + reason);
    }
    return outcome.result == image::RecordingResult::kWritten;
}

}  // namespace korvex::cli
