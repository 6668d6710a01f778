// Items where the golden fight (pickups, respawns, dropped weapons) does not
// tell: bodies, which of two players takes an item, crushing.
#include <gtest/gtest.h>

#include "sim/pickup.h"
#include "sim_fixture.h"

namespace {

const std::string FLOOR = "0 0 WALL floor.png";

item *item_at(int x) {
    for (list_node *n = item_list; n; n = n->next) {
        auto *it = static_cast<item *>(n->element);
        if (it->spawn_x == x * PX) return it;
    }
    return nullptr;
}

TEST(Items, BodiesAreNeverTaken) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "300 16 ITEM HEALTH"});
    creature *c = env.player(0);
    EXPECT_FALSE(can_take(c, ITEM_BODY));
    item *body = item_at(300);
    body->kind = ITEM_BODY;
    EXPECT_EXIT(pickup(c, body), ::testing::ExitedWithCode(16), "no pickup processing for item kind 0Bh");
}

TEST(Items, TheLowerPlayerTakesFirst) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "104 16 PLAYER 1 hero.monster", "106 16 ITEM HEALTH"}, 2);
    env.player(0)->health = env.player(1)->health = 50;
    env.step();
    EXPECT_EQ(env.player(0)->health, 75);
    EXPECT_EQ(env.player(1)->health, 50);
}

TEST(Items, CrushedAmmunitionExplodesAndTheItemComesBack) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "200 16 ITEM ROCKET_BOX",
              "402 16 ITEM ONE_ROCKET", "350 16 PLATFORM 65536 0 plat.png"});
    item_crushed(item_at(200));
    EXPECT_EQ(static_cast<explosion *>(explosion_list->element)->body->x, 200 * PX);
    EXPECT_EQ(item_at(200)->respawn_timer, ITEM_RESPAWN_TICKS);

    // In play: a platform pressing a rocket against a wall crushes it.
    env.add(OBJ_WALL, 424, 16, 16, 40);  // the rocket's picture is 22 wide
    for (int i = 0; i < 10 && item_at(402)->respawn_timer == 0; i++) env.step();
    // Crushed before the item update of the same tick: one tick already counted.
    EXPECT_EQ(item_at(402)->respawn_timer, ITEM_RESPAWN_TICKS - 1);
    EXPECT_EQ(list_length(explosion_list), 2u);
}

}  // namespace
