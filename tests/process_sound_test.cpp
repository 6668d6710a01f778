// The game's start-up and shutdown of sound, with the dummy audio driver
// and with an audio driver that cannot be opened.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "menu_quit_util.h"
#include "test_util.h"

namespace {

TEST(ProcessSound, SoundStartsAfterVideoAndStopsBeforeIt) {
    temp_dir dir;
    copy_data_set(dir.path);
    write_file(dir.file("fenda2.config"), "sound=on\n\n");

    run_result r = run_game_to_menu({FENDA_GAME_BIN}, dir.path, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
    EXPECT_EQ(r.status, 0) << r.out;
    std::string log = read_file(dir.file("fenda2.log"));
    EXPECT_TRUE(in_order(log, {": video mode", ": initializing sound\n", ": freq 22050, format 8010h, 2 channels\n",
                               "graphics: loading font", "ERROR: QUIT event caught\n", ": shuting down sound\n",
                               ": shuting down SDL\n"}))
        << log;

    // No device: the game goes on silently and has no sound to shut down.
    r = run_game_to_menu({FENDA_GAME_BIN}, dir.path, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=no_such_driver"});
    EXPECT_EQ(r.status, 0) << r.out;
    log = read_file(dir.file("fenda2.log"));
    EXPECT_TRUE(in_order(log, {": initializing sound\n", "ERROR: QUIT event caught\n", ": shuting down SDL\n"})) << log;
    EXPECT_EQ(log.find("freq 22050"), std::string::npos) << log;
    EXPECT_EQ(log.find("shuting down sound"), std::string::npos) << log;

    // Silent by default: not a word about sound.
    write_file(dir.file("fenda2.config"), "colour=24\n\n");
    r = run_game_to_menu({FENDA_GAME_BIN}, dir.path, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(read_file(dir.file("fenda2.log")).find("sound"), std::string::npos);
}

}  // namespace
