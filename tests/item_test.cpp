// Items: pickups within their limits and the weapon rules, who takes an
// item, when a taken or lost item comes back, one-shot items, crushing.
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

TEST(Items, PickupsGiveWithinTheirLimitsAndFollowTheWeaponRules) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "300 16 ITEM HEALTH", "320 16 ITEM SHOTGUN",
              "340 16 ITEM CELL_SMALL", "360 16 ITEM PLASMABOLT", "380 16 ITEM SHOTGUN"});
    creature *c = env.player(0);
    EXPECT_FALSE(can_take(c, ITEM_HEALTH));
    c->health = 90;
    pickup(c, item_at(300));
    EXPECT_EQ(c->health, 100);

    // The empty hand gives way to a picked-up weapon...
    pickup(c, item_at(320));
    EXPECT_EQ(c->weapon, 3);
    EXPECT_EQ(c->weapons[0].owned, 0);
    // ...a loaded weapon does not.
    c->weapons[1] = {1, 245};
    c->weapon = 1;
    pickup(c, item_at(380));
    EXPECT_EQ(c->weapon, 1);
    EXPECT_EQ(c->weapons[3].ammunition, 20);

    pickup(c, item_at(340));
    EXPECT_EQ(c->weapons[1].ammunition, 250);
    EXPECT_FALSE(can_take(c, ITEM_CELL_SMALL));
    EXPECT_FALSE(can_take(c, ITEM_PLASMABOLT));
    c->weapons[1].owned = 0;
    EXPECT_TRUE(can_take(c, ITEM_PLASMABOLT));
    pickup(c, item_at(360));
    EXPECT_EQ(c->weapons[1].owned, 1);
    EXPECT_EQ(c->weapons[1].ammunition, 250);
    // Ammunition grows for weapons not owned; bodies are never taken.
    EXPECT_TRUE(can_take(c, ITEM_ONE_ROCKET));
    EXPECT_FALSE(can_take(c, ITEM_BODY));
    item *body = item_at(300);
    body->kind = ITEM_BODY;
    EXPECT_EXIT(pickup(c, body), ::testing::ExitedWithCode(16), "no pickup processing for item kind 0Bh");
}

TEST(Items, ATakenItemIsBackAfter1500TicksAndTakeableTheTickAfter) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "102 16 ITEM HEALTH"});
    creature *c = env.player(0);
    item *it = item_list ? static_cast<item *>(item_list->element) : nullptr;
    ASSERT_NE(it, nullptr);
    env.step();  // at full health it stays
    EXPECT_EQ(it->respawn_timer, 0);
    c->health = 50;
    env.step();
    EXPECT_EQ(c->health, 75);
    env.step(1499);
    EXPECT_EQ(it->body->x, ITEM_WAIT_X);
    env.step();
    EXPECT_EQ(it->body->x, 102 * PX);
    EXPECT_EQ(c->health, 75);
    env.step();
    EXPECT_EQ(c->health, 100);
}

TEST(Items, LostItemsComeBackUnlessOneShotAndTheLowerPlayerTakesFirst) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "104 16 PLAYER 1 hero.monster", "106 16 ITEM HEALTH",
              "300 16 ITEM ROCKET_BOX"},
             2);
    env.player(0)->health = env.player(1)->health = 50;
    env.step();
    EXPECT_EQ(env.player(0)->health, 75);
    EXPECT_EQ(env.player(1)->health, 50);

    item *box = item_at(300);
    box->body->y = -400 * PX;
    env.step();
    EXPECT_EQ(box->respawn_timer, ITEM_RESPAWN_TICKS - 1);
    env.step(1499);
    EXPECT_EQ(box->body->x, 300 * PX);

    object *dropped = create_object(env.body(0));
    item *weapon = add_item(ITEM_LAUNCHER, dropped, 0);
    dropped->y = -400 * PX;
    size_t items = list_length(item_list);
    env.step();
    EXPECT_EQ(weapon->kind, ITEM_NONE);
    env.step();
    EXPECT_EQ(list_length(item_list), items - 1);
    EXPECT_EQ(dropped->kind, OBJ_WIPE);
    env.step();
    EXPECT_FALSE(in_object_list(dropped));
}

TEST(Items, CrushedAmmunitionExplodesAndEveryCrushedItemComesBack) {
    sim_env env;
    env.load({FLOOR, "100 16 PLAYER 0 hero.monster", "200 16 ITEM ROCKET_BOX", "300 16 ITEM HEALTH",
              "402 16 ITEM ONE_ROCKET", "350 16 PLATFORM 65536 0 plat.png"});
    item_crushed(item_at(200));
    EXPECT_EQ(static_cast<explosion *>(explosion_list->element)->body->x, 200 * PX);
    EXPECT_EQ(item_at(200)->respawn_timer, ITEM_RESPAWN_TICKS);
    item_crushed(item_at(300));
    EXPECT_EQ(list_length(explosion_list), 1u);
    EXPECT_EQ(item_at(300)->body->x, ITEM_WAIT_X);

    // In play: a platform pressing a rocket against a wall crushes it.
    env.add(OBJ_WALL, 424, 16, 16, 40);  // the rocket's picture is 22 wide
    for (int i = 0; i < 10 && item_at(402)->respawn_timer == 0; i++) env.step();
    // Crushed before the item update of the same tick: one tick already counted.
    EXPECT_EQ(item_at(402)->respawn_timer, ITEM_RESPAWN_TICKS - 1);
    EXPECT_EQ(list_length(explosion_list), 2u);
}

}  // namespace
