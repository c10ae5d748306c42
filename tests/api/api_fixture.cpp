#include "api_fixture.h"

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace korvex::test {

void ApiTest::SetUp() {
    char folderTemplate[] = "/tmp/korvex-test-XXXXXX";
    ASSERT_NE(mkdtemp(folderTemplate), nullptr);
    folder_ = folderTemplate;
    setenv("KORVEX_CONFIG_DIR", folder_.c_str(), 1);
    setenv("KORVEX_DIALOG", KORVEX_TEST_DIALOG, 1);
    setenv("KORVEX_MESSAGE_LOG", (folder_ + "/messages.log").c_str(), 1);
    hvsim_reset();
    hvsim_set_manual_frames(1);
    hvsim_log_clear();
}

void ApiTest::TearDown() {
    hvsim_reset();  // ends any capture the test left running
    std::string command = "rm -rf '" + folder_ + "'";
    (void)std::system(command.c_str());
}

std::vector<std::string> ApiTest::TakeMessages() {
    const std::string path = folder_ + "/messages.log";
    std::vector<std::string> messages;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) messages.push_back(line);
    unlink(path.c_str());
    return messages;
}

std::vector<std::string> ApiTest::TakeMessageTexts() {
    std::vector<std::string> texts;
    for (const std::string& message : TakeMessages()) texts.push_back(message.substr(message.find('|') + 1));
    return texts;
}

std::vector<HvSimCall> ApiTest::TakeCalls() {
    std::vector<HvSimCall> calls(static_cast<std::size_t>(hvsim_log_count()));
    for (std::size_t i = 0; i < calls.size(); ++i) hvsim_log_get(static_cast<int32_t>(i), &calls[i]);
    hvsim_log_clear();
    return calls;
}

std::vector<std::string> ApiTest::Names(const std::vector<HvSimCall>& calls) {
    std::vector<std::string> names;
    for (const HvSimCall& call : calls) names.emplace_back(hvsim_op_name(call.op));
    return names;
}

std::string ApiTest::SettingsPath() const { return folder_ + "/Korvex.ini"; }

std::string ApiTest::ReadSettings() const {
    std::ifstream in(SettingsPath(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void ApiTest::WriteSettings(const std::string& text) const { std::ofstream(SettingsPath(), std::ios::binary) << text; }

void ApiTest::OpenAndAllocate(int16_t count) {
    ASSERT_EQ(ZqOpenDevice(count), 1);
    ASSERT_EQ(ZqAllocateResources(), 1);
    TakeMessages();
    hvsim_log_clear();
}

}  // namespace korvex::test
