// The world tick's rules that the golden fight (process_sim_test.cpp) does
// not reach or cannot tell apart, and the collision rules.
#include <gtest/gtest.h>

#include <climits>

#include "sim/collision.h"
#include "sim_fixture.h"

namespace {

const std::string FLOOR = "0 0 WALL floor.png";  // 400 x 16: its top at y = 16

TEST(Tick, ABlockedSideMoveEndsAtTheFarthestFreePositionAndLosesPushAndCarry) {
    sim_env env;
    env.load({FLOOR}, 0);
    env.add(OBJ_WALL, 100, 16, 16, 50);
    // Into the wall at 100..116 from either side: 10 and 5 px blocked, 2.5
    // free, 3.75 blocked: half a pixel short of the wall.
    object *left = env.add(OBJ_ITEM, 119, 20, 10, 10), *right = env.add(OBJ_ITEM, 87, 20, 10, 10);
    for (object *o : {left, right}) {
        o->vx = o->push_x = o->carry_x = o == left ? -PX : PX;
        o->step_x = o == left ? -10 * PX : 10 * PX;
        move_horizontally(o);
        EXPECT_EQ(o->push_x + o->carry_x, 0);
        EXPECT_EQ(o->vx, o == left ? -PX : PX);  // its own speed is kept
    }
    EXPECT_EQ(left->x, 116 * PX + PX / 2);
    EXPECT_EQ(right->x, 89 * PX + PX / 2);
}

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

TEST(Tick, PlatformsReverseAtWalls) {
    sim_env env;
    env.load({FLOOR, "300 100 PLATFORM 131072 0 plat.png"}, 0);
    env.add(OBJ_WALL, 352, 90, 16, 40);  // 4 px right of the platform's end
    object *runner = static_cast<platform *>(platform_list->element)->body;
    world_tick();
    world_tick();  // touches the wall
    EXPECT_EQ(runner->x, 304 * PX);
    world_tick();  // blocked: stays and turns back
    EXPECT_EQ(runner->x, 304 * PX);
    EXPECT_EQ(runner->vx, -131072);
    world_tick();
    EXPECT_EQ(runner->x, 302 * PX);
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

TEST(Tick, TeleportsMoveNamedKindsEveryTickTheyStayInTheArea) {
    sim_env env;
    env.load({FLOOR, "50 16 TRIGGER 30 30 TELEPORT ( ITEM ) 70 20", "55 16 PLAYER 0 hero.monster"}, 1);
    object *it = env.add(OBJ_ITEM, 52, 30, 5, 5);
    world_tick();
    EXPECT_EQ(it->x, 70 * PX);
    EXPECT_EQ(it->y, 20 * PX - GRAVITY);
    world_tick();  // still in the area: put back, with its speed kept
    EXPECT_EQ(it->y, 20 * PX - 2 * GRAVITY);
    EXPECT_EQ(env.body(0)->x, 55 * PX);  // monsters are not named
}

TEST(Tick, WipedObjectsStayUntilTheNextTick) {
    sim_env env;
    env.load({FLOOR}, 0);
    object *o = env.add(OBJ_ITEM, 20, 16, 5, 5);
    o->kind = OBJ_WIPE;
    world_tick();
    EXPECT_FALSE(in_object_list(o));
}

TEST(Collision, LaddersHoldOnlyWhatFallsWithItsFeetAboveTheFoot) {
    sim_env env;
    env.load({FLOOR, "100 16 LADDER ladder.png", "200 100 LADDER ladder.png"}, 0);
    object *climber = env.add(OBJ_MONSTER, 102, 50, 5, 5);
    object *below = env.add(OBJ_ITEM, 202, 98, 5, 5);  // its feet under the foot at 100
    env.enter_all();
    climber->step_y = 5 * PX;
    move_vertically(climber);
    EXPECT_EQ(climber->y, 55 * PX);
    climber->airborne = 1;
    climber->step_y = -5 * PX;
    move_vertically(climber);
    EXPECT_EQ(climber->y, 55 * PX);
    EXPECT_EQ(climber->airborne, 0);
    below->step_y = -5 * PX;
    move_vertically(below);
    EXPECT_EQ(below->y, 93 * PX);
    // Walking on the ground is a fall of one tick of gravity: a ladder
    // standing on the same floor stops the walker.
    object *walker = env.add(OBJ_MONSTER, 90, 16, 8, 20);
    walker->step_y = -GRAVITY;
    walker->step_x = 4 * PX;
    move_horizontally(walker);
    EXPECT_EQ(walker->hit_side, 1);
}

TEST(Collision, MissilesStopAtCreaturesAndRecordThemPassingItemsAndMissiles) {
    sim_env env;
    env.load({FLOOR, "200 16 PLAYER 0 hero.monster"}, 1);
    object *m = env.add(OBJ_MISSLE, 170, 20, 6, 3);
    env.add(OBJ_ITEM, 186, 18, 4, 8);
    env.add(OBJ_MISSLE, 189, 18, 3, 8);
    env.enter_all();
    m->step_x = 30 * PX;
    move_horizontally(m);
    EXPECT_EQ(m->x, 192 * PX + PX / 2);
    EXPECT_EQ(m->hit_object, env.body(0));

    object *d = env.add(OBJ_DECORATION, 10, 30, 5, 5);
    d->step_y = -PX;
    EXPECT_EXIT(move_vertically(d), ::testing::ExitedWithCode(16),
                "collision test called for object type DECORATION");
}

}  // namespace
