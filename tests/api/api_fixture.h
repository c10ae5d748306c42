// Shared set-up for tests of the exported interface: a private settings folder, recorded
// messages instead of dialogs, and the simulated cameras reset to their defaults.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hvsim_control.h"
#include "korvex.h"

namespace korvex::test {

class ApiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Messages shown since the last call, as "caption|text"; the record is cleared.
    std::vector<std::string> TakeMessages();
    // Texts of the messages shown since the last call.
    std::vector<std::string> TakeMessageTexts();

    // The camera-library calls made since the last call; the log is cleared.
    std::vector<HvSimCall> TakeCalls();
    // Names of those calls, in order.
    static std::vector<std::string> Names(const std::vector<HvSimCall>& calls);

    std::string SettingsPath() const;
    std::string ReadSettings() const;
    void WriteSettings(const std::string& text) const;

    // Opens and allocates cameras 1..count; clears messages and the call log afterwards.
    void OpenAndAllocate(int16_t count);

    std::string folder_;
};

}  // namespace korvex::test
