// The exit routine: long messages, a fatal end during the shutdown, and the
// subsystem table's slots. (The console lines, the exit status and the
// shutdown chain in its order and only for what is up: process_start_test.cpp.)
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "frame/log.h"
#include "frame/sys.h"
#include "test_util.h"

namespace {

void down_fatal() { sys_exit(9, "second fatal %d", 2); }

const shutdown_step chain[] = {{0, down_fatal}, {-1, nullptr}};

program_info test_program(const shutdown_step *steps, int slots) {
    return program_info{"v", "%s", "%s", "%s", "test.log", slots, LOG_CHANNELS_GAME, steps};
}

// The console output of a child that starts the frame of `info` (when
// given), marks `up` slots as up and calls sys_exit(code, message); its
// exit status must be `status`. The child is a fork at this point, so that
// it writes where the parent reads.
std::string console_of(const program_info *info, std::initializer_list<int> up, int code, const char *message, int status) {
    const std::string saved = ::testing::FLAGS_gtest_death_test_style;
    ::testing::FLAGS_gtest_death_test_style = "fast";
    temp_dir dir;
    const std::string out = dir.file("out.txt");
    EXPECT_EXIT({
        if (!freopen(out.c_str(), "w", stdout)) _exit(99);
        if (info) frame_start(info);
        log_enabled = false;
        sys_exit_hook = nullptr;
        for (int slot : up) subsystem_set(slot, true);
        sys_exit(code, "%s", message);
    }, ::testing::ExitedWithCode(status), "");
    ::testing::FLAGS_gtest_death_test_style = saved;
    return read_file(out);
}

TEST(SysExitDeathTest, LongMessagesAndASecondFatalEndDuringTheShutdown) {
    // Long messages are cut to 255 characters.
    EXPECT_EQ(console_of(nullptr, {}, 16, std::string(600, 'm').c_str(), 16), "\n\nERROR: " + std::string(255, 'm') + "\n\n");
    // A fatal end during shutdown ends at once with its own message.
    static program_info fatal = test_program(chain, 8);
    EXPECT_EQ(console_of(&fatal, {0}, 3, "first", 9), "\n\nERROR: second fatal 2\n\n");
}

TEST(SubsystemTable, SlotsBeyondTheProgramsTableAreNeverUp) {
    static program_info editor = test_program(chain, 6);
    static program_info game = test_program(chain, 8);
    const program_info *saved = program;
    frame_start(&editor);
    subsystem_set(7, true);
    EXPECT_FALSE(subsystem_is_up(7));
    frame_start(&game);
    subsystem_set(7, true);
    EXPECT_TRUE(subsystem_is_up(7));  // the game's last slot
    EXPECT_FALSE(subsystem_is_up(-1));
    EXPECT_FALSE(subsystem_is_up(8));
    frame_start(saved);
    log_enabled = false;
}

}  // namespace
