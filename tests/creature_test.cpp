// Creatures: turning, walking and firing with fire delays and the weapon
// switch, deaths with frags, dropped weapons, the dying animation and the
// corpse, leaving the world, the damage-event limit, monsters' walk and
// jumps off a lift.
#include <gtest/gtest.h>

#include "sim/animate.h"
#include "sim_fixture.h"

namespace {

const std::string FLOOR = "0 0 WALL floor.png";

// The test hero's frame i lasts i + 1 ticks: a turn takes 12, the firing
// pose 4; it walks at 70000 units a tick and jumps at 300000.
TEST(Creature, TurningTakesTheTurnFramesDurationWithoutMoving) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster"});
    creature *c = env.player(0);
    ASSERT_EQ(c->facing, 0);
    env.events(0, {CONTROL_RIGHT});
    std::vector<int32_t> frames;
    for (int i = 0; i < 12; i++) {
        env.step();
        frames.push_back(c->frame);
        EXPECT_EQ(env.body(0)->x, 100 * PX);
    }
    EXPECT_EQ(c->facing, 1);
    EXPECT_EQ(c->turning, 0);
    // Turning right shows 10, then 11 from two thirds, then 12 after one
    // third; the tick that ends the turn already shows the walk.
    EXPECT_EQ(frames, (std::vector<int32_t>{10, 10, 10, 11, 11, 11, 11, 11, 12, 12, 12, FRAME_WALK_RIGHT}));
    env.step(2);  // the first walking step is set, then moved
    EXPECT_EQ(env.body(0)->x, 100 * PX + 70000);
    env.events(0, {CONTROL_RELEASE + CONTROL_RIGHT});
    env.step(2);

    // Left tapped twice in one set restarts the turn with nothing left of
    // it: the turn ends at the next step instead of running on for ever.
    env.events(0, {CONTROL_LEFT, CONTROL_RELEASE + CONTROL_LEFT, CONTROL_LEFT});
    EXPECT_EQ(c->turn_left, 0);
    env.step();
    EXPECT_EQ(c->turning, 0);
    EXPECT_EQ(c->facing, 0);
}

TEST(Creature, HeldFireKeepsTheFireDelayAndSwitchesDownWhenEmpty) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster"});
    creature *c = env.player(0);
    c->weapons[1] = {1, 3};
    c->weapons[3] = {1, 2};
    c->weapon = 1;
    env.events(0, {CONTROL_FIRE});
    std::vector<int> fired_at;
    int16_t plasma = 3, shells = 2;
    for (int t = 1; t <= 70; t++) {
        env.step();
        if (c->weapons[1].ammunition != plasma || c->weapons[3].ammunition != shells) fired_at.push_back(t);
        plasma = c->weapons[1].ammunition;
        shells = c->weapons[3].ammunition;
        if (t == 1) {
            EXPECT_EQ(list_length(missile_list), 1u);
        }
        if (t == 41) {
            EXPECT_EQ(c->weapon, 3);  // slot 0 has no ammunition: skipped
        }
    }
    EXPECT_EQ(fired_at, (std::vector<int>{1, 21, 41, 61}));
    EXPECT_EQ(shells, 1);
    EXPECT_EQ(c->cooldown, 60 - 9);
    EXPECT_EQ(c->frame, FRAME_STAND_LEFT);  // the firing pose lasted 4 ticks
}

TEST(Creature, DeathsCountFragsDropWeaponsAndLeaveACorpse) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "200 16 PLAYER 1 hero.monster"}, 2);
    creature *a = env.player(0), *b = env.player(1);
    b->weapons[1] = {1, 5};
    b->weapons[3] = {1, 0};
    for (int i = 0; i < 10; i++) add_damage_event(b, 10, a->player_id);
    env.step();
    EXPECT_EQ(b->state, CREATURE_DYING);
    EXPECT_EQ(b->health, 0);
    EXPECT_EQ(a->frags, 1);
    // Its two weapons come right after the body, one-shot and thrown upward.
    object *first = static_cast<object *>(b->body->list_node->next->element);
    object *second = static_cast<object *>(b->body->list_node->next->next->element);
    ASSERT_EQ(first->kind, OBJ_ITEM);
    EXPECT_EQ(static_cast<item *>(first->owner)->kind, ITEM_SHOTGUN);
    EXPECT_EQ(static_cast<item *>(second->owner)->kind, ITEM_PLASMABOLT);
    EXPECT_EQ(static_cast<item *>(first->owner)->one_shot, 1);
    EXPECT_GE(first->fall_v, 200 * 256 - 2 * GRAVITY);
    add_damage_event(b, 10, a->player_id);  // the dying take no more damage
    EXPECT_EQ(b->event_count, 0);

    // Frames 23 to 26 last 24 to 27 ticks; then the corpse.
    env.step(24 + 25 + 26 + 26);
    EXPECT_EQ(b->state, CREATURE_DYING);
    EXPECT_EQ(b->frame, 26);
    env.step();
    EXPECT_EQ(b->state, CREATURE_DEAD);
    EXPECT_EQ(b->body->kind, OBJ_BEHOLDER);
    EXPECT_EQ(b->body->sprite, nullptr);
    object *corpse = static_cast<object *>(b->body->list_node->next->element);
    EXPECT_EQ(static_cast<item *>(corpse->owner)->kind, ITEM_BODY);
    EXPECT_EQ(corpse->sprite, b->frames[FRAME_BODY].picture);

    // Killed by its own shot: a frag lost; crushed (no attacker): none changes.
    add_damage_event(a, 150, a->player_id);
    b->keep_position = 1;
    respawn(&views[1]);
    add_damage_event(b, 150, DAMAGE_NO_ATTACKER);
    env.step();
    EXPECT_EQ(a->frags, 0);
    EXPECT_EQ(b->state, CREATURE_DYING);
    EXPECT_EQ(b->frags, 0);
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
    EXPECT_EQ(c->body->frozen, 1);
    EXPECT_EQ(list_length(object_list), objects);
    EXPECT_EQ(c->body->kind, OBJ_MONSTER);
}

TEST(Creature, TheSixtyFifthDamageEventEndsTheProgram) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster"});
    for (int i = 0; i < CREATURE_EVENTS; i++) add_damage_event(env.player(0), 1, 0);
    EXPECT_EQ(env.player(0)->event_count, 64);
    EXPECT_EXIT(add_damage_event(env.player(0), 1, 0), ::testing::ExitedWithCode(16),
                "monster 1 had recieved too many damage events \\(max 64\\)");
}

TEST(Creature, MonstersWalkToAWallTurnAndWalkBack) {
    sim_env env;
    env.load({FLOOR, "34 16 WALL wall.png", "300 16 WALL wall.png", "200 16 MONSTER imp.monster"}, 0);
    creature *m = static_cast<creature *>(creature_list->element);
    int32_t least = INT32_MAX, most = INT32_MIN, turns = 0, facing = m->facing;
    for (int i = 0; i < 600; i++) {
        env.step();
        least = std::min(least, m->body->x);
        most = std::max(most, m->body->x);
        if (m->facing != facing) turns++;
        facing = m->facing;
    }
    EXPECT_GT(least, 66 * PX - 1);  // the left wall ends at 66
    EXPECT_LT(least, 67 * PX);
    EXPECT_LT(most, 288 * PX + 1);  // the right wall begins at 300; the imp is 12 wide
    EXPECT_GT(most, 287 * PX);
    EXPECT_GE(turns, 3);
}

TEST(Creature, JumpsNeedGroundAndTakeALiftsSpeedAlong) {
    sim_env env;
    env.load({FLOOR, "100 50 PLATFORM 0 65536 plat.png", "110 58 PLAYER 0 hero.monster",
              "250 100 PLAYER 1 hero.monster"},
             2);
    env.body(0)->y += PX / 2;  // half a pixel above the lift's top
    env.step();
    env.events(0, {CONTROL_JUMP, CONTROL_RELEASE + CONTROL_JUMP});
    env.step();
    EXPECT_EQ(env.body(0)->fall_v, 300000 + 65536);
    // In the air a jump waits, latched, until the feet are down.
    env.events(1, {CONTROL_JUMP, CONTROL_RELEASE + CONTROL_JUMP});
    env.step();
    EXPECT_EQ(env.player(1)->jump, 1);
    for (int i = 0; i < 200 && env.player(1)->jump; i++) env.step();
    EXPECT_EQ(env.body(1)->fall_v, 300000);
    EXPECT_EQ(env.player(1)->jump, 0);
}

}  // namespace
