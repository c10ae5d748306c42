// The settings file under writers that are killed at random points, and under two processes
// writing at the same time.
#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "profile_store.h"

namespace korvex::settings {
namespace {

constexpr const char* kFileName = "Korvex.ini";
constexpr const char* kForeignLines = "; the user's own lines\n[Display]\nZoom=2\n\n";

class ProfileWriters : public ::testing::Test {
protected:
    void SetUp() override {
        char folderTemplate[] = "/tmp/korvex-writers-XXXXXX";
        ASSERT_NE(mkdtemp(folderTemplate), nullptr);
        folder_ = folderTemplate;
        setenv("KORVEX_CONFIG_DIR", folder_.c_str(), 1);
    }
    void TearDown() override {
        const std::string command = "rm -rf '" + folder_ + "'";
        (void)std::system(command.c_str());
    }

    std::string ReadFile() const {
        std::ifstream in(folder_ + "/" + kFileName, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Every name in the folder but the settings file itself.
    std::vector<std::string> OtherNames() const {
        std::vector<std::string> names;
        DIR* dir = opendir(folder_.c_str());
        while (const dirent* entry = dir ? readdir(dir) : nullptr) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && name != kFileName) names.push_back(name);
        }
        if (dir) closedir(dir);
        return names;
    }

    std::string folder_;
};

// Ten cameras' ratios, all set to one value, as a close writes them.
struct RatioSet {
    std::vector<std::string> sections;
    std::vector<ProfileEntry> entries;

    explicit RatioSet(const char* value) {
        for (int s = 0; s < 10; ++s) sections.push_back("Video Parameter" + std::to_string(s));
        for (const std::string& section : sections) {
            for (const char* key : {"RGain", "GGain", "BGain"}) entries.push_back({section.c_str(), key, value});
        }
    }
    bool Write() const { return WriteProfileStrings(entries.data(), static_cast<uint32_t>(entries.size()), kFileName); }
};

TEST_F(ProfileWriters, AWriterKilledAnywhereLeavesTheOldOrTheNewFileWholeAndNoTemporary) {
    constexpr int kKills = 300;
    std::ofstream(folder_ + "/" + kFileName) << kForeignLines;
    const RatioSet oldSet("1.250000");
    const RatioSet newSet("0.875000");
    std::ofstream(folder_ + "/Korvex.ini.partial-4242") << "[Video Parameter0]\nRGain=9";  // a killed writer's
    ASSERT_TRUE(newSet.Write());
    ASSERT_TRUE(OtherNames().empty()) << "the next write removes a leftover";
    const std::string newText = ReadFile();
    ASSERT_TRUE(oldSet.Write());
    const std::string oldText = ReadFile();
    ASSERT_EQ(oldText.rfind(kForeignLines, 0), 0u) << oldText;
    ASSERT_EQ(newText.rfind(kForeignLines, 0), 0u) << newText;

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(0, 3000);
    int leftoversSeen = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            for (;;) {
                (void)newSet.Write();
                (void)oldSet.Write();
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(writer, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        const std::string text = ReadFile();
        ASSERT_TRUE(text == oldText || text == newText) << "seed " << seed << ", kill " << kill << ":\n" << text;
        // A leftover may exist only in the instant between naming the new file and renaming it,
        // and it must carry the mark the next writer looks for.
        const std::vector<std::string> others = OtherNames();
        ASSERT_LE(others.size(), 1u) << "seed " << seed << ", kill " << kill;
        for (const std::string& name : others) ASSERT_EQ(name.rfind("Korvex.ini.partial-", 0), 0u) << name;
        leftoversSeen += static_cast<int>(others.size());
        ASSERT_TRUE(oldSet.Write());
        ASSERT_TRUE(OtherNames().empty()) << "seed " << seed << ", kill " << kill;
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d kills in %.1f s (seed %u), a leftover right after %d of them, all removed by the next write\n",
                kKills, seconds, seed, leftoversSeen);
}

// Each process counts its own key up and checks, before every write, that its last value is
// still there: a write that read the file before the other process replaced it would lose it.
int CountUp(const char* section, int writes) {
    for (int count = 1; count <= writes; ++count) {
        char stored[32];
        ReadProfileString(section, "Count", "0", stored, sizeof stored, kFileName);
        if (std::stoi(stored) != count - 1) return 1;
        if (!WriteProfileString(section, "Count", std::to_string(count).c_str(), kFileName)) return 2;
    }
    return 0;
}

TEST_F(ProfileWriters, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kWrites = 100;
    pid_t writers[2];
    const char* sections[2] = {"Writer0", "Writer1"};
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) _exit(CountUp(sections[w], kWrites));
    }
    for (pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    const std::string text = ReadFile();
    EXPECT_NE(text.find("[Writer0]\nCount=100\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Writer1]\nCount=100\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace korvex::settings
