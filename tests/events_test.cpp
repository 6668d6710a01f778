// The event queue's order, its limit and the warning when input is dropped,
// and the game's poll: keys, Alt-Enter, dropped events and the close request.
#include <gtest/gtest.h>

#include "core/events.h"
#include "frame/log.h"
#include "gfx_fixture.h"

namespace {

TEST(EventQueue, KeepsOrderAndDropsWhatFindsItFullWithOneWarningPerBurst) {
    gfx_env env;
    log_reset(LOG_CHANNELS_GAME, "events.log");
    event e;
    while (event_get(&e)) {
    }
    uint32_t before = sys_ticks();
    for (int i = 1; i <= 70; i++) event_put_key(EV_KEY_DOWN, i);
    for (int i = 1; i <= 63; i++) ASSERT_TRUE(event_get(&e) && e.key == i && e.type == EV_KEY_DOWN && e.time >= before);
    EXPECT_EQ(event_pending(), 0) << "the records past the 63rd were dropped, not the waiting ones";
    for (int round = 0; round < 3; round++) {  // and the ring goes on across its end
        for (int i = 0; i < 40; i++) event_put_key(EV_KEY_UP, 1000 + i);
        for (int i = 0; i < 40; i++) EXPECT_TRUE(event_get(&e) && e.key == 1000 + i);
    }
    event_put_key(EV_KEY_UP, 0);
    EXPECT_EQ(event_get(&e), 0) << "key code 0 is not queued";
    for (int i = 0; i < 70; i++) event_put_key(EV_KEY_DOWN, 1);  // a second burst
    while (event_get(&e)) {
    }
    log_reset(LOG_CHANNELS_GAME, "fenda2.log");  // as the test binary starts: closed, off
    log_enabled = false;
    const std::string warning = "WARNING: event queue full (63 records waiting): input dropped until it is read\n";
    EXPECT_EQ(read_file("events.log"), warning + warning);
}

TEST(GamePoll, KeysAltEnterAndCloseRequest) {
    gfx_env env;
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    push_key(SDL_KEYDOWN, SDLK_a);
    push_key(SDL_KEYUP, SDLK_a);
    push_key(SDL_KEYDOWN, SDLK_UNKNOWN);
    push_event(SDL_MOUSEMOTION);
    push_key(SDL_KEYDOWN, SDLK_RETURN);
    push_key(SDL_KEYDOWN, SDLK_RETURN, KMOD_RALT);
    push_key(SDL_KEYDOWN, SDLK_PRINT);
    events_poll();
    const int want[][2] = {{EV_KEY_DOWN, 'a'}, {EV_KEY_UP, 'a'}, {EV_KEY_DOWN, 13}, {EV_KEY_DOWN, 13}, {EV_KEY_DOWN, 316}};
    event e;
    for (const auto &w : want) EXPECT_TRUE(event_get(&e) && e.type == w[0] && e.key == w[1]) << w[1];
    EXPECT_EQ(event_get(&e), 0);
    EXPECT_TRUE(screen_fullscreen) << "only the Return with Alt held switched";
    push_key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
    events_poll();
    EXPECT_FALSE(screen_fullscreen);
    while (event_get(&e)) {
    }
    push_event(SDL_QUIT);
    EXPECT_EXIT(events_poll(), ::testing::ExitedWithCode(0), "sys_exit\\(0\\): QUIT event caught");
}

}  // namespace
