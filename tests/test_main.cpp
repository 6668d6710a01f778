// Entry of the unit-test binaries: the log starts switched off so that tests
// leave no log files behind, and every fatal end is echoed on standard error
// as "sys_exit(CODE): MESSAGE" so that death tests can match it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "frame/log.h"
#include "frame/sys.h"

static void echo_exit(int code, const char *message) {
    fprintf(stderr, "sys_exit(%d): %s\n", code, message);
    fflush(stderr);
}

int main(int argc, char **argv) {
    // Headless unless a test asks for a real display itself.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    sys_exit_hook = echo_exit;
    log_enabled = false;
    return RUN_ALL_TESTS();
}
