// Players: keys into control sets, the ring's capacity, a networked game's
// control turns and hooks, the choice of starts at its edges.
#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace {

const std::string FLOOR = "0 0 WALL floor.png";
const std::vector<std::string> TWO = {FLOOR, "100 16 PLAYER 0 hero.monster", "200 16 PLAYER 1 hero.monster",
                                      "50 16 DM_START ", "150 16 DM_START ", "250 16 DM_START "};

std::vector<int32_t> ring(creature *c, int set) {
    std::vector<int32_t> out;
    const control_queue &q = c->queues[set];
    for (int32_t i = q.read; i != q.write; i = (i + 1) % CREATURE_QUEUE) out.push_back(q.entries[i].event);
    return out;
}

TEST(Player, KeysQueueTheirControlsInTheNamedSetOfLocalViews) {
    sim_env env;
    env.load(TWO, 2);
    views[0].keys[CONTROL_LEFT] = 276;
    views[0].keys[CONTROL_JUMP] = views[0].keys[CONTROL_FIRE] = 32;
    views[1].keys[CONTROL_LEFT] = 276;
    views[1].remote = 1;
    logic_frame = 7;
    key_event(276, 1, 1);
    key_event(32, 1, 1);
    key_event(32, 0, 1);
    key_event(999, 1, 1);
    EXPECT_EQ(ring(env.player(0), 1), (std::vector<int32_t>{0, 4, 5, 132, 133}));
    EXPECT_TRUE(ring(env.player(1), 1).empty());

    // A ring holds 31 waiting events; more are dropped, not wrapped over.
    for (int i = 0; i < 40; i++) control_append(&env.player(1)->queues[0], CONTROL_UP, 0);
    EXPECT_EQ(ring(env.player(1), 0).size(), 31u);
}

struct hook_calls {
    static std::vector<std::string> seen;
    static uint32_t wait() {
        seen.push_back("wait");
        return 0;
    }
    static void send(int set) { seen.push_back("send " + std::to_string(set)); }
    static void begin(int set, int32_t stamp) {
        seen.push_back("begin " + std::to_string(set) + " " + std::to_string(stamp));
    }
};
std::vector<std::string> hook_calls::seen;

TEST(Player, ControlTurnsApplyEachSetAtTheTurnAfterItWasFilled) {
    sim_env env;
    env.load(TWO, 2);
    // Turns of 20 frames sent 16 before their end.
    net_turn = {hook_calls::wait, hook_calls::send, hook_calls::begin};
    logic_begin(&env.turn, 20, 16);
    std::vector<int32_t> up_at, down_at;
    for (int step = 1; step <= 45; step++) {
        if (step == 2) control_append(&env.player(1)->queues[env.turn.filling], CONTROL_UP, logic_frame);
        if (step == 6) control_append(&env.player(1)->queues[env.turn.filling], CONTROL_DOWN, logic_frame);
        if (step == 5 || step == 25 || step == 45) hook_calls::seen.push_back("step " + std::to_string(step));
        logic_step(&env.turn);
        if (env.player(1)->up_held && up_at.empty()) up_at.push_back(step);
        if (env.player(1)->down_held && down_at.empty()) down_at.push_back(step);
    }
    net_turn = {nullptr, nullptr, nullptr};
    EXPECT_EQ(hook_calls::seen, (std::vector<std::string>{"begin 0 20", "step 5", "send 0", "wait", "begin 1 40",
                                                           "step 25", "send 1", "wait", "begin 0 60", "step 45",
                                                           "send 0"}));
    EXPECT_EQ(up_at, (std::vector<int32_t>{21}));
    EXPECT_EQ(down_at, (std::vector<int32_t>{41}));
}

// Respawning on jump at a start not used twice in a row is the golden
// fight's; here its edges: a table that gives one number only still ends the
// search, and a map with a single start is refused.
TEST(Player, ChoosingAStartEndsEvenOnAConstantTableAndNeedsTwoStarts) {
    sim_env env;
    env.load(TWO, 2);
    for (uint16_t &e : random_table) e = 0;
    last_dm_start = 0;
    choose_start(&views[1]);
    EXPECT_EQ(last_dm_start, 1);
    dm_start_count = 1;
    EXPECT_EXIT(respawn(&views[1]), ::testing::ExitedWithCode(16),
                "There should be at least two DM_START objects in level");
}

}  // namespace
