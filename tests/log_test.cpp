// The log: the editor's channel table and channels out of range, messages cut
// and never used as formats. (The file made on the first line written, the
// default filters and the line formats of whole runs: process_start_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "frame/log.h"
#include "test_util.h"

namespace {

struct LogTest : ::testing::Test {
    temp_dir dir;
    std::string path;
    void SetUp() override {
        path = dir.file("test.log");
        log_reset(LOG_CHANNELS_GAME, path.c_str());
    }
    void TearDown() override {
        log_close();
        log_reset(LOG_CHANNELS_GAME, "fenda2.log");
        log_enabled = false;  // as the test binary starts
    }
};

TEST_F(LogTest, EditorTableEndsAfterGraphicsAndChannelsOutOfRangeAreDropped) {
    log_reset(LOG_CHANNELS_EDITOR, path.c_str());
    log_write(LOG_NETWORK, "not in the editor");
    log_write(LOG_GRAPHICS, "font");
    log_write(LOG_CHANNELS_MAX, "out of range");
    log_write(-1, "out of range");
    EXPECT_EQ(read_file(path), "graphics: font\n");
}

TEST_F(LogTest, LongMessagesAreCutAndMessagesAreNeverReusedAsFormats) {
    log_write(LOG_INFO, "%s", std::string(400, 'a').c_str());
    log_warning("%s", "100%d %s %n");
    EXPECT_EQ(read_file(path), ": " + std::string(255, 'a') + "\nWARNING: 100%d %s %n\n");
}

}  // namespace
