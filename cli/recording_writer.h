// The tool's side of a recording folder (recording_file.h writes it): errors as CliError.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "recording_file.h"

namespace korvex::cli {

using image::RecordingInfo;

// Writes the recording into a new, empty folder (image::WriteRecording). Asks stopRequested before
// each file and returns false, leaving the folder incomplete, when it says yes. Throws
// CliError(kExitIo) naming the file that could not be written.
bool WriteRecordingOrThrow(const std::filesystem::path& folder, const RecordingInfo& info, const uint8_t* frames,
                           const std::function<bool()>& stopRequested);

}  // namespace korvex::cli
