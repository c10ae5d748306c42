// Where the settings file lives on POSIX, and how its text is read: shared by the key and the
// ratio layers so that both find and read the file alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "profile_store.h"
#include "settings_file.h"

namespace korvex::settings {

// $KORVEX_CONFIG_DIR, else $XDG_CONFIG_HOME, else $HOME/.config, then the file name; the bare
// name when no folder is known.
std::string SettingsPath(const char* fileName);

// The file's text: kRead, kAbsent (text empty) or kRefused (text empty, reason set).
Outcome ReadSettingsAt(const std::string& path, std::string& text, std::string& reason);

// Each query's value as a read gives it from text: cut to kProfileValueSize - 1 characters, or
// defaultValue when the section or key is missing.
void FillQueries(std::string_view text, ProfileQuery* queries, uint32_t count, const char* defaultValue);

}  // namespace korvex::settings
