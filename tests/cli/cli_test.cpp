// The korvex tool run as a program on the default simulated pair (camera 1 HV1300UC colour,
// camera 2 HV1300UM monochrome): exit codes and messages for a table of command lines, --json
// output read by Python's json module, snapshots decoded back in every image format, white balance
// kept for one run unless saved, a recording checked against the folder format and kept whole when
// a new one is interrupted, and a camera that stops delivering.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "hvsim_control.h"
#include "json_text.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode;
    std::string output;  // standard output and standard error together
};

// A fresh folder per test, and the settings file kept in it rather than in the user's home.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        dir_ = fs::temp_directory_path() / ("korvex_cli_" + std::to_string(::getpid()) + "_" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        setenv("KORVEX_CONFIG_DIR", dir_.c_str(), 1);
        setenv("KORVEX_SIM_CAMERAS", "HV1300UC,HV1300UM", 1);
        unsetenv("KORVEX_DIALOG");
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs a command line through the shell, with {dir} standing for the test's folder.
    Outcome Execute(std::string command) const {
        for (auto at = command.find("{dir}"); at != std::string::npos; at = command.find("{dir}"))
            command.replace(at, 5, dir_.string());
        Outcome run{-1, {}};
        FILE* pipe = popen((command + " 2>&1").c_str(), "r");
        if (pipe == nullptr) return run;
        char chunk[4096];
        for (std::size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) run.output.append(chunk, n);
        const int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return run;
    }
    Outcome Tool(const std::string& arguments) const { return Execute(std::string(KORVEX_TOOL) + " " + arguments); }

    fs::path dir_;
};

struct Case {
    const char* arguments;
    int exitCode;
    const char* phrases;  // each of them, separated by |, is in the output
};

// Shown in the test's name: the command line, not the struct's bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << "korvex " << c.arguments; }

// Usage errors exit 2, camera errors 3, I/O errors 4; each message names what was wrong.
const Case kCases[] = {
    {"--help", 0, "Exit codes"},
    {"snap --help", 0, "--exposure"},
    {"record --help", 0, "--frames"},
    {"", 0, "2       HV1300UM|korvex --help"},  // lists the cameras, then the hint
    {"bogus", 2, "bogus"},
    {"lsit", 2, "did you mean list?"},
    {"snap 1 -o {dir}/x.png --expsure 10ms", 2, "did you mean --exposure?"},
    {"snap --help", 0, "X,Y,WIDTH,HEIGHT[,THICKNESS]"},
    {"snap 1 -o {dir}/x.png --wb-red nan --wb-blue 1", 2, "'nan' is not a finite number"},
    {"snap 1 -o {dir}/x.png --wb-red 1 --wb-blue -inf", 2, "'-inf' is not a finite number"},
    {"stream 1 --seconds nan", 2, "'nan' is not a finite number"},
    {"stream 1 --seconds inf", 2, "'inf' is not a finite number"},
    {"snap 1 -o {dir}/x.png --exposure nanms", 2, "--exposure"},
    {"snap 1 -o {dir}/x.png --exposure 0.5us", 2, "--exposure"},
    {"snap 1 -o {dir}/x.gif", 2, "no image extension"},
    {"snap 1 -o {dir}/x.jpg --quality 0", 2, "--quality"},
    {"snap 1 -o {dir}/x.png --window 0,0,320,256 --exposure 1.5ms", 0, "written"},
    {"--log debug --log-file {dir}/korvex.log list", 0, "HV1300UC"},
    {"snap 1", 2, "--output is required"},
    {"snap 0 -o {dir}/x.png", 2, "camera: '0' is not within 1..10|korvex snap --help lists the valid values"},
    {"snap one -o {dir}/x.png", 2, "camera: 'one' is not a whole number in 1..10"},
    {"snap 1 -o {dir}/x.png --cross 1,2,3", 2, "--cross takes X,Y,WIDTH,HEIGHT[,THICKNESS]: at least 4"},
    {"snap 1 -o {dir}/x.png --exposure 2s", 0,
     "exposure 2 s is longer than the HV1300UC takes at width 1280; it got 1.04 s"},
    {"snap 1 -o {dir}/x.png --window 0,0,320,256 --exposure 40000us", 0, "written"},
    {"snap 1 -o {dir}/x.png --window 0,0,320,256 --exposure 40001us", 2, "40001us cannot be sent"},
    {"snap 2 -o {dir}/x.png --window 0,0,64,32 --colour", 0, "(HV1300UM) is monochrome: --colour"},
    {"snap 1 -o {dir}/x.png --gain 300", 2, "--gain"},
    {"snap 1 -o {dir}/x.png --exposure '10 parsecs'", 2, "--exposure"},
    {"snap 1 -o {dir}/x.png --window 0,0,0,5", 2, "--window"},
    {"snap 1 -o {dir}/x.png --window 0,0,5", 2, "--window"},
    {"snap 1 -o {dir}/x.png --wb-red 1.2", 2, "--wb-red requires --wb-blue"},
    {"snap 1 -o {dir}/x.png --gamma 2 --auto-wb", 2, "--gamma excludes --auto-wb"},
    {"snap 1 -o {dir}/x.png --bayer 5", 2, "--bayer"},
    {"record 1 --frames 0 -o {dir}/rec", 2, "--frames"},
    {"snap 3 -o {dir}/x.png", 3, "camera 3 not found"},
    {"snap 1 -o {dir}/x.png --mode 7", 3, "resolution mode 7; its modes are 0: 1280x1024, 1: 640x512, 2: 320x256"},
    {"snap 1 -o {dir}/x.png --window 0,0,5000,5000", 3, "window 0,0,5000,5000|within the mode's 1280x1024"},
    {"snap 1 -o {dir}/missing/x.png", 4, "cannot write|No such file or directory"},
    {"record 1 --frames 1 -o /proc/korvex-recording", 4, "cannot create"},
    {"list", 0, "2       HV1300UM    KVXHV1300UM-"},
    {"info 2", 0, "monochrome"},
    {"info 1", 0, "1: 640x512|window            0,0,1280,1024|56 us .. 1.04 s at width 1280"},
    {"stream 2 --seconds 1 --window 0,0,320,240", 0, "summary:|not lost frames"},
};

class CliCommandLine : public CliTest, public ::testing::WithParamInterface<Case> {};

TEST_P(CliCommandLine, ExitCodeAndMessage) {
    const Case& c = GetParam();
    const Outcome run = Tool(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << "korvex " << c.arguments << "\n" << run.output;
    std::istringstream phrases(c.phrases);
    for (std::string phrase; std::getline(phrases, phrase, '|');) {
        EXPECT_NE(run.output.find(phrase), std::string::npos)
            << "korvex " << c.arguments << ": no \"" << phrase << "\" in\n"
            << run.output;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CliCommandLine, ::testing::ValuesIn(kCases));

struct JsonCase {
    const char* arguments;
    const char* expression;  // Python, over the parsed output d
    const char* expected;    // what Python prints for it
};

void PrintTo(const JsonCase& c, std::ostream* out) { *out << "korvex " << c.arguments; }

// Standard output of --json is one JSON document, whatever goes to standard error.
const JsonCase kJsonCases[] = {
    {"list --json", "[(c['camera'], c['model'], c['sensor']) for c in d['cameras']]",
     "[(1, 'HV1300UC', 'colour'), (2, 'HV1300UM', 'monochrome')]"},
    {"info 1 --json", "[(m['mode'], m['width'], m['height']) for m in d['modes']]",
     "[(0, 1280, 1024), (1, 640, 512), (2, 320, 256)]"},
    {"info 2 --json", "(d['serial_number'][:11], d['window']['width'], d['gain']['max'])",
     "('KVXHV1300UM', 1280, 255)"},
    {"info 1 --json", "(d['exposure']['min_s'], round(d['exposure']['max_s'], 4))", "(5.6e-05, 1.0403)"},
    {"list --json", "d['cameras_seen']", "2"},
    {"stream 2 --seconds 1 --window 0,0,320,240 --json",
     "(d['frames'] > 0, d['width'], d['timeouts'], d['stopped_delivering'])", "(True, 320, 0, False)"},
};

class CliJson : public CliTest, public ::testing::WithParamInterface<JsonCase> {};

TEST_P(CliJson, ParsesAsJson) {
    const JsonCase& c = GetParam();
    const Outcome run = Execute(std::string(KORVEX_TOOL) + " " + c.arguments +
                                " 2>/dev/null | python3 -c \"import json, sys; d = json.load(sys.stdin); print(" +
                                c.expression + ")\"");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, std::string(c.expected) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Table, CliJson, ::testing::ValuesIn(kJsonCases));

// The simulated cameras' list as the tool reads it: one it cannot use is a bad value, not "no
// cameras"; more cameras than the adapter drives are said to be more.
TEST_F(CliTest, SimulatedCameraListIsCheckedAndCounted) {
    setenv("KORVEX_SIM_CAMERAS", "NOPE", 1);
    const Outcome bad = Tool("list");
    EXPECT_EQ(bad.exitCode, 2) << bad.output;
    EXPECT_NE(bad.output.find("KORVEX_SIM_CAMERAS=NOPE is not a list of simulated cameras"), std::string::npos)
        << bad.output;
    setenv("KORVEX_SIM_CAMERAS",
           "HV1300UC,HV1300UC,HV1300UC,HV1300UC,HV1300UC,HV1300UC,HV1300UC,HV1300UC,HV1300UC,"
           "HV1300UC,HV1300UM",
           1);
    const Outcome many = Tool("list");
    EXPECT_EQ(many.exitCode, 0) << many.output;
    EXPECT_NE(many.output.find("10 of 11 cameras shown"), std::string::npos) << many.output;
    EXPECT_EQ(many.output.find("HV1300UM"), std::string::npos) << many.output;
}

// Whatever bytes a camera reports, --json output is UTF-8: well-formed sequences are kept, every
// other byte becomes U+FFFD.
TEST(CliJsonText, StringsAreValidUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"HV1300UC", "\"HV1300UC\""},
        {"a\"b\\c\n", "\"a\\\"b\\\\c\\u000a\""},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""},
        {"KVX\xFF\xFE"
         "1",
         "\"KVX\xEF\xBF\xBD\xEF\xBF\xBD"
         "1\""},                                                                       // bytes of no sequence
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                                  // overlong "/"
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // a surrogate
        {"\xF4\x90\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // above U+10FFFF
        {"ab\xE2\x82", "\"ab\xEF\xBF\xBD\xEF\xBF\xBD\""},                              // cut short at the end
        {"\x80z", "\"\xEF\xBF\xBDz\""},                                                // a stray continuation byte
    };
    for (const auto& [text, json] : cases) EXPECT_EQ(korvex::cli::JsonString(text), json) << text;
}

TEST_F(CliTest, DemoHelpAndMissingFolder) {
    if (std::string(KORVEX_DEMO).empty()) GTEST_SKIP() << "demo not built";
    const Outcome help = Execute(std::string(KORVEX_DEMO) + " --help");
    EXPECT_EQ(help.exitCode, 0) << help.output;
    EXPECT_NE(help.output.find("Usage"), std::string::npos) << help.output;
    EXPECT_TRUE(fs::is_empty(dir_));
    const Outcome missing = Execute(std::string(KORVEX_DEMO) + " " + (dir_ / "missing").string());
    EXPECT_EQ(missing.exitCode, 2) << missing.output;
    EXPECT_NE(missing.output.find("does not exist"), std::string::npos) << missing.output;
}

struct Image {
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<uint8_t, void (*)(void*)> pixels{nullptr, stbi_image_free};
};

Image Load(const fs::path& file) {
    Image image;
    image.pixels.reset(stbi_load(file.c_str(), &image.width, &image.height, &image.channels, 0));
    return image;
}

TEST_F(CliTest, SnapWritesColourWithCrossAndGreyPng) {
    const Outcome colour =
        Tool("snap 1 -o {dir}/c.png --window 64,32,320,240 --exposure 50ms --cross 100,50,40,40,3 --auto-wb");
    ASSERT_EQ(colour.exitCode, 0) << colour.output;
    const Image c = Load(dir_ / "c.png");
    ASSERT_NE(c.pixels, nullptr);
    EXPECT_EQ(c.width, 320);
    EXPECT_EQ(c.height, 240);
    ASSERT_EQ(c.channels, 3);
    const uint8_t* centre = c.pixels.get() + 3 * (70 * 320 + 120);  // where the bars cross
    EXPECT_EQ(centre[0], 255);
    EXPECT_EQ(centre[1], 0);
    EXPECT_EQ(centre[2], 0);

    const Outcome grey = Tool("snap 2 -o {dir}/g.png --mode 1 --exposure 50ms --gain 40");
    ASSERT_EQ(grey.exitCode, 0) << grey.output;
    const Image g = Load(dir_ / "g.png");
    ASSERT_NE(g.pixels, nullptr);
    EXPECT_EQ(g.width, 640);
    EXPECT_EQ(g.height, 512);
    EXPECT_EQ(g.channels, 1);
}

// The extension chooses the format; each file decodes back at the frame's size.
TEST_F(CliTest, SnapFormatFollowsExtension) {
    for (const char* name : {"g.png", "g.bmp", "g.TGA", "g.jpg", "g.jpeg"}) {
        const Outcome run = Tool(std::string("snap 2 --window 0,0,64,32 --quality 80 -o {dir}/") + name);
        ASSERT_EQ(run.exitCode, 0) << name << "\n" << run.output;
        const Image image = Load(dir_ / name);
        ASSERT_NE(image.pixels, nullptr) << name;
        EXPECT_EQ(image.width, 64) << name;
        EXPECT_EQ(image.height, 32) << name;
    }
}

struct WriteFailure {
    const char* setup;      // shell commands run first, in the same shell
    const char* arguments;  // for the tool
    const char* reason;     // the system's reason, in the message
};

void PrintTo(const WriteFailure& c, std::ostream* out) { *out << c.setup << " korvex " << c.arguments; }

// A write that fails is an error with the reason and exit code 4: the file a link names is a device
// that takes no bytes, or a file grows past what the system lets it (as on a full disk). The
// earlier file stays as it was and nothing written beside it is left.
const WriteFailure kWriteFailures[] = {
    {"ln -s /dev/full {dir}/out.png;", "snap 1 -o {dir}/out.png", "not a regular file"},
    {"echo earlier > {dir}/out.png; trap '' XFSZ; ulimit -f 8;", "snap 1 -o {dir}/out.png", "File too large"},
    {"echo earlier > {dir}/out.png; trap '' XFSZ; ulimit -f 8;", "snap 1 -o {dir}/out.bmp", "File too large"},
    {"mkdir {dir}/out.png;", "snap 2 -o {dir}/out.png", "not a regular file"},
    {"trap '' XFSZ; ulimit -f 8;", "record 1 --frames 2 -o {dir}/rec", "File too large"},
};

class CliWriteFailure : public CliTest, public ::testing::WithParamInterface<WriteFailure> {};

TEST_P(CliWriteFailure, IsAnErrorAndLeavesNothing) {
    const WriteFailure& c = GetParam();
    const Outcome run = Execute(std::string(c.setup) + " \"" + KORVEX_TOOL + "\" " + c.arguments);
    EXPECT_EQ(run.exitCode, 4) << run.output;
    EXPECT_NE(run.output.find("cannot write"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(c.reason), std::string::npos) << run.output;
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    for (const std::string& name : names) {
        EXPECT_TRUE(name == "out.png" || name == "Korvex.ini") << name << " left in\n" << run.output;
    }
    if (fs::is_regular_file(dir_ / "out.png")) {
        std::ifstream in(dir_ / "out.png");
        std::string text;
        std::getline(in, text);
        EXPECT_EQ(text, "earlier");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CliWriteFailure, ::testing::ValuesIn(kWriteFailures));

std::string FileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::multimap<std::string, std::string> ReadKeys(const fs::path& file) {
    std::multimap<std::string, std::string> keys;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const auto equals = line.find('=');
        if (equals != std::string::npos) keys.emplace(line.substr(0, equals), line.substr(equals + 1));
    }
    return keys;
}

// A white balance set for one snap is gone from the settings file after it; --save keeps it, and
// a later unsaved one leaves the saved ratios as they were.
TEST_F(CliTest, WhiteBalanceStoredOnlyWithSave) {
    const auto storedRed = [this] {
        for (const auto& [key, value] : ReadKeys(dir_ / "Korvex.ini")) {
            if (key == "RGain") return value;  // camera 1's section comes first
        }
        return std::string("absent");
    };
    const std::string once = "snap 1 -o {dir}/x.png --window 0,0,64,32 --wb-red 2.5 --wb-blue 0.5";
    ASSERT_EQ(Tool(once).exitCode, 0);
    EXPECT_NE(storedRed(), "2.500000");
    ASSERT_EQ(Tool(once + " --save").exitCode, 0);
    EXPECT_EQ(storedRed(), "2.500000");
    ASSERT_EQ(Tool("snap 1 -o {dir}/x.png --window 0,0,64,32 --wb-red 1.25 --wb-blue 3").exitCode, 0);
    EXPECT_EQ(storedRed(), "2.500000");
    ASSERT_EQ(Tool("snap 1 -o {dir}/x.png --window 0,0,64,32 --auto-wb").exitCode, 0);
    EXPECT_EQ(storedRed(), "2.500000");
}

// A snap without --save leaves the stored ratios exactly as the adapter reads them: past 16 MiB,
// from the first of two sections, in any number spelling, to the millionth, green included.
TEST_F(CliTest, SnapWithoutSavePutsBackExactlyWhatWasStored) {
    const std::string manual = " --wb-red 2 --wb-blue 2";
    struct StoredCase {
        const char* name;
        std::string stored;
        std::string balance;
        const char* expected;  // camera 1's section afterwards
    } const cases[] = {
        {"20 MiB file", std::string(20 << 20, ';') + "\n[Video Parameter0]\nRGain=1.5\nGGain=1\nBGain=0.7\n", manual,
         "[Video Parameter0]\nRGain=1.500000\nGGain=1.000000\nBGain=0.700000\n"},
        {"duplicate section", "[Video Parameter0]\nRGain=1.5\nBGain=0.7\n[Video Parameter0]\nRGain=3\nBGain=3\n",
         manual, "[Video Parameter0]\nRGain=1.500000\nBGain=0.700000\nGGain=1.000000\n"},
        {"exponent d", "[Video Parameter0]\nRGain=1d2\nGGain=1\nBGain=2.5e-1\n", manual,
         "[Video Parameter0]\nRGain=100.000000\nGGain=1.000000\nBGain=0.250000\n"},
        {"six decimals", "[Video Parameter0]\nRGain=1.234568\nGGain=1\nBGain=0.876543\n", manual,
         "[Video Parameter0]\nRGain=1.234568\nGGain=1.000000\nBGain=0.876543\n"},
        {"automatic, green", "[Video Parameter0]\nRGain=1.1\nGGain=0.9\nBGain=1.3\n", " --auto-wb",
         "[Video Parameter0]\nRGain=1.100000\nGGain=0.900000\nBGain=1.300000\n"},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(dir_ / "Korvex.ini", std::ios::binary | std::ios::trunc) << c.stored;
        const Outcome run = Tool("snap 1 -o {dir}/x.png --window 0,0,64,32" + c.balance);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const std::string text = FileText(dir_ / "Korvex.ini");
        EXPECT_NE(text.find(c.expected), std::string::npos) << text.substr(text.find("[Video Parameter0]"));
    }
}

// A stream open meanwhile changed no ratio, so its close keeps the snap's save.
TEST_F(CliTest, SaveSurvivesAStreamThatClosesAfterIt) {
    const std::string tool = std::string("\"") + KORVEX_TOOL + "\"";
    const Outcome run =
        Execute(tool +
                " stream 1 --window 0,0,64,32 > {dir}/out.txt 2>&1 & p=$!; "
                "until grep -q streaming {dir}/out.txt || ! kill -0 $p 2>/dev/null; do sleep 0.02; done; " +
                tool + " snap 1 -o {dir}/x.png --window 0,0,64,32 --wb-red 1.5 --wb-blue 1.2 --save; echo snap=$?; " +
                "kill -INT $p; wait $p; echo stream=$?");
    ASSERT_NE(run.output.find("snap=0"), std::string::npos) << run.output;
    ASSERT_NE(run.output.find("stream=0"), std::string::npos) << run.output << FileText(dir_ / "out.txt");
    const std::string text = FileText(dir_ / "Korvex.ini");
    EXPECT_NE(text.find("[Video Parameter0]\nRGain=1.500000\nGGain=1.000000\nBGain=1.200000\n"), std::string::npos)
        << text;
}

// --save into a folder that cannot be made fails before any camera is used, with the reason.
TEST_F(CliTest, SaveIntoAnUnwritableFolderFails) {
    std::ofstream(dir_ / "file") << "not a folder";
    const Outcome run = Execute("KORVEX_CONFIG_DIR={dir}/file/settings " + std::string(KORVEX_TOOL) +
                                " snap 1 -o {dir}/x.png --window 0,0,64,32 --wb-red 1.5 --wb-blue 1.2 --save");
    EXPECT_EQ(run.exitCode, 4) << run.output;
    EXPECT_NE(run.output.find("/file/settings/Korvex.ini"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Not a directory"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(dir_ / "x.png"));
}

// The frames are the camera's raw mosaic: the simulator's stamp, written in raw bytes, reads back
// from each PNG with strictly rising frame numbers.
TEST_F(CliTest, RecordWritesRawFramesAndDescription) {
    const Outcome run = Tool("record 1 --frames 3 -o {dir}/rec --exposure 50ms --window 0,0,320,256");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const auto keys = ReadKeys(dir_ / "rec" / "recording.txt");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"format", "1"},       {"model", "HV1300UC"}, {"width", "320"}, {"height", "256"},
        {"bayer_layout", "1"}, {"exposure", "50 ms"}, {"frames", "3"}};
    for (const auto& [key, value] : expected) {
        ASSERT_EQ(keys.count(key), 1u) << key;
        EXPECT_EQ(keys.find(key)->second, value) << key;
    }
    std::vector<std::string> frames;
    for (auto [at, end] = keys.equal_range("frame"); at != end; ++at) frames.push_back(at->second);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], "0 0");
    long previousTime = 0;
    int previousFrame = -1;
    for (int k = 0; k < 3; ++k) {
        std::istringstream line(frames[static_cast<std::size_t>(k)]);
        int index = -1;
        long timeUs = -1;
        line >> index >> timeUs;
        EXPECT_EQ(index, k);
        if (k > 0) {
            EXPECT_GT(timeUs, previousTime);
        }
        previousTime = timeUs;

        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", k);
        const Image image = Load(dir_ / "rec" / name);
        ASSERT_NE(image.pixels, nullptr) << name;
        EXPECT_EQ(image.width, 320);
        EXPECT_EQ(image.height, 256);
        EXPECT_EQ(image.channels, 1);
        HvSimStamp stamp{};
        ASSERT_EQ(hvsim_decode_stamp(image.pixels.get(), 320, 256, 1, &stamp), 0) << name;
        EXPECT_EQ(stamp.device, 1);
        EXPECT_GT(stamp.frame, previousFrame);
        previousFrame = stamp.frame;
    }
}

// Ctrl-C twice while the frames are written leaves the earlier recording under the name (exit
// 130), or, when the run was done before the signals came, the new one whole; nothing
// half-written, no folder of the new one's parts left beside it. The second Ctrl-C is sent once
// the tool has said it saw the first.
TEST_F(CliTest, InterruptedRecordKeepsEarlierRecording) {
    ASSERT_EQ(Tool("record 2 --frames 2 -o {dir}/rec --window 0,0,64,32").exitCode, 0);
    const std::string earlier = FileText(dir_ / "rec" / "recording.txt");
    const Outcome run =
        Execute(std::string("\"") + KORVEX_TOOL +
                "\" record 1 --frames 40 -o {dir}/rec > {dir}/out.txt 2>&1 & p=$!; "
                "until grep -q writing {dir}/out.txt || ! kill -0 $p 2>/dev/null; do sleep 0.02; done; "
                "kill -INT $p; "
                "until grep -q 'again abandons' {dir}/out.txt || ! kill -0 $p 2>/dev/null; do sleep 0.02; "
                "done; kill -INT $p; wait $p; echo exit=$?");
    const auto keys = ReadKeys(dir_ / "rec" / "recording.txt");
    if (run.output.find("exit=130") != std::string::npos) {
        EXPECT_EQ(FileText(dir_ / "rec" / "recording.txt"), earlier);
        EXPECT_TRUE(fs::exists(dir_ / "rec" / "frame-000001.png"));
    } else {
        ASSERT_NE(run.output.find("exit=0"), std::string::npos) << run.output << FileText(dir_ / "out.txt");
        ASSERT_EQ(keys.count("frames"), 1u);
        EXPECT_EQ(keys.find("frames")->second, "40");
    }
    for (const auto& entry : fs::directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename().string().find(".rec."), std::string::npos) << entry.path();
}

// Starts `korvex record` in the background on a capture of 30 s (300 frames at 10 a second) that
// the test ends by Ctrl-C, and returns the shell line that waits until it has taken its first
// frame; its process id is in $<name>.
std::string LongRecord(const std::string& name, const std::string& options) {
    return std::string("\"") + KORVEX_TOOL + "\" record 2 --frames 300 --window 0,0,64,32 --exposure 100ms " + options +
           " > {dir}/" + name + ".txt 2>&1 & " + name + "=$!; until grep -qs recording {dir}/" + name +
           ".txt || ! kill -0 $" + name + " 2>/dev/null; do sleep 0.02; done; ";
}

// The frame files of a recording folder and the count its description gives.
std::pair<std::size_t, std::string> FramesOf(const fs::path& folder) {
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) files += entry.path().extension() == ".png";
    const auto keys = ReadKeys(folder / "recording.txt");
    return {files, keys.count("frames") == 1 ? keys.find("frames")->second : "none"};
}

// The first Ctrl-C ends capture and keeps the frames taken as a whole recording (exit 0).
TEST_F(CliTest, FirstCtrlCRecordsFramesTaken) {
    const Outcome run = Execute(LongRecord("a", "-o {dir}/rec") + "kill -INT $a; wait $a; echo exit=$?");
    ASSERT_NE(run.output.find("exit=0"), std::string::npos) << run.output << FileText(dir_ / "a.txt");
    EXPECT_NE(FileText(dir_ / "a.txt").find(" of 300 frames of 64x32 recorded in"), std::string::npos)
        << FileText(dir_ / "a.txt");
    const auto [files, frames] = FramesOf(dir_ / "rec");
    EXPECT_GE(files, 1u);
    EXPECT_EQ(std::to_string(files), frames);
}

// Two runs into one folder, and a file put into it during a run: the run that finds its
// destination changed at the swap fails (exit 4) and names the folder that keeps its recording;
// the file put there and the other run's recording stay whole.
TEST_F(CliTest, RecordFailsWhenItsDestinationChanged) {
    ASSERT_EQ(Tool("record 2 --frames 2 -o {dir}/rec --window 0,0,64,32").exitCode, 0);
    const Outcome run =
        Execute(LongRecord("a", "-o {dir}/rec") + LongRecord("b", "-o {dir}/rec") +
                "kill -INT $a; wait $a; echo a=$?; kill -INT $b; wait $b; echo b=$?; " +
                LongRecord("c", "-o {dir}/rec") + "echo mine > {dir}/rec/notes.txt; kill -INT $c; wait $c; echo c=$?");
    const std::string b = FileText(dir_ / "b.txt"), c = FileText(dir_ / "c.txt");
    ASSERT_NE(run.output.find("a=0"), std::string::npos) << run.output << FileText(dir_ / "a.txt");
    ASSERT_NE(run.output.find("b=4"), std::string::npos) << run.output << b;
    ASSERT_NE(run.output.find("c=4"), std::string::npos) << run.output << c;
    EXPECT_NE(b.find("was changed during this run; the new recording is kept in"), std::string::npos) << b;
    EXPECT_NE(c.find("during this run; the new recording is kept in"), std::string::npos) << c;
    EXPECT_EQ(FileText(dir_ / "rec" / "notes.txt"), "mine\n");
    const auto [files, frames] = FramesOf(dir_ / "rec");
    EXPECT_EQ(std::to_string(files), frames);
    std::size_t kept = 0;
    for (const auto& entry : fs::directory_iterator(dir_)) {
        if (entry.path().filename().string().rfind(".rec.korvex-partial-", 0) != 0) continue;
        ++kept;
        const auto [keptFiles, keptFrames] = FramesOf(entry.path());
        EXPECT_EQ(std::to_string(keptFiles), keptFrames) << entry.path();
    }
    EXPECT_EQ(kept, 2u);
}

// A camera that delivers no frame for three timeouts in a row has stopped: exit 3 with the log
// hint. A replayed recording whose second frame comes 100 s after the first delivers nothing for
// far longer than three waits of 100 ms.
TEST_F(CliTest, StreamReportsCameraThatStoppedDelivering) {
    ASSERT_EQ(Tool("record 2 --frames 2 -o {dir}/rec --window 0,0,64,32").exitCode, 0);
    std::string text = FileText(dir_ / "rec" / "recording.txt");
    text.replace(text.find("frame=1 "), std::string::npos, "frame=1 100000000\n");
    std::ofstream(dir_ / "rec" / "recording.txt", std::ios::binary | std::ios::trunc) << text;
    setenv("KORVEX_SIM_CAMERAS", ("replay:" + (dir_ / "rec").string()).c_str(), 1);
    const Outcome run = Tool("stream 1 --timeout 100 --seconds 600");
    EXPECT_EQ(run.exitCode, 3) << run.output;
    EXPECT_NE(run.output.find("camera 1 stopped delivering frames"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("3 timeouts"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("--log debug"), std::string::npos) << run.output;
}

}  // namespace
