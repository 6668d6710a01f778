// Weapons and missiles: where a bolt starts and how fast it flies, what a
// hit does to a creature or a wall, the shotgun's pellets against creatures
// and walls, the rocket blast's damage, push and step accounting, and how
// long explosions, sparks and stray missiles last.
#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace {

const std::string FLOOR = "0 0 WALL floor.png";

// A ".missle" file with the data set's speeds and the given frame lengths.
std::string fast_missle(const std::string &stem, const std::vector<int> &ticks) {
    const int32_t v[6][2] = {{-393216, 0}, {-327680, 229376}, {-360448, -163840},
                             {393216, 0},  {327680, 229376},  {360448, -163840}};
    std::string t;
    for (const auto &d : v) t += stem + "_dir.png 0 0 " + std::to_string(d[0]) + " " + std::to_string(d[1]) + "\n";
    t += "\n\n";
    for (int k : ticks) t += stem + "_boom.png 0 0 " + std::to_string(k) + "\n";
    return t + " \n";
}

struct Missiles : ::testing::Test {
    sim_env env;
    void SetUp() override {
        write_file("plasma.missle", fast_missle("plasma", {3, 3, 4}));
        write_file("rocket.missle", fast_missle("rocket", {2, 2}));
        write_file("flat.monster", monster_text(4, 2, "imp"));
    }
    // Player 0 at x 100 facing right with the weapon in hand.
    void armed(int weapon, int16_t ammunition) {
        creature *c = env.player(0);
        c->facing = 1;
        c->weapons[weapon] = {1, ammunition};
        c->weapon = weapon;
    }
    // The list keeps its first record first: the newest is second.
    object *newest_missile() {
        list_node *n = missile_list->next ? missile_list->next : missile_list;
        return static_cast<missile *>(n->element)->body;
    }
};

TEST_F(Missiles, ABoltStartsAtTheMuzzleAndTakesTheShootersStepAlong) {
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster"});
    armed(1, 5);
    fire_weapon(env.player(0));
    object *bolt = newest_missile();
    EXPECT_EQ(bolt->x, 118 * PX);                  // the body's right edge
    EXPECT_EQ(bolt->y, 26 * PX - 3 * PX / 2);      // level muzzle 10 px up, centred
    EXPECT_EQ(bolt->vx, 393216);
    EXPECT_EQ(bolt->list_node->previous->element, env.body(0));
    // Moving 4 px a tick: 4 px further on and 1 px a tick faster.
    env.player(0)->cooldown = 0;
    env.body(0)->step_x = 4 * PX;
    fire_weapon(env.player(0));
    EXPECT_EQ(newest_missile()->x, 122 * PX);
    EXPECT_EQ(newest_missile()->vx, 393216 + PX);
    // Facing left, the bolt's right edge is at the body's left edge.
    env.player(0)->cooldown = 0;
    env.player(0)->facing = 0;
    env.body(0)->step_x = 0;
    fire_weapon(env.player(0));
    EXPECT_EQ(newest_missile()->x, 100 * PX - 6 * PX);
    EXPECT_EQ(newest_missile()->vx, -393216);
}

TEST_F(Missiles, ABoltHurtsAndPushesACreatureAndOnlyExplodesOnAWall) {
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "200 16 PLAYER 1 hero.monster", "80 16 WALL wall.png"}, 2);
    armed(1, 5);
    fire_weapon(env.player(0));
    for (int i = 0; i < 40 && missile_list; i++) env.step();
    ASSERT_EQ(missile_list, nullptr);
    EXPECT_EQ(env.player(1)->health, 90);
    EXPECT_EQ(env.body(1)->push_x, 393216 / 2);
    EXPECT_EQ(list_length(explosion_list), 1u);
    EXPECT_EQ(list_length(spark_list), 11u);

    env.step(60);  // the explosion and sparks are gone
    EXPECT_EQ(list_length(spark_list), 0u);
    env.player(0)->facing = 0;
    env.player(0)->cooldown = 0;
    fire_weapon(env.player(0));
    for (int i = 0; i < 40 && missile_list; i++) env.step();
    EXPECT_EQ(list_length(explosion_list), 1u);
    EXPECT_EQ(list_length(spark_list), 11u);
    EXPECT_EQ(env.player(0)->health, 100);

    // A description whose explosion has no frames: no animation, but the
    // sparks fly all the same.
    env.step(60);
    explosion_definitions[0].frame_count = 0;
    env.player(0)->cooldown = 0;
    fire_weapon(env.player(0));
    for (int i = 0; i < 40 && missile_list; i++) env.step();
    EXPECT_EQ(list_length(explosion_list), 0u);
    EXPECT_EQ(list_length(spark_list), 11u);
}

TEST_F(Missiles, ShotgunPelletsAllStrikeACloseCreatureButNotThroughAWall) {
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "130 16 PLAYER 1 hero.monster"}, 2);
    armed(3, 2);
    env.events(0, {CONTROL_FIRE, CONTROL_RELEASE + CONTROL_FIRE});
    env.step();
    EXPECT_EQ(env.player(1)->health, 30);  // seven pellets of 10
    EXPECT_EQ(env.player(0)->weapons[3].ammunition, 1);
    EXPECT_EQ(env.body(1)->push_x, 7 * 4 * (393216 >> 5));
    EXPECT_EQ(missile_list, nullptr);  // traced, never flown
    EXPECT_EQ(spark_list, nullptr);

    env.add(OBJ_WALL, 122, 16, 4, 60);
    env.player(0)->cooldown = 0;
    env.events(0, {CONTROL_FIRE, CONTROL_RELEASE + CONTROL_FIRE});
    env.step();
    EXPECT_EQ(env.player(1)->health, 30);
    ASSERT_EQ(list_length(spark_list), 7u * 7u);  // seven sparks for every pellet
    for (list_node *n = spark_list; n; n = n->next) {
        spark *s = static_cast<spark *>(n->element);
        EXPECT_EQ(s->picture, 2);
        EXPECT_LE(s->body->x, 122 * PX);
    }
}

TEST_F(Missiles, RocketRaysHurtPushAndLoseStepsInsideWalls) {
    // The rocket struck the block at (300, 200) from the left: the rays
    // start at (298, 198). A 4 x 2 creature 20 px right of the start is
    // reached by ray 0 alone, at step 9.
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "318 198 PLAYER 1 flat.monster"}, 2);
    object *block = env.add(OBJ_WALL, 300, 200, 10, 10);
    auto blast = [&]() {
        spawn_missile(env.player(0), 1, 250 * PX, 250 * PX, 0, 0, 3);
        object *rocket = newest_missile();
        rocket->vy = 0;
        rocket->hit_side = 1;
        rocket->hit_object = block;
        env.enter_all();
        env.body(1)->push_x = 0;
        env.player(1)->event_count = 0;
        missiles_update();
    };
    blast();
    ASSERT_EQ(env.player(1)->event_count, 1);
    EXPECT_EQ(env.player(1)->events[0].damage, 10);
    EXPECT_EQ(env.player(1)->events[0].attacker, 1);
    EXPECT_EQ(env.body(1)->push_x, 140000 * 9 / 32);
    EXPECT_EQ(list_length(explosion_list), 1u);

    // A wall 2 px thick across ray 0 costs it two steps inside: 6 more.
    env.add(OBJ_WALL, 304, 190, 2, 9);
    blast();
    EXPECT_EQ(env.player(1)->event_count, 1);
    EXPECT_EQ(env.body(1)->push_x, 140000 * 15 / 32);
    // 60 px away the ray arrives at step 28 in the open, but not through the wall.
    env.body(1)->x = 358 * PX;
    blast();
    EXPECT_EQ(env.player(1)->event_count, 0);

    // An item in the blast is pushed, not destroyed.
    object *box = env.add(OBJ_ITEM, 340, 198, 4, 2);
    item *it = add_item(ITEM_SHELLS_4, box, 1);
    env.body(1)->x = 600 * PX;
    blast();
    EXPECT_EQ(box->push_x, 140000 * (19 + 6) / 32);
    EXPECT_EQ(it->kind, ITEM_SHELLS_4);
    EXPECT_EQ(box->kind, OBJ_ITEM);

    // Walls the rays never touch take no room in the query's recall list,
    // however many share the cell: 1100 tiles out of reach change nothing.
    for (int i = 0; i < 1100; i++) env.add(OBJ_WALL, i % 100 * 4, 420 + i / 100 * 4, 2, 2);
    box->push_x = 0;
    blast();
    EXPECT_EQ(box->push_x, 140000 * (19 + 6) / 32);
}

TEST_F(Missiles, ExplosionsSparksAndStrayMissilesLastTheirTime) {
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster"});
    object *parent = env.body(0);
    // A spark that lands is gone in that tick; one in the open lasts 40
    // frames (made here between steps, its 40th update is the 41st step).
    make_spark(parent, 50 * PX, 17 * PX, 0, -2 * PX, 0);
    env.step();
    EXPECT_EQ(spark_list, nullptr);
    make_spark(parent, 700 * PX, 500 * PX, 0, 0, 1);
    object *high = static_cast<spark *>(spark_list->element)->body;
    env.step(40);
    EXPECT_EQ(list_length(spark_list), 1u);
    env.step();
    EXPECT_EQ(spark_list, nullptr);
    EXPECT_EQ(high->kind, OBJ_WIPE);

    make_explosion(0, parent, 50 * PX, 50 * PX);  // frames of 3, 3 and 4 ticks
    object *shown = static_cast<explosion *>(explosion_list->element)->body;
    EXPECT_EQ(list_length(spark_list), 11u);
    for (int i = 1; i < 10; i++) missiles_update();
    EXPECT_EQ(list_length(explosion_list), 1u);
    missiles_update();
    EXPECT_EQ(explosion_list, nullptr);
    EXPECT_EQ(shown->kind, OBJ_WIPE);

    // A missile beyond the margins is dropped without an explosion.
    spawn_missile(env.player(0), 0, -400 * PX, 50 * PX, 0, 0, 0);
    missiles_update();
    EXPECT_EQ(missile_list, nullptr);
    EXPECT_EQ(explosion_list, nullptr);
}

}  // namespace
