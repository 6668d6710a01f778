// The game loop on a simulated clock: catch-up behind a slow display, pause,
// keys of a local game, the statistics.
#include <gtest/gtest.h>

#include <SDL/SDL_keysym.h>

#include "core/events.h"
#include "frame/log.h"
#include "game/game_loop.h"
#include "game/menu.h"
#include "game/view_draw.h"
#include "world_fixture.h"

namespace {

// The clock advances `display_ms` a view update.
uint32_t now_ms = 0;
uint32_t display_ms = 35;
uint32_t simulated_clock() { return now_ms; }
void simulated_display() { now_ms += display_ms; }

// A loaded world of one or two players on the simulated clock and display.
struct loop_env : world_env {
    loop_state s{};
    explicit loop_env(int players = 1, int interval = 1, int send_time = 1, bool begin = true) {
        write_world_data();
        alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
        write_file("m.fenda", map_text({"0 0 WALL wall2.png", "64 0 WALL wall2.png", "10 8 PLAYER 0 hero.monster",
                                        "60 8 PLAYER 1 hero.monster", "100 100 DM_START ", "200 100 DM_START "}));
        this->players(players);
        load_map("m.fenda");
        bind_view_keys();
        config.net_control_interval = interval;
        config.net_control_send_time = send_time;
        now_ms = 5000;
        display_ms = 35;
        loop_clock = simulated_clock;
        loop_view_update = simulated_display;
        draw_bitmap_ms = 0;
        while (event_get(&scratch)) {
        }
        if (begin) loop_begin(&s);
    }
    ~loop_env() {
        loop_clock = sys_ticks;
        loop_view_update = refresh_next_view;
    }
    event scratch;
    // One pass of the loop; the number of logical frames it ran.
    int pass() {
        int32_t before = logic_frame;
        loop_logic_steps(&s);
        loop_view_update_step(&s);
        return logic_frame - before;
    }
    // Exactly one logical step, with the clock standing still.
    void step() {
        s.lag = LOGIC_STEP_MS;
        loop_logic_steps(&s);
    }
    void key(int32_t type, int32_t code) {
        event e{};
        e.type = type;
        e.key = code;
        event_put(&e);
    }
};

TEST(GameLoop, SlowDisplayIsFollowedByEnoughStepsToKeepTime) {
    loop_env env;
    EXPECT_EQ(logic_frame, 0);
    // 35 ms a view update: the first pass has no lag yet, then three or four
    // steps per update, 35 steps in 100 ms of display.
    std::vector<int> steps;
    for (int i = 0; i < 7; i++) steps.push_back(env.pass());
    EXPECT_EQ(steps, (std::vector<int>{0, 3, 4, 3, 4, 3, 4}));
    EXPECT_EQ(env.s.lag, 35u);
}

TEST(GameLoop, PauseFreezesTheWorldButNotInputOrViews) {
    loop_env env(1, 20, 16);
    for (int i = 0; i < 3; i++) env.step();
    EXPECT_EQ(logic_frame, 3);
    env.key(EV_KEY_DOWN, KEY_PAUSE);
    env.key(EV_KEY_UP, KEY_PAUSE);
    env.step();  // the step runs, then "p" is taken
    EXPECT_TRUE(env.s.paused);
    turn_state before = env.s.turn;
    uint32_t updates = env.s.view_updates;
    for (int i = 0; i < 30; i++) env.pass();
    EXPECT_EQ(logic_frame, 4);
    EXPECT_EQ(env.s.turn.countdown, before.countdown);  // no turn ends, nothing is sent
    EXPECT_EQ(env.s.view_updates, updates + 30);
    env.key(EV_KEY_DOWN, KEY_PAUSE);
    env.step();
    EXPECT_FALSE(env.s.paused);
    // The second spent paused is not owed afterwards: the passes that follow
    // run only the steps that their own 35 ms of display ask for.
    EXPECT_EQ(env.pass(), 0);
    EXPECT_EQ(env.pass(), 3);
    EXPECT_EQ(logic_frame, 7);
}

TEST(GameLoop, LocalTurnsApplyEveryStepAndKeysReachOnlyTheirView) {
    loop_env env(2);
    creature *a = views[0].creature, *b = views[1].creature;
    // A key taken after a step goes into the set sent at the next one and
    // applied at the one after.
    env.key(EV_KEY_DOWN, SDLK_LEFT);  // player 2's move left
    env.step();
    env.step();
    EXPECT_EQ(b->left_held, 0);
    env.step();
    EXPECT_EQ(b->left_held, 1);
    EXPECT_EQ(a->left_held, 0);
}

TEST(GameLoop, StatisticsLinesAtTheEnd) {
    temp_dir logs;
    log_reset(LOG_CHANNELS_GAME, logs.file("loop.log").c_str());
    {
        loop_env env(1, 1, 1, false);
        env.key(EV_KEY_DOWN, KEY_ESCAPE);
        // No steps before the first update, then three (Escape taken after
        // the first), then one more update.
        game_loop();
        EXPECT_EQ(logic_frame, 3);
    }
    log_close();
    log_reset(LOG_CHANNELS_GAME, "fenda2.log");
    log_enabled = false;
    std::string log = read_file(logs.file("loop.log"));
    // (A replay is not recorded here: this directory holds no map.)
    EXPECT_TRUE(in_order(log, {"\nnote: blit - total 70ms (~35.00ms)\n"
                               "note: sys_draw_bitmap - total 0ms (~0.00ms)\n"
                               "note: 3 logical frames in 0 seconds (42.86fps)\n"
                               "note: 1 screen frames in 0 seconds (14.29fps ~70.00ms [one ~35.00ms])\n"}))
        << log;
}

}  // namespace
