// Sound with the dummy audio driver, on and off: silence by default or after
// a refused device, the effect table and its limit, music replacement and
// the end of a music reported from the audio thread.
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

TEST_F(Sound, SilentByDefaultAndEveryCallIsHarmless) {
    log_reset(LOG_CHANNELS_GAME, "s.log");
    EXPECT_TRUE(sound_init()) << "silence asked for is no failure";
    EXPECT_FALSE(subsystem_is_up(SUB_SOUND));
    EXPECT_EQ(sound_load("missing.wav"), SOUND_NONE);
    sound_play(SOUND_NONE);
    sound_play(3);
    music_load("missing.ogg");
    music_play(1);
    EXPECT_FALSE(music_loaded());
    // Nothing was logged, so the log file was never made.
    EXPECT_FALSE(file_exists("s.log"));
}

// A refused device leaves the game silent, so that a map's sounds load as
// none instead of ending it. (The start-up lines and the menu's note:
// process_start_test.cpp and process_game_test.cpp.)
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
    int16_t a = sound_load("shot.wav"), b = sound_load("shot.wav");
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);  // the same file twice: two entries
    sound_play(a);
    sound_play(SOUND_NONE);
    sound_play(200);  // not a handle: ignored
    for (int i = 2; i < SOUND_SLOTS; i++) ASSERT_EQ(sound_load("shot.wav"), i);
    EXPECT_EXIT(sound_load("shot.wav"), ::testing::ExitedWithCode(7), "sys_exit\\(7\\): can't load any more sounds");
}

TEST_F(Sound, BadOrMissingFilesEndTheProgram) {
    sound_on();
    write_file("bad.wav", "RIFF....WAVEjunk");
    EXPECT_EXIT(sound_load("bad.wav"), ::testing::ExitedWithCode(7), "sys_exit\\(7\\): unable to load sound \"bad.wav\"");
    EXPECT_EXIT(music_load("missing.wav"), ::testing::ExitedWithCode(7),
                "sys_exit\\(7\\): unable to load music \"missing.wav\"");
}

TEST_F(Sound, MusicIsReplacedAndReleasedWhenItEnds) {
    sound_on();
    music_play(1);  // none loaded: nothing happens
    EXPECT_FALSE(music_loaded());
    save_wav("tune.wav", 22050);
    save_wav("blip.wav", 400);
    music_load("tune.wav");
    EXPECT_TRUE(music_loaded());
    music_play(1);
    music_load("blip.wav");  // stops and frees the first (the leak check sees it)
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
    sound_shutdown();
    EXPECT_FALSE(subsystem_is_up(SUB_SOUND));
}

}  // namespace
