// Missiles in the cases the golden fight (process_sim_test.cpp) does not
// reach: a frameless explosion, the rocket blast's damage and push against
// a creature and an item, and crowded cells.
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

// A description whose explosion has no frames: a bolt that strikes makes no
// animation, but its sparks fly all the same.
TEST_F(Missiles, AFramelessExplosionStillSparks) {
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "200 16 PLAYER 1 hero.monster"}, 2);
    explosion_definitions[0].frame_count = 0;
    armed(1, 5);
    fire_weapon(env.player(0));
    for (int i = 0; i < 40 && missile_list; i++) env.step();
    ASSERT_EQ(missile_list, nullptr);
    EXPECT_EQ(env.player(1)->health, 90);
    EXPECT_EQ(list_length(explosion_list), 0u);
    EXPECT_EQ(list_length(spark_list), 11u);
}

TEST_F(Missiles, RocketRaysHurtAndPushAndUntouchedWallsTakeNoRecallRoom) {
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
    EXPECT_EQ(env.body(1)->push_x, 140000 * 9 / 32);

    // An item in the blast is pushed, not destroyed; a wall 2 px thick
    // across ray 0 costs it two steps inside: 6 more.
    env.add(OBJ_WALL, 304, 190, 2, 9);
    object *box = env.add(OBJ_ITEM, 340, 198, 4, 2);
    item *it = add_item(ITEM_SHELLS_4, box, 1);
    env.body(1)->x = 600 * PX;
    blast();
    EXPECT_EQ(box->push_x, 140000 * (19 + 6) / 32);
    EXPECT_TRUE(it->kind == ITEM_SHELLS_4 && box->kind == OBJ_ITEM);

    // Walls the rays never touch take no room in the query's recall list,
    // however many share the cell: 1100 tiles out of reach change nothing.
    for (int i = 0; i < 1100; i++) env.add(OBJ_WALL, i % 100 * 4, 420 + i / 100 * 4, 2, 2);
    box->push_x = 0;
    blast();
    EXPECT_EQ(box->push_x, 140000 * (19 + 6) / 32);
}

}  // namespace
