// The exit routine: the console lines, the exit status, the shutdown chain in
// its order and only for what is up, and the subsystem table's slots.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "frame/log.h"
#include "frame/sys.h"
#include "test_util.h"

namespace {

std::string order;
void down_a() { order += "a"; subsystem_set(0, false); }
void down_b() { order += "b"; subsystem_set(2, false); }
void down_c() { order += "c"; subsystem_set(6, false); }
void down_fatal() { sys_exit(9, "second fatal %d", 2); }
void print_order() { printf("[%s]", order.c_str()); fflush(stdout); }

const shutdown_step chain[] = {{6, down_c}, {0, down_a}, {2, down_b}, {1, print_order}, {-1, nullptr}};
const shutdown_step fatal_chain[] = {{0, down_fatal}, {-1, nullptr}};

// These tests read back what the child printed into a file whose name the
// parent chose, so the child must be a fork at the point of the check.
struct fork_style {
    std::string saved = ::testing::FLAGS_gtest_death_test_style;
    fork_style() { ::testing::FLAGS_gtest_death_test_style = "fast"; }
    ~fork_style() { ::testing::FLAGS_gtest_death_test_style = saved; }
};

program_info test_program(const shutdown_step *steps, int slots) {
    return program_info{"v", "%s", "%s", "%s", "test.log", slots, LOG_CHANNELS_GAME, steps};
}

TEST(SysExitDeathTest, ConsoleOutputAndStatusSeenFromOutside) {
    // Run in a child process that writes stdout to a file we can read back.
    fork_style style;
    temp_dir dir;
    std::string out = dir.file("out.txt");
    static program_info info = test_program(chain, 8);
    EXPECT_EXIT({
        if (!freopen(out.c_str(), "w", stdout)) _exit(99);
        frame_start(&info);
        log_enabled = false;
        sys_exit_hook = nullptr;
        order.clear();
        subsystem_set(0, true);
        subsystem_set(2, true);
        subsystem_set(1, true);
        sys_exit(4, "unable to set video mode: \"%s\"", "none");
    }, ::testing::ExitedWithCode(4), "");
    // c is skipped (slot 6 not up); a, b in chain order; then the console.
    EXPECT_EQ(read_file(out), "[ab]\n\nERROR: unable to set video mode: \"none\"\n\n");

    EXPECT_EXIT({
        if (!freopen(out.c_str(), "w", stdout)) _exit(99);
        frame_start(&info);
        log_enabled = false;
        sys_exit_hook = nullptr;
        subsystem_set(1, true);
        sys_exit(0, "Normal shutdown");
    }, ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(read_file(out), "[]\n\nNormal shutdown\n\n");
}

TEST(SysExitDeathTest, LongMessagesAreCutTo255Characters) {
    fork_style style;
    temp_dir dir;
    std::string out = dir.file("out.txt");
    std::string text(600, 'm');
    EXPECT_EXIT({
        if (!freopen(out.c_str(), "w", stdout)) _exit(99);
        sys_exit_hook = nullptr;
        sys_exit(16, "%s", text.c_str());
    }, ::testing::ExitedWithCode(16), "");
    EXPECT_EQ(read_file(out), "\n\nERROR: " + std::string(255, 'm') + "\n\n");
}

TEST(SysExitDeathTest, AFatalEndDuringShutdownEndsAtOnceWithItsOwnMessage) {
    fork_style style;
    temp_dir dir;
    std::string out = dir.file("out.txt");
    static program_info info = test_program(fatal_chain, 8);
    EXPECT_EXIT({
        if (!freopen(out.c_str(), "w", stdout)) _exit(99);
        frame_start(&info);
        log_enabled = false;
        sys_exit_hook = nullptr;
        subsystem_set(0, true);
        sys_exit(3, "first");
    }, ::testing::ExitedWithCode(9), "");
    EXPECT_EQ(read_file(out), "\n\nERROR: second fatal 2\n\n");
}

TEST(SubsystemTable, SlotsBeyondTheProgramsTableAreNeverUp) {
    static program_info editor = test_program(chain, 6);
    static program_info game = test_program(chain, 8);
    const program_info *saved = program;
    frame_start(&editor);
    subsystem_set(7, true);
    EXPECT_FALSE(subsystem_is_up(7));
    subsystem_set(5, true);
    EXPECT_TRUE(subsystem_is_up(5));
    frame_start(&game);
    EXPECT_FALSE(subsystem_is_up(5));  // frame_start clears every flag
    subsystem_set(7, true);
    EXPECT_TRUE(subsystem_is_up(7));
    subsystem_set(7, false);
    EXPECT_FALSE(subsystem_is_up(-1));
    EXPECT_FALSE(subsystem_is_up(8));
    frame_start(saved);
    log_enabled = false;
}

}  // namespace
