// The white-balance ratios' round trip through the settings file.
#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "api_fixture.h"

namespace korvex::test {
namespace {

using SettingsFile = ApiTest;

// Camera 1 red 2.0 and blue 0.5, and camera 2 at unity, as a close stores them.
const char* const kCameraOneChanged =
    "[Video Parameter0]\nRGain=2.000000\nGGain=1.000000\nBGain=0.500000\n"
    "[Video Parameter1]\nRGain=1.000000\nGGain=1.000000\nBGain=1.000000\n";

// A change of camera 1's ratios, so that the next close writes the file.
void ChangeCameraOne() { ASSERT_EQ(ZqSetWhiteBalanceRatio(1, 50, 200), 1); }

int CountRenamesInto(const std::string& folder, const std::function<void()>& action);

std::string FileText(const std::string& path) {
    std::string text;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
        std::fclose(file);
    }
    return text;
}

// Both cameras at unity, as a close stores them when there was no file.
const char* const kBothAtUnity =
    "[Video Parameter0]\nRGain=1.000000\nGGain=1.000000\nBGain=1.000000\n"
    "[Video Parameter1]\nRGain=1.000000\nGGain=1.000000\nBGain=1.000000\n";

TEST_F(SettingsFile, TheFirstCloseMakesTheFileWithEveryCamerasRatios) {
    ASSERT_EQ(ZqOpenDevice(2), 1);
    EXPECT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ReadSettings(), kBothAtUnity);
    ASSERT_EQ(ZqOpenDevice(2), 1);
    ChangeCameraOne();
    EXPECT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ReadSettings(), kCameraOneChanged);
}

TEST_F(SettingsFile, ACloseThatChangedNoRatioStoresTheFileValuesWithSixDecimals) {
    // Stored in other spellings, or missing (read as 1.0): opening and closing, as `korvex list`
    // does, rewrites all three keys of each camera as the close writes them, once.
    WriteSettings("; mine\n[Video Parameter0]\nRGain=1.5\nGGain= 2e-1\nBGain=abc\n[Video Parameter1]\nBGain=0\n");
    ASSERT_EQ(ZqOpenDevice(2), 1);
    ASSERT_EQ(ZqAllocateResources(), 1);
    EXPECT_EQ(CountRenamesInto(folder_, [] { ASSERT_EQ(ZqCloseDevice(), 1); }), 1);
    EXPECT_EQ(ReadSettings(),
              "; mine\n[Video Parameter0]\nRGain=1.500000\nGGain=0.200000\nBGain=1.000000\n"
              "[Video Parameter1]\nBGain=1.000000\nRGain=1.000000\nGGain=1.000000\n");
}

TEST_F(SettingsFile, ACloseKeepsWhatAnotherProcessStoredMeanwhileForCamerasItDidNotChange) {
    // Camera 1 unchanged here and camera 2 balanced here; another process stores both while the
    // cameras are open. The close keeps the other's camera 1 and stores its own camera 2.
    ASSERT_EQ(ZqOpenDevice(2), 1);
    ASSERT_EQ(ZqSetWhiteBalanceRatio(2, 80, 125), 1);
    WriteSettings(
        "[Video Parameter0]\nRGain=1.5\nGGain=1.000000\nBGain=1.200000\n"
        "[Video Parameter1]\nRGain=3.000000\nGGain=1.000000\nBGain=3.000000\n");
    ASSERT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ReadSettings(),
              "[Video Parameter0]\nRGain=1.500000\nGGain=1.000000\nBGain=1.200000\n"
              "[Video Parameter1]\nRGain=1.250000\nGGain=1.000000\nBGain=0.800000\n");
}

TEST_F(SettingsFile, LogLinesGiveTheWholePathAndWhatBecameOfTheFile) {
    // The log is set up at the library's first line, once per process (ctest runs each test alone).
    const std::string logPath = folder_ + "/korvex.log";
    setenv("KORVEX_LOG", "settings:info", 1);
    setenv("KORVEX_LOG_FILE", logPath.c_str(), 1);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(ZqOpenDevice(1), 1);
        ASSERT_EQ(ZqCloseDevice(), 1);
    }
    const std::string log = FileText(logPath);
    std::size_t at = 0;
    for (const char* what : {" absent", " written", " read", " unchanged"}) {
        at = log.find("settings file " + SettingsPath() + what, at);
        ASSERT_NE(at, std::string::npos) << what << " in:\n" << log;
    }
}

TEST_F(SettingsFile, StoredTextsReadAsTheNumberTheyBeginWith) {
    struct Case {
        const char* stored;
        const char* written;
    } const cases[] = {
        {"1.5", "1.500000"},  {" 1.5xyz", "1.500000"}, {"2e-1", "0.200000"}, {"2d-1", "0.200000"},
        {"2D-1", "0.200000"}, {"-0.5", "-0.500000"},   {"0x10", "1.000000"}, {"inf", "1.000000"},
        {"nan", "1.000000"},  {"letters", "1.000000"}, {"", "1.000000"},     {"0.000000", "1.000000"},
        {"-0", "1.000000"},   {"1.25", "1.250000"},
    };
    // In green, which a manual white balance leaves as read.
    for (const Case& c : cases) {
        WriteSettings(std::string("[Video Parameter0]\nGGain=") + c.stored + "\n");
        ASSERT_EQ(ZqOpenDevice(1), 1);
        ChangeCameraOne();
        ASSERT_EQ(ZqCloseDevice(), 1);
        EXPECT_NE(ReadSettings().find(std::string("GGain=") + c.written + "\n"), std::string::npos)
            << "stored \"" << c.stored << "\" gave:\n"
            << ReadSettings();
    }
}

TEST_F(SettingsFile, OnlyTheFirst249CharactersOfAValueCount) {
    // 248 zeros and a 5 fit; the 7 after them lies beyond the buffer.
    WriteSettings("[Video Parameter0]\nGGain=1." + std::string(247, '0') + "57\n");
    ASSERT_EQ(ZqOpenDevice(1), 1);
    ChangeCameraOne();
    ASSERT_EQ(ZqCloseDevice(), 1);
    EXPECT_NE(ReadSettings().find("GGain=1.000000\n"), std::string::npos);
}

TEST_F(SettingsFile, SectionsAndKeysMatchWithoutRegardToCaseAndOtherContentStays) {
    const std::string original =
        "; written by hand\n[Display]\nZoom=2\n\n[video parameter0]\nrgain=1.25\n; note\nbgain=0.875\n\n[Tail]\nX=1\n";
    WriteSettings(original);
    ASSERT_EQ(ZqOpenDevice(1), 1);
    ChangeCameraOne();
    ASSERT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ReadSettings(),
              "; written by hand\n[Display]\nZoom=2\n\n[video parameter0]\nrgain=2.000000\n; note\n"
              "bgain=0.500000\nGGain=1.000000\n\n[Tail]\nX=1\n");
}

TEST_F(SettingsFile, CloseBeforeAnyOpenOrAfterAFailedOneKeepsTheStoredRatios) {
    const std::string stored = "[Video Parameter0]\nRGain=0.800000\nGGain=1.200000\nBGain=0.900000\n";
    WriteSettings(stored);
    EXPECT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ReadSettings(), stored);
    EXPECT_EQ(ZqOpenDevice(11), 0);
    EXPECT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ReadSettings(), stored);
    WriteSettings("");
    ASSERT_EQ(ZqOpenDevice(1), 1);
    ChangeCameraOne();
    ASSERT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ReadSettings(), "[Video Parameter0]\nRGain=2.000000\nGGain=1.000000\nBGain=0.500000\n");
}

TEST_F(SettingsFile, ACloseDuringAWhiteBalanceChangeStoresTheOldPairOrTheNew) {
    // A host thread flips camera 1 between two pairs of ratios until the close refuses it: the
    // close stores one pair whole, never red from one and blue from the other (and
    // ThreadSanitizer sees any unordered access to the ratios).
    const std::string pairs[2] = {"[Video Parameter0]\nRGain=2.000000\nGGain=1.000000\nBGain=0.500000\n",
                                  "[Video Parameter0]\nRGain=0.500000\nGGain=1.000000\nBGain=2.000000\n"};
    for (int round = 0; round < 10; ++round) {
        ASSERT_EQ(ZqOpenDevice(1), 1);
        std::atomic<int> changes{0};
        std::thread changer([&] {
            for (int n = 0; ZqSetWhiteBalanceRatio(1, n % 2 == 0 ? 50 : 200, n % 2 == 0 ? 200 : 50) == 1; ++n)
                changes.fetch_add(1);
        });
        while (changes.load() < 2) std::this_thread::yield();
        ASSERT_EQ(ZqCloseDevice(), 1);
        changer.join();
        const std::string stored = ReadSettings();
        EXPECT_TRUE(stored == pairs[0] || stored == pairs[1]) << "round " << round << " stored:\n" << stored;
    }
}

TEST_F(SettingsFile, AllocationTurnsAnyZeroRatioSetIntoUnity) {
    // A camera whose ratios were never loaded (count 1 at open, camera 2 restarted by hand)
    // and a camera with a stored set keep or reset them as a whole: the stored set is kept, so the
    // close stores it as it was.
    WriteSettings("[Video Parameter0]\nRGain=0.8\nGGain=1.2\nBGain=0.9\n");
    ASSERT_EQ(ZqOpenDevice(1), 1);
    ASSERT_EQ(ZqAllocateResources(), 1);
    ASSERT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ReadSettings(), "[Video Parameter0]\nRGain=0.800000\nGGain=1.200000\nBGain=0.900000\n");
}

TEST_F(SettingsFile, AFileThatCannotBeReplacedIsLeftAsItWas) {
    // A folder where the file should be: nothing can be read from it or written over it.
    ASSERT_EQ(mkdir(SettingsPath().c_str(), 0755), 0);
    ASSERT_EQ(ZqOpenDevice(1), 1);
    EXPECT_EQ(ZqCloseDevice(), 1);
    struct stat info {};
    ASSERT_EQ(stat(SettingsPath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    // No temporary file is left behind.
    DIR* dir = opendir(folder_.c_str());
    ASSERT_NE(dir, nullptr);
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
    closedir(dir);
    for (const std::string& name : names) EXPECT_EQ(name.find("Korvex.ini."), std::string::npos) << name;
}

// What lies where the settings file should be: made by make, checked to be still there by kept.
struct SpecialFile {
    const char* name;
    const char* reason;  // as the message gives it
    std::function<bool(const std::string&)> make;
    std::function<bool(const std::string&)> kept;
};

bool IsFifo(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

bool LinksToDevZero(const std::string& path) {
    char target[32] = {};
    return readlink(path.c_str(), target, sizeof target - 1) > 0 && std::string(target) == "/dev/zero";
}

// Ratios that would be read from the file's start, and a size just beyond the 64 MiB limit.
constexpr off_t kOverLimit = (off_t{64} << 20) + 1;
const std::string kOversizedStart = "[Video Parameter0]\nRGain=2\n";

bool MakeOversized(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fputs(kOversizedStart.c_str(), file);
    std::fclose(file);
    return truncate(path.c_str(), kOverLimit) == 0;  // sparse: no disk taken
}

bool IsOversized(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && info.st_size == kOverLimit;
}

TEST_F(SettingsFile, OnlyARegularFileWithinTheLimitIsReadOrReplaced) {
    const SpecialFile cases[] = {
        {"FIFO", "it is a FIFO, not a regular file", [](const std::string& p) { return mkfifo(p.c_str(), 0644) == 0; },
         IsFifo},
        {"link to /dev/zero", "it is a character device, not a regular file",
         [](const std::string& p) { return symlink("/dev/zero", p.c_str()) == 0; }, LinksToDevZero},
        {"oversized file", "it is larger than 64 MiB", MakeOversized, IsOversized},
    };
    const std::string elsewhere = folder_ + "/elsewhere";
    for (const SpecialFile& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(SettingsPath().c_str());
        ASSERT_TRUE(c.make(SettingsPath()));
        // Opening neither blocks nor reads without end; the file is refused and named.
        testing::internal::CaptureStderr();
        ASSERT_EQ(ZqOpenDevice(1), 1);
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_NE(told.find("settings file " + SettingsPath() + " is not read: " + c.reason), std::string::npos)
            << told;
        // Its ratios read as absent: closing into a fresh folder stores unity.
        setenv("KORVEX_CONFIG_DIR", elsewhere.c_str(), 1);
        ASSERT_EQ(ZqCloseDevice(), 1);
        EXPECT_EQ(FileText(elsewhere + "/Korvex.ini"),
                  "[Video Parameter0]\nRGain=1.000000\nGGain=1.000000\nBGain=1.000000\n");
        std::remove((elsewhere + "/Korvex.ini").c_str());
        setenv("KORVEX_CONFIG_DIR", folder_.c_str(), 1);
        // A close with ratios to store leaves it as it is.
        ASSERT_EQ(ZqOpenDevice(1), 1);
        ChangeCameraOne();
        testing::internal::CaptureStderr();
        ASSERT_EQ(ZqCloseDevice(), 1);
        const std::string toldAtClose = testing::internal::GetCapturedStderr();
        EXPECT_NE(toldAtClose.find("settings file " + SettingsPath() + " is left as it was: " + c.reason),
                  std::string::npos)
            << toldAtClose;
        EXPECT_TRUE(c.kept(SettingsPath()));
    }
}

TEST_F(SettingsFile, TheFolderComesFromTheEnvironmentInOrder) {
    const std::string xdg = folder_ + "/xdg";
    const std::string home = folder_ + "/home";
    unsetenv("KORVEX_CONFIG_DIR");
    setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    ASSERT_EQ(ZqOpenDevice(1), 1);
    ChangeCameraOne();
    ASSERT_EQ(ZqCloseDevice(), 1);
    struct stat info {};
    EXPECT_EQ(stat((xdg + "/Korvex.ini").c_str(), &info), 0);
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", home.c_str(), 1);
    ASSERT_EQ(ZqOpenDevice(1), 1);
    ChangeCameraOne();
    ASSERT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(stat((home + "/.config/Korvex.ini").c_str(), &info), 0);
}

TEST_F(SettingsFile, ASymlinkedFileUpdatesItsTargetAndStaysALink) {
    const std::string target = folder_ + "/shared/camera.ini";
    ASSERT_EQ(mkdir((folder_ + "/shared").c_str(), 0755), 0);
    ASSERT_EQ(symlink("shared/camera.ini", SettingsPath().c_str()), 0);  // dangling until the first close
    ASSERT_EQ(ZqOpenDevice(2), 1);
    ChangeCameraOne();
    ASSERT_EQ(ZqCloseDevice(), 1);
    struct stat info {};
    ASSERT_EQ(lstat(SettingsPath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadSettings(), kCameraOneChanged);  // read through the link: the target's text
    ASSERT_EQ(lstat(target.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
}

TEST_F(SettingsFile, AByteOrderMarkIsReadPastAndKept) {
    const std::string bom = "\xEF\xBB\xBF";
    WriteSettings(bom + "[Video Parameter0]\r\nRGain=1.25\r\nGGain=1.5\r\nBGain=0.75\r\n");
    ASSERT_EQ(ZqOpenDevice(1), 1);
    ChangeCameraOne();
    ASSERT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ReadSettings(), bom + "[Video Parameter0]\r\nRGain=2.000000\r\nGGain=1.500000\r\nBGain=0.500000\r\n");
}

// Renames into the folder while action runs, seen through inotify. Opens are watched too so that
// no two renames queue back to back, where inotify would merge them into one event.
int CountRenamesInto(const std::string& folder, const std::function<void()>& action) {
    const int watcher = inotify_init1(IN_NONBLOCK);
    if (watcher < 0 || inotify_add_watch(watcher, folder.c_str(), IN_MOVED_TO | IN_OPEN) < 0) return -1;
    action();
    int renames = 0;
    alignas(inotify_event) char events[64 * 1024];
    for (ssize_t n; (n = read(watcher, events, sizeof events)) > 0;) {
        for (char* p = events; p < events + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            if (event->mask & IN_MOVED_TO) ++renames;
            p += sizeof(inotify_event) + event->len;
        }
    }
    close(watcher);
    return renames;
}

TEST_F(SettingsFile, ClosingTenCamerasReplacesTheFileOnceAndKeepsForeignLines) {
    ASSERT_EQ(hvsim_configure("HV1300UC,HV1300UM,HV1300UC,HV1300UC,HV1300UC,HV1300UC,HV1300UC,HV1300UC,HV1300UC,"
                              "HV1300UC"),
              10);
    WriteSettings("; mine\n[Video Parameter3]\nRGain=1.5\n");
    ASSERT_EQ(ZqOpenDevice(10), 1);
    ChangeCameraOne();
    EXPECT_EQ(CountRenamesInto(folder_, [] { ASSERT_EQ(ZqCloseDevice(), 1); }), 1);
    const std::string text = ReadSettings();
    EXPECT_EQ(text.rfind("; mine\n[Video Parameter3]\nRGain=1.500000\nGGain=1.000000\nBGain=1.000000\n", 0), 0u)
        << text;
    for (int s = 0; s < 10; ++s) {
        EXPECT_NE(text.find("[Video Parameter" + std::to_string(s) + "]\n"), std::string::npos) << s;
    }
}

}  // namespace
}  // namespace korvex::test
