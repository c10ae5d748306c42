// KORVEX_LOG and KORVEX_LOG_FILE are read at the first line that any domain would show, not when
// the program loads, and only once. A program of its own, so that no other test sets the log up
// first.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "diagnostics/log.h"

namespace korvex::diagnostics {
namespace {

void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

// The sentences after "camera N: ", and lines without a camera whole.
std::vector<std::string> Sentences(const std::string& path) {
    std::vector<std::string> sentences;
    std::ifstream file(path, std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        const std::size_t camera =
            line.find(" camera 1: ") != std::string::npos ? line.find(" camera 1: ") : line.find(" camera 2: ");
        sentences.push_back(camera == std::string::npos ? line : line.substr(camera + 11));
    }
    return sentences;
}

TEST(LogEnvironmentTest, IsReadAtTheFirstLineAndOnlyThen) {
    const std::string first = ::testing::TempDir() + "korvex_log_environment_1.txt";
    const std::string second = ::testing::TempDir() + "korvex_log_environment_2.txt";
    std::remove(first.c_str());
    std::remove(second.c_str());

    // Set after the program loaded: a library that read them at load would not see them.
    SetVariable("KORVEX_LOG", "camera:warn,settings:debug");
    SetVariable("KORVEX_LOG_FILE", first);
    KX_LOG(Domain::Camera, Level::Debug, 1, "first: not shown, camera is at warn");
    KX_LOG(Domain::Camera, Level::Warn, 1, "first: shown");
    KX_LOG(Domain::Settings, Level::Debug, 2, "first: shown too");

    // Changed later: the log keeps what it read.
    SetVariable("KORVEX_LOG", "trace");
    SetVariable("KORVEX_LOG_FILE", second);
    KX_LOG(Domain::Camera, Level::Warn, 1, "second: still into the first file");
    KX_LOG(Domain::Capture, Level::Trace, 1, "second: not shown, capture stays off");

    // The start line comes first, whatever the levels: the version, the files, KORVEX_LOG.
    std::vector<std::string> lines = Sentences(first);
    ASSERT_FALSE(lines.empty());
    const std::string start = lines.front();
    EXPECT_NE(start.find(" INFO  log       Korvex "), std::string::npos) << start;
    EXPECT_NE(start.find("camera libraries "), std::string::npos) << start;  // their paths: in the API's log test
    EXPECT_NE(start.find("; KORVEX_LOG=camera:warn,settings:debug"), std::string::npos) << start;
    lines.erase(lines.begin());
    EXPECT_EQ(lines,
              (std::vector<std::string>{"first: shown", "first: shown too", "second: still into the first file"}));
    EXPECT_FALSE(std::ifstream(second).good());
    std::remove(first.c_str());
}

}  // namespace
}  // namespace korvex::diagnostics
