// The log: the file made on the first line written, channel switches and
// filters, messages cut and never used as formats. (The line formats of
// whole runs: process_start_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "frame/log.h"
#include "frame/sys.h"
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

TEST_F(LogTest, OnlyALineWrittenMakesTheFileAndSwitchesAreLogged) {
    write_file(path, "left over from an earlier run\n");
    log_write(LOG_ALLOC, "ralloc(%02Xh, %u)", 4, 10u);  // off by default
    log_write(LOG_SOUND, "sound");
    EXPECT_FALSE(subsystem_is_up(SUB_LOG));
    log_set_channel(LOG_ALLOC, true);
    log_write(LOG_ALLOC, "ralloc(%02Xh, %u)", 4, 10u);
    log_set_channel(LOG_ALLOC, false);
    log_write(LOG_ALLOC, "not written");
    log_set_channel(LOG_LOG, false);
    log_set_channel(LOG_NOTE, false);  // LOG_LOG is off: no line for this one
    log_write(LOG_NOTE, "not written");
    // Unbuffered: the lines are in the file before it is closed.
    EXPECT_EQ(read_file(path),
              "log: loging for \"alloc\" enabled\n"
              "alloc: ralloc(04h, 10)\n"
              "log: loging for \"alloc\" disabled\n"
              "log: loging for \"log\" disabled\n");
}

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
