// Creatures in the cases the golden fight (process_sim_test.cpp) does not
// reach; walking, fire delays, deaths, drops and corpses are in its digests.
#include <gtest/gtest.h>

#include "sim/animate.h"
#include "sim_fixture.h"

namespace {

const std::string FLOOR = "0 0 WALL floor.png";

// The test hero's frame i lasts i + 1 ticks: a turn takes 12. (Samples
// every 100 frames seldom fall within a turn.)
TEST(Creature, TurningShowsItsFramesInPlaceAndARestartWithNothingLeftEnds) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster"});
    creature *c = env.player(0);
    env.events(0, {CONTROL_RIGHT});
    std::vector<int32_t> frames;
    for (int i = 0; i < 12; i++) {
        env.step();
        frames.push_back(c->frame);
        EXPECT_EQ(env.body(0)->x, 100 * PX);
    }
    // 10, then 11 from two thirds, then 12 after one third; the tick that
    // ends the turn already shows the walk.
    EXPECT_EQ(frames, (std::vector<int32_t>{10, 10, 10, 11, 11, 11, 11, 11, 12, 12, 12, FRAME_WALK_RIGHT}));
    env.step(2);
    env.events(0, {CONTROL_RELEASE + CONTROL_RIGHT});
    env.step(2);
    ASSERT_EQ(c->facing, 1);
    // Left tapped twice in one set restarts the turn with nothing left of
    // it: the turn ends at the next step instead of running on for ever.
    env.events(0, {CONTROL_LEFT, CONTROL_RELEASE + CONTROL_LEFT, CONTROL_LEFT});
    EXPECT_EQ(c->turn_left, 0);
    env.step();
    EXPECT_EQ(c->turning, 0);
    EXPECT_EQ(c->facing, 0);
}

TEST(Creature, TheDyingTakeNoDamageAndACrushCreditsNoOne) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "200 16 PLAYER 1 hero.monster"}, 2);
    creature *a = env.player(0), *b = env.player(1);
    add_damage_event(b, 150, DAMAGE_NO_ATTACKER);
    env.step();
    EXPECT_EQ(b->state, CREATURE_DYING);
    EXPECT_EQ(a->frags + b->frags, 0);
    add_damage_event(b, 10, a->player_id);
    EXPECT_EQ(b->event_count, 0);
}

TEST(Creature, LeavingTheWorldKillsAtOnceWithoutDrops) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster"});
    creature *c = env.player(0);
    c->weapons[2] = {1, 3};
    size_t objects = list_length(object_list);
    c->body->x = -400 * PX;
    env.step();
    EXPECT_EQ(c->state, CREATURE_DEAD);
    EXPECT_EQ(c->frags, -1);
    EXPECT_EQ(list_length(object_list), objects);
}

TEST(Creature, TheSixtyFifthDamageEventEndsTheProgram) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster"});
    for (int i = 0; i < CREATURE_EVENTS; i++) add_damage_event(env.player(0), 1, 0);
    EXPECT_EXIT(add_damage_event(env.player(0), 1, 0), ::testing::ExitedWithCode(16),
                "monster 1 had recieved too many damage events \\(max 64\\)");
}

}  // namespace
