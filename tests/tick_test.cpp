// The world tick's edges that the golden fight (process_sim_test.cpp), whose
// map has walls, ladders, platforms and teleports, does not reach: a fall
// far outside the map, a platform crushing a creature, the collision test's
// refusal. Side moves, platforms' turns, teleports and ladders are its own.
#include <gtest/gtest.h>

#include <climits>

#include "sim/collision.h"
#include "sim_fixture.h"

namespace {

const std::string FLOOR = "0 0 WALL floor.png";  // 400 x 16: its top at y = 16

TEST(Tick, AFallFarOutsideTheMapIsHeldAtTheEndOfTheRange) {
    sim_env env;
    env.load({FLOOR}, 0);
    object *drop = env.add(OBJ_ITEM, 20, 300, 5, 5);
    drop->y = INT32_MIN + 10;
    drop->fall_v = INT32_MIN + 100;
    world_tick();
    world_tick();
    EXPECT_EQ(drop->y, INT32_MIN);  // not wrapped round to the top
    EXPECT_EQ(drop->fall_v, INT32_MIN);
}

TEST(Tick, APlatformPressingACreatureAgainstAWallHurtsItEveryTick) {
    sim_env env;
    env.load({FLOOR, "150 20 PLATFORM 65536 0 plat.png", "200 16 PLAYER 0 hero.monster"}, 1);
    env.add(OBJ_WALL, 218, 16, 16, 60);
    object *plat = static_cast<platform *>(platform_list->element)->body;
    env.step(2);  // the platform reaches the player
    EXPECT_EQ(env.player(0)->health, 100);
    env.step(3);
    EXPECT_EQ(plat->x, 152 * PX);
    EXPECT_EQ(env.body(0)->x, 200 * PX);
    EXPECT_EQ(env.player(0)->health, 97);
}

TEST(Collision, AKindWithoutCollisionRulesEndsTheProgram) {
    sim_env env;
    env.load({FLOOR}, 0);
    object *d = env.add(OBJ_DECORATION, 10, 30, 5, 5);
    d->step_y = -PX;
    EXPECT_EXIT(move_vertically(d), ::testing::ExitedWithCode(16),
                "collision test called for object type DECORATION");
}

}  // namespace
