// The diagnostic log: the line format from worked examples, which lines a KORVEX_LOG value lets
// through, what a bad value does, and whole lines from many threads at once.

// GCC 12 at -O2 with the sanitizers warns of a maybe-uninitialised std::function inside
// libstdc++'s <regex>, a false report in the library's own code; it must not fail the build.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "diagnostics/log.h"
#include "diagnostics/log_filter.h"

namespace korvex::diagnostics {
namespace {

// wall time, monotonic time, [thread], level, domain, optional "camera N: ", sentence.
const std::regex kLinePattern(
    R"(^(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z) (\d+\.\d{6}) \[(\d+)\] (ERROR|WARN |INFO |DEBUG|TRACE) )"
    R"((lifecycle|guard    |camera   |capture  |export   |colour   |settings |message  |control  |log      ) )"
    R"((camera (\d+): )?(\S.*)$)");

struct ParsedLine {
    std::string level, domain, camera, sentence;
};

bool Parse(const std::string& line, ParsedLine& parsed) {
    std::smatch match;
    if (!std::regex_match(line, match, kLinePattern)) return false;
    const auto trimmed = [](std::string text) { return text.substr(0, text.find(' ')); };
    parsed = {trimmed(match[4]), trimmed(match[5]), match[7], match[8]};
    return true;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path, std::ios::binary);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

// A log file of the test's own, removed before and after; the log goes back to off at the end.
class LogFile : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = ::testing::TempDir() + "korvex_log_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                ".txt";
        std::remove(path_.c_str());
    }
    void TearDown() override {
        ConfigureLog(nullptr, nullptr);
        std::remove(path_.c_str());
    }
    std::string path_;
};

TEST(LogLineTest, FormatsEveryFieldAsInTheseWorkedExamples) {
    struct Case {
        LogLineHeader header;
        const char* sentence;
        const char* expected;
    };
    const Case cases[] = {
        {{1796737696123456, 4711020304, 4242, Level::Info, Domain::Guard, 2},
         "ZqStartGrab refused: camera is Open, needs Allocated",
         "2026-12-08T13:48:16.123Z 4711.020304 [4242] INFO  guard     camera 2: ZqStartGrab refused: camera is Open, "
         "needs Allocated\n"},
        {{1709251199999999, 5, 7, Level::Debug, Domain::Lifecycle, kNoCamera},
         "leap day",  // last microsecond
         "2024-02-29T23:59:59.999Z 0.000005 [7] DEBUG lifecycle leap day\n"},
        {{951868800000000, 1000000, 1, Level::Warn, Domain::Settings, kNoCamera},
         "Korvex.ini cannot be written: Access is denied.\r\n",  // a system's text ends in a line break
         "2000-03-01T00:00:00.000Z 1.000000 [1] WARN  settings  Korvex.ini cannot be written: Access is denied.\n"},
        {{0, 0, 0, Level::Trace, Domain::Capture, 10},
         "frame\t3\nbuffer 1",
         "1970-01-01T00:00:00.000Z 0.000000 [0] TRACE capture   camera 10: frame 3 buffer 1\n"},
    };
    for (const Case& c : cases) {
        char line[kMaxLogLine];
        const std::size_t length = FormatLogLine(line, sizeof line, c.header, "%s", c.sentence);
        EXPECT_EQ(std::string(line, length), c.expected);
    }
}

TEST(LogLineTest, CutsATooLongSentenceToTheBufferAndStillEndsTheLine) {
    const std::string longSentence(3000, 'x');
    char line[200];
    const LogLineHeader header{0, 0, 1, Level::Error, Domain::Camera, 1};
    const std::size_t length = FormatLogLine(line, sizeof line, header, "%s", longSentence.c_str());
    ASSERT_EQ(length, sizeof line - 1);  // the terminating zero's place is not used
    const std::string text(line, length);
    EXPECT_EQ(text.substr(text.size() - 6), "xx...\n");
}

// Which (domain, level) pairs each value lets through, from ten probe lines.
TEST_F(LogFile, SpecDecidesWhichLinesAppear) {
    struct Probe {
        Domain domain;
        Level level;
    };
    const Probe probes[] = {
        {Domain::Camera, Level::Debug},   {Domain::Camera, Level::Trace},    {Domain::Capture, Level::Trace},
        {Domain::Settings, Level::Debug}, {Domain::Settings, Level::Info},   {Domain::Guard, Level::Info},
        {Domain::Guard, Level::Warn},     {Domain::Lifecycle, Level::Error}, {Domain::Message, Level::Warn},
        {Domain::Control, Level::Debug},
    };
    struct Case {
        const char* filter;
        const char* shown;  // the probes' numbers that appear, in order
    };
    const Case cases[] = {
        {"", ""},
        {"off", ""},
        {"error", "7"},
        {"warn", "678"},
        {"info", "45678"},
        {"debug", "03456789"},
        {"trace", "0123456789"},
        {"capture:trace,settings:debug,*:warn", "234678"},
        {"*:warn,settings:debug,capture:trace", "234678"},  // the order does not matter
        {"camera:debug", "0"},
        {"camera:debug,camera:error", ""},    // the later entry wins
        {" DEBUG , Guard : OFF ", "034789"},  // case and blanks do not matter
        {"trace,camera:off,capture:off", "3456789"},
    };
    for (const Case& c : cases) {
        ConfigureLog(c.filter, path_.c_str());
        for (std::size_t i = 0; i < std::size(probes); ++i)
            KX_LOG(probes[i].domain, probes[i].level, static_cast<int>(i % 3), "probe %zu", i);
        std::string shown;
        for (const std::string& line : ReadLines(path_)) {
            ParsedLine parsed;
            ASSERT_TRUE(Parse(line, parsed)) << line;
            const std::size_t probe = std::stoul(parsed.sentence.substr(6));
            EXPECT_EQ(parsed.domain, DomainName(probes[probe].domain));
            EXPECT_EQ(parsed.camera, probe % 3 == 0 ? "" : std::to_string(probe % 3));
            shown += std::to_string(probe);
        }
        EXPECT_EQ(shown, c.shown) << "KORVEX_LOG=" << c.filter;
        ConfigureLog(nullptr, nullptr);
        std::remove(path_.c_str());
    }
}

// A value that is partly or wholly wrong: the good entries apply, each bad one is named in a warn
// line of domain "log", which is written even when nothing else is switched on.
TEST_F(LogFile, BadEntriesAreSkippedAndNamed) {
    struct Case {
        const char* filter;
        Level camera, capture;  // what the value gives these two domains
        std::size_t skipped;
        const char* firstSkipped;
    };
    const Case cases[] = {
        {"verbose", Level::Off, Level::Off, 1, "verbose"},
        {"capture:trace,camra:debug", Level::Off, Level::Trace, 1, "camra:debug"},
        {"debug,capture:loud", Level::Debug, Level::Debug, 1, "capture:loud"},
        {"capture=trace,,warn", Level::Warn, Level::Warn, 1, "capture=trace"},
        {"a:b:c,info", Level::Info, Level::Info, 1, "a:b:c"},
        {":,x,y,z,w,v", Level::Off, Level::Off, 6, ":"},
    };
    for (const Case& c : cases) {
        const LogFilter filter = ParseLogFilter(c.filter);
        EXPECT_EQ(filter.levels[static_cast<std::size_t>(Domain::Camera)], c.camera) << c.filter;
        EXPECT_EQ(filter.levels[static_cast<std::size_t>(Domain::Capture)], c.capture) << c.filter;
        EXPECT_EQ(filter.skippedCount, c.skipped) << c.filter;
        EXPECT_EQ(filter.skipped[0], c.firstSkipped) << c.filter;
    }

    ConfigureLog("verbose", path_.c_str());
    KX_LOG(Domain::Camera, Level::Error, 1, "not shown: every domain is off");
    const std::vector<std::string> lines = ReadLines(path_);
    ASSERT_EQ(lines.size(), 1u);
    ParsedLine parsed;
    ASSERT_TRUE(Parse(lines[0], parsed)) << lines[0];
    EXPECT_EQ(parsed.level, "WARN");
    EXPECT_EQ(parsed.domain, "log");
    EXPECT_NE(parsed.sentence.find("'verbose' skipped"), std::string::npos) << parsed.sentence;
}

// A KORVEX_LOG_FILE that cannot be opened: the lines go to standard error, after one that gives the
// reason first, so that a long path cannot push it out of the line; a FIFO with no reader is
// refused at once instead of waiting for one.
TEST_F(LogFile, AFileThatCannotBeOpenedGivesStandardError) {
    const std::string missingFolder = ::testing::TempDir() + "korvex-no-such-folder/";
    struct Case {
        std::string path;
        const char* reason;  // nullptr: the system's own text
    };
    std::vector<Case> cases = {
        {missingFolder + "log.txt", nullptr},
        {missingFolder + std::string(1000, 'p'), nullptr},  // longer than what a line holds
    };
#ifndef _WIN32
    const std::string fifo = ::testing::TempDir() + "korvex_log_fifo_without_reader";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    cases.push_back({fifo, "a FIFO with no reader"});  // before the fix: the open waits for ever
#endif
    for (const Case& c : cases) {
        ::testing::internal::CaptureStderr();
        ConfigureLog("error", c.path.c_str());
        KX_LOG(Domain::Camera, Level::Error, 3, "HVStartSnap failed with status %d", -5);
        const std::string written = ::testing::internal::GetCapturedStderr();
        const std::size_t breakAt = written.find('\n');
        ASSERT_NE(breakAt, std::string::npos) << written;
        ParsedLine warning, error;
        ASSERT_TRUE(Parse(written.substr(0, breakAt), warning)) << written;
        ASSERT_TRUE(Parse(written.substr(breakAt + 1, written.size() - breakAt - 2), error)) << written;
        EXPECT_EQ(warning.domain, "log");
        const std::string opening = "KORVEX_LOG_FILE cannot be opened (";
        ASSERT_EQ(warning.sentence.rfind(opening, 0), 0u) << warning.sentence;
        const std::size_t reasonEnd = warning.sentence.find("), logging to standard error instead: '");
        ASSERT_NE(reasonEnd, std::string::npos) << warning.sentence;
        const std::string reason = warning.sentence.substr(opening.size(), reasonEnd - opening.size());
        EXPECT_FALSE(reason.empty());
        if (c.reason != nullptr) {
            EXPECT_EQ(reason, c.reason);
        }
        EXPECT_EQ(error.camera, "3");
        EXPECT_EQ(error.sentence, "HVStartSnap failed with status -5");
    }
#ifndef _WIN32
    std::remove(fifo.c_str());
#endif
}

#ifndef _WIN32
// A destination whose reader has stopped reading: writing never waits, the lines it cannot take
// are counted, and the first line it takes again says how many were dropped. Whole lines only,
// and the host's standard error keeps its own flags.
TEST_F(LogFile, AStalledReaderLosesLinesButNeverStopsAWriter) {
    constexpr int kLines = 3000;  // about 600 KB: many times what a pipe holds
    const std::string fifo = ::testing::TempDir() + "korvex_log_stalled_fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const bool toStandardError : {false, true}) {
        int pipeEnds[2] = {-1, -1};
        int savedStandardError = -1;
        if (toStandardError) {
            ASSERT_EQ(pipe(pipeEnds), 0);
            savedStandardError = dup(STDERR_FILENO);
            ASSERT_EQ(dup2(pipeEnds[1], STDERR_FILENO), STDERR_FILENO);
            close(pipeEnds[1]);
            ConfigureLog("capture:trace", nullptr);
        } else {
            pipeEnds[0] = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
            ASSERT_GE(pipeEnds[0], 0);
            ConfigureLog("capture:trace", fifo.c_str());
        }
        const int hostFlags = fcntl(STDERR_FILENO, F_GETFL);
        std::thread writer([] {
            const std::string filler(180, 'f');
            for (int n = 0; n < kLines; ++n) KX_LOG(Domain::Capture, Level::Trace, 1, "line %d %s", n, filler.c_str());
        });
        writer.join();  // before the fix: waits for ever on the full pipe
        EXPECT_EQ(fcntl(STDERR_FILENO, F_GETFL), hostFlags);

        std::string received;
        const auto drain = [&] {
            char chunk[65536];
            for (ssize_t got; (got = read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
                received.append(chunk, static_cast<std::size_t>(got));
        };
        fcntl(pipeEnds[0], F_SETFL, fcntl(pipeEnds[0], F_GETFL) | O_NONBLOCK);
        drain();
        KX_LOG(Domain::Capture, Level::Trace, 1, "after the reader came back");
        drain();
        ConfigureLog(nullptr, nullptr);
        if (toStandardError) {
            dup2(savedStandardError, STDERR_FILENO);
            close(savedStandardError);
        }
        close(pipeEnds[0]);

        std::istringstream lines(received);
        int taken = 0;
        int next = 0;
        unsigned long long dropped = 0;
        std::vector<std::string> tail;  // neither a numbered line nor a count of dropped ones
        for (std::string line; std::getline(lines, line);) {
            ParsedLine parsed;
            ASSERT_TRUE(Parse(line, parsed)) << line.substr(0, 120);
            int number = -1;
            unsigned long long droppedHere = 0;
            if (std::sscanf(parsed.sentence.c_str(), "line %d", &number) == 1) {
                EXPECT_GE(number, next);  // in order, with gaps where lines were dropped
                next = number + 1;
                ++taken;
            } else if (std::sscanf(parsed.sentence.c_str(), "%llu lines dropped before this one", &droppedHere) == 1) {
                EXPECT_EQ(parsed.domain, "log");
                EXPECT_EQ(parsed.level, "WARN");
                dropped += droppedHere;
            } else {
                tail.push_back(parsed.sentence);
            }
        }
        EXPECT_EQ(tail, std::vector<std::string>{"after the reader came back"});
        EXPECT_GT(dropped, 0u) << (toStandardError ? "standard error" : "FIFO");
        EXPECT_EQ(static_cast<unsigned long long>(taken) + dropped, static_cast<unsigned long long>(kLines))
            << (toStandardError ? "standard error" : "FIFO");
    }
    std::remove(fifo.c_str());
}
#endif

// Threads write long lines of varied length at once into one file: every line is whole, and
// each thread's lines are all there, in its order.
TEST_F(LogFile, LinesFromManyThreadsStayWhole) {
#ifdef KORVEX_TESTS_UNDER_WINE
    GTEST_SKIP() << "Wine's appending is not atomic between threads (Windows' is)";
#endif
    constexpr int kThreads = 8;
    constexpr int kLines = 2000;
    ConfigureLog("capture:trace", path_.c_str());
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            const std::string filler(900, static_cast<char>('a' + t));
            for (int n = 0; n < kLines; ++n) {
                const int fill = (n * 37 + t * 101) % 800;
                KX_LOG(Domain::Capture, Level::Trace, t + 1, "writer %d line %d [%.*s]", t, n, fill, filler.c_str());
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    const std::vector<std::string> lines = ReadLines(path_);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
    std::vector<int> next(kThreads, 0);
    for (const std::string& line : lines) {
        ParsedLine parsed;
        ASSERT_TRUE(Parse(line, parsed)) << line.substr(0, 120);
        int writer = -1, number = -1, consumed = 0;
        ASSERT_EQ(std::sscanf(parsed.sentence.c_str(), "writer %d line %d [%n", &writer, &number, &consumed), 2);
        ASSERT_TRUE(writer >= 0 && writer < kThreads);
        EXPECT_EQ(parsed.camera, std::to_string(writer + 1));
        EXPECT_EQ(number, next[writer]++);
        const std::string fill = parsed.sentence.substr(static_cast<std::size_t>(consumed));
        EXPECT_EQ(fill, std::string(static_cast<std::size_t>((number * 37 + writer * 101) % 800),
                                    static_cast<char>('a' + writer)) +
                            "]");
    }
}

}  // namespace
}  // namespace korvex::diagnostics
