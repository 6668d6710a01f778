// Sound with the dummy audio driver: silence after a refused device, the
// effect table's limit, bad files and the end of a music reported from the
// audio thread. (Silence by default: process_start_test.cpp.)
#include <gtest/gtest.h>

#include <SDL/SDL.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "frame/config.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "sound/sound.h"
#include "test_util.h"

namespace {

// A 16-bit stereo WAV of `frames` sample frames at 22050 Hz.
void save_wav(const std::string &path, int frames) {
    auto le = [](uint32_t v, int bytes) {
        std::string s;
        for (int i = 0; i < bytes; i++) s += (char)(v >> (8 * i));
        return s;
    };
    uint32_t data = (uint32_t)frames * 4;
    std::string w = "RIFF" + le(36 + data, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(2, 2) + le(22050, 4) +
                    le(22050 * 4, 4) + le(4, 2) + le(16, 2) + "data" + le(data, 4);
    for (uint32_t i = 0; i < data; i++) w += (char)((i * 37) & 0xFF);
    write_file(path, w);
}

struct Sound : ::testing::Test {
    temp_dir dir;
    scoped_cwd cwd{dir.path};
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        config_defaults(false);
        save_wav("shot.wav", 200);
    }
    void TearDown() override {
        if (subsystem_is_up(SUB_SOUND)) sound_shutdown();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        log_enabled = false;
    }
    void sound_on() {
        config.silent = false;
        ASSERT_TRUE(sound_init());
        ASSERT_TRUE(subsystem_is_up(SUB_SOUND));
    }
};

// A refused device leaves the game silent, so that a map's sounds load as
// none instead of ending it.
TEST_F(Sound, DeviceRefusedFallsBackToSilence) {
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    config.silent = false;
    EXPECT_FALSE(sound_init());
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_FALSE(subsystem_is_up(SUB_SOUND));
    EXPECT_TRUE(config.silent);
    EXPECT_EQ(sound_load("shot.wav"), SOUND_NONE);
}

TEST_F(Sound, EffectsTakeFreshSlotsUpTo128) {
    sound_on();
    // The same file each time: a fresh entry each time.
    for (int i = 0; i < SOUND_SLOTS; i++) ASSERT_EQ(sound_load("shot.wav"), i);
    EXPECT_EXIT(sound_load("shot.wav"), ::testing::ExitedWithCode(7), "sys_exit\\(7\\): can't load any more sounds");
}

TEST_F(Sound, BadOrMissingFilesEndTheProgram) {
    sound_on();
    write_file("bad.wav", "RIFF....WAVEjunk");
    EXPECT_EXIT(sound_load("bad.wav"), ::testing::ExitedWithCode(7), "sys_exit\\(7\\): unable to load sound \"bad.wav\"");
    EXPECT_EXIT(music_load("missing.wav"), ::testing::ExitedWithCode(7),
                "sys_exit\\(7\\): unable to load music \"missing.wav\"");
}

TEST_F(Sound, MusicIsReleasedWhenItEnds) {
    sound_on();
    save_wav("tune.wav", 400);
    music_load("tune.wav");
    EXPECT_TRUE(music_loaded());
    // Played once, the short music ends on the audio thread; its hook marks
    // it finished.
    music_play(0);
    bool finished = false;
    for (int i = 0; i < 300 && !finished; i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        finished = !music_loaded();
    }
    EXPECT_TRUE(finished);
    music_load("tune.wav");
    music_finished();  // as the audio thread would report it
    EXPECT_FALSE(music_loaded());
    music_play(1);  // releases the finished music rather than starting it again
    EXPECT_FALSE(music_loaded());
}

}  // namespace
