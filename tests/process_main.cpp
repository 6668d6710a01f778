// Entry of the process-level tests, which run the real programs.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv) {
    // The programs run headless unless a test gives them a real display.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
