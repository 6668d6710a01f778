// The event queue's order, limit and time stamps, and the game's poll:
// keys, Alt-Enter, dropped events and the window's close request.
#include <gtest/gtest.h>

#include "core/events.h"
#include "gfx_fixture.h"

namespace {

void drain() {
    event e;
    while (event_get(&e)) {
    }
}

void push_key(Uint8 type, SDLKey sym, SDLMod mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = type;
    e.key.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}

TEST(EventQueue, KeepsOrderAndDropsWhatFindsItFull) {
    gfx_env env;
    drain();
    EXPECT_EQ(event_pending(), 0);
    uint32_t before = sys_ticks();
    for (int i = 1; i <= 70; i++) event_put_key(EV_KEY_DOWN, i);
    EXPECT_EQ(event_pending(), 1);
    event e;
    for (int i = 1; i <= 63; i++) {
        ASSERT_EQ(event_get(&e), 1);
        EXPECT_EQ(e.key, i);
        EXPECT_EQ(e.type, EV_KEY_DOWN);
        EXPECT_GE(e.time, before);
        EXPECT_LE(e.time, sys_ticks());
    }
    EXPECT_EQ(event_get(&e), 0) << "the records past the 63rd are dropped";
    // The ring goes on working across its end.
    for (int round = 0; round < 3; round++) {
        for (int i = 0; i < 40; i++) event_put_key(EV_KEY_UP, 1000 + i);
        for (int i = 0; i < 40; i++) {
            ASSERT_EQ(event_get(&e), 1);
            EXPECT_EQ(e.key, 1000 + i);
        }
        EXPECT_EQ(event_pending(), 0);
    }
    event_put_key(EV_KEY_UP, 0);
    EXPECT_EQ(event_pending(), 0) << "key code 0 is not queued";
}

TEST(GamePoll, KeysAndAltEnter) {
    gfx_env env;
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    drain();
    push_key(SDL_KEYDOWN, SDLK_a);
    push_key(SDL_KEYUP, SDLK_a);
    push_key(SDL_KEYDOWN, SDLK_UNKNOWN);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    SDL_PushEvent(&motion);
    push_key(SDL_KEYDOWN, SDLK_RETURN);
    push_key(SDL_KEYDOWN, SDLK_RETURN, KMOD_RALT);
    push_key(SDL_KEYDOWN, SDLK_PRINT);
    events_poll();
    const int want[][2] = {{EV_KEY_DOWN, 'a'}, {EV_KEY_UP, 'a'}, {EV_KEY_DOWN, 13}, {EV_KEY_DOWN, 13}, {EV_KEY_DOWN, 316}};
    event e;
    for (const auto &w : want) {
        ASSERT_EQ(event_get(&e), 1);
        EXPECT_EQ(e.type, w[0]);
        EXPECT_EQ(e.key, w[1]);
    }
    EXPECT_EQ(event_get(&e), 0);
    EXPECT_TRUE(screen_fullscreen) << "only the Return with Alt held switched";
    push_key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
    events_poll();
    EXPECT_FALSE(screen_fullscreen);
    drain();
}

TEST(GamePoll, CloseRequestEndsTheProgram) {
    gfx_env env;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EXIT(events_poll(), ::testing::ExitedWithCode(0), "sys_exit\\(0\\): QUIT event caught");
}

}  // namespace
