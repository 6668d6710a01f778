// The lock-step exchange on a transport of our own: lost sets and
// acknowledgements, early sets, the wait and its limit, the wrap, digests.
#include <gtest/gtest.h>

#include "net_fixture.h"
#include "sim/control.h"
#include "sim/player.h"

namespace {

const uint16_t C1 = 8193, C2 = 8194;

// This computer plays slot 0; the other computer (node 1, port 8193) slot 1.
struct turn_env : net_env {
    turn_env() {
        net_nodes[0].player_count = 1;
        net_nodes[0].players[0] = 0;
        init_view(0);
        add_peer(1, C1, {1});
        net_join_state = NET_STARTED;
    }
    std::vector<int32_t> ring(int slot, int set) {
        std::vector<int32_t> out;
        const control_queue &q = views[slot].creature->queues[set];
        for (int32_t k = q.read; k != q.write; k = (k + 1) % CREATURE_QUEUE) out.push_back(q.entries[k].event);
        return out;
    }
    // The other computer answers our set with its own, empty, of the same turn.
    void peer_answers() {
        transport.on_send = [this](const datagram &d) {
            if (d.type() == PAK_CONTROLS || d.type() == PAK_CONTROLS_HAVE)
                transport.inbox.push_back({-1, d.host, d.port, bytes{PAK_CONTROLS_HAVE, 0, d.data[2], d.data[3], 0}});
        };
    }
};

TEST(NetTurn, ATurnWithoutKeysIsSentAnsweredAndAcknowledged) {
    turn_env env;
    env.peer_answers();
    net_begin_turn(0, 20);
    net_send_controls(0);
    EXPECT_EQ(env.transport.sent.at(0).data, (bytes{PAK_CONTROLS, 0, 1, 0, 0}));
    EXPECT_EQ(net_wait_turn(), 0u);
    EXPECT_EQ(env.transport.sent_of(PAK_CONTROLS_ACK).at(0).data, (bytes{PAK_CONTROLS_ACK, 0, 1, 0}));
    EXPECT_EQ(net_turn_number, 2);
    EXPECT_FALSE(net_controls_ready || net_nodes[1].controls_received);
}

TEST(NetTurn, LostSetsAndAcknowledgementsAreRepeatedAndStoredOnce) {
    turn_env env;
    // Our first PAK_CONTROLS is lost; it goes again at the first check
    // after more than 150 ms.
    env.transport.on_send = [&](const datagram &d) {
        if (d.type() == PAK_CONTROLS && env.transport.sent_of(PAK_CONTROLS).size() == 2)
            env.transport.inbox.push_back({-1, d.host, d.port, bytes{PAK_CONTROLS_HAVE, 0, d.data[2], d.data[3], 0}});
    };
    control_append(&views[0].creature->queues[0], CONTROL_FIRE, 0);
    net_send_controls(0);
    EXPECT_EQ(env.transport.sent[0].data, (bytes{PAK_CONTROLS, 0, 1, 0, 1, 0, CONTROL_FIRE}));
    uint32_t t0 = env.transport.now;
    net_wait_turn();
    EXPECT_EQ(env.transport.sent_of(PAK_CONTROLS).size(), 2u);
    EXPECT_EQ(env.transport.now - t0, 155u);
    EXPECT_EQ(env.ring(0, 0), (std::vector<int32_t>{CONTROL_FIRE}));  // still ours to apply

    // Its set came first; our PAK_CONTROLS_HAVE's acknowledgement is lost
    // once: the answer goes again, the commands stay stored once.
    net_begin_turn(1, 40);
    env.from_peer(C1, {PAK_CONTROLS, 0, 2, 0, 1, 0, CONTROL_JUMP});
    env.pump();
    int haves = 0;
    env.transport.on_send = [&](const datagram &d) {
        if (d.type() == PAK_CONTROLS_HAVE && ++haves == 2) {
            env.transport.inbox.push_back({-1, d.host, d.port, bytes{PAK_CONTROLS, 0, 2, 0, 1, 0, CONTROL_JUMP}});
            env.transport.inbox.push_back({-1, d.host, d.port, bytes{PAK_CONTROLS_ACK, 0, 2, 0}});
        }
    };
    net_send_controls(1);
    net_wait_turn();
    EXPECT_EQ(haves, 3);  // the immediate answer to the repeated set, then done
    EXPECT_EQ(env.ring(1, 1), (std::vector<int32_t>{CONTROL_JUMP}));
    EXPECT_EQ(views[1].creature->queues[1].entries[views[1].creature->queues[1].read].frame, 40);
}

TEST(NetTurn, OlderAndEarlierTurnsAndTheWrap) {
    turn_env env;
    net_turn_number = 65535;
    env.peer_answers();
    // A set of the next turn, 0 after the wrap, is held until that turn opens.
    env.from_peer(C1, {PAK_CONTROLS, 0, 0, 0, 1, 0, CONTROL_LEFT});
    env.from_peer(C1, {PAK_CONTROLS, 0, 0, 0, 1, 0, CONTROL_RIGHT});  // a second early set is ignored
    env.from_peer(C1, {PAK_CONTROLS, 0, 1, 0, 1, 0, CONTROL_UP});     // two turns ahead: ignored
    env.pump();
    EXPECT_TRUE(net_nodes[1].early_pending);
    net_send_controls(0);
    net_wait_turn();
    EXPECT_EQ(net_turn_number, 0);
    net_begin_turn(1, 60);
    EXPECT_TRUE(net_nodes[1].controls_received);
    EXPECT_EQ(env.ring(1, 1), (std::vector<int32_t>{CONTROL_LEFT}));

    // The other computer missed our acknowledgement of turn 65535: it is
    // answered. One of a turn not yet begun is not.
    env.transport.sent.clear();
    env.from_peer(C1, {PAK_CONTROLS_HAVE, 0, 0xFF, 0xFF, 0});
    env.from_peer(C1, {PAK_CONTROLS_HAVE, 0, 1, 0, 0});
    env.pump();
    ASSERT_EQ(env.transport.sent.size(), 1u);
    EXPECT_EQ(env.transport.sent[0].data, (bytes{PAK_CONTROLS_ACK, 0, 0xFF, 0xFF}));

    // A position beyond the other computer's players is dropped whole.
    net_nodes[1].controls_received = 0;
    env.from_peer(C1, {PAK_CONTROLS, 0, 0, 0, 2, 0, CONTROL_FIRE, 1, CONTROL_FIRE});
    env.pump();
    EXPECT_FALSE(net_nodes[1].controls_received);
    EXPECT_EQ(net_stats.malformed, 1u);
}

TEST(NetTurn, TheWaitReportsLongWaitsAndEndsASilentGame) {
    turn_env env;
    // The other computer's set comes 60 ms, then 250 ms, after ours.
    env.transport.on_send = [&](const datagram &d) {
        if (d.type() == PAK_CONTROLS_ACK) return;
        uint32_t delay = net_turn_number == 1 ? 60 : 250;
        if (d.type() == PAK_CONTROLS)
            env.transport.later.push_back({env.transport.now + delay, {-1, d.host, d.port, {PAK_CONTROLS_HAVE, 0, d.data[2], d.data[3], 0}}});
    };
    net_send_controls(0);
    EXPECT_EQ(net_wait_turn(), 0u);
    net_begin_turn(1, 40);
    net_send_controls(1);
    uint32_t waited = net_wait_turn();
    EXPECT_GE(waited, 250u);
    EXPECT_LE(waited, 255u);

    // Silence: the set is repeated about every 150 ms, then the game ends.
    env.transport.on_send = nullptr;
    env.transport.later.clear();
    env.transport.sent.clear();
    net_begin_turn(0, 60);
    net_send_controls(0);
    uint32_t t0 = env.transport.now;
    fatal_end f = run_fatal([] { net_wait_turn(); });
    EXPECT_EQ(f.code, 6);
    EXPECT_EQ(f.message, "network players timeout");
    EXPECT_GE(env.transport.now - t0, 10000u);
    EXPECT_LE(env.transport.now - t0, 10005u);
    EXPECT_EQ(env.transport.sent_of(PAK_CONTROLS).size(), 1u + 10000 / 155);
}

TEST(NetTurn, ADigestThatDiffersEndsTheGameOnItsTurnEvenWhenItComesEarly) {
    // The other computer is a turn ahead: its digest of turn 2 comes before
    // ours is made (one that comes after: ProcessNetPlay's differing maps).
    turn_env env;
    env.peer_answers();
    net_send_controls(0);
    net_wait_turn();
    uint64_t ours = net_world_digest() - 1000003u;  // of turn 1
    env.from_peer(C1, bytes{PAK_DIGEST, 0, 1, 0} + bytes{(uint8_t)ours, (uint8_t)(ours >> 8), (uint8_t)(ours >> 16),
                                                           (uint8_t)(ours >> 24), 0, 0, 0, 0});
    env.pump();  // equal: the game goes on
    env.from_peer(C1, bytes{PAK_DIGEST, 0, 2, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    env.pump();
    net_begin_turn(1, 40);
    net_send_controls(1);
    fatal_end f = run_fatal([] { net_wait_turn(); });
    EXPECT_EQ(f.code, 6);
    EXPECT_EQ(f.message, "network game out of sync at turn 2");
}

TEST(NetTurn, SetsUnderWaySurviveARespawn) {
    // An early set survives its player's respawn, as where it came later.
    turn_env env;
    net_begin_turn(1, 40);
    env.from_peer(C1, {PAK_CONTROLS, 0, 1, 0, 1, 0, CONTROL_RELEASE + CONTROL_RIGHT});
    env.pump();
    respawn(&views[1]);
    EXPECT_EQ(env.ring(1, 1), (std::vector<int32_t>{CONTROL_RELEASE + CONTROL_RIGHT}));
}

TEST(NetTurn, AFullRingNeverLosesARelease) {
    control_queue q = {};
    for (int i = 0; i < 40; i++) control_append(&q, i % 2 ? CONTROL_LEFT : CONTROL_FIRE, i);
    // The release takes the newest press's place: the last of the 31 kept.
    control_append(&q, CONTROL_RELEASE + CONTROL_LEFT, 99);
    auto back = [&](int k) { return q.entries[(q.write + CREATURE_QUEUE - k) % CREATURE_QUEUE]; };
    EXPECT_EQ(back(1).event, CONTROL_RELEASE + CONTROL_LEFT);
    EXPECT_EQ(back(2).event, CONTROL_LEFT);  // press 29
    EXPECT_EQ(back(2).frame, 29);
    // Only releases waiting: a repeated one gives way; a press is dropped.
    q = {};
    for (int i = 0; i < 31; i++) control_append(&q, CONTROL_RELEASE + i % 7, i);
    control_append(&q, CONTROL_RELEASE + CONTROL_NEXT_WEAPON, 50);
    control_append(&q, CONTROL_FIRE, 51);
    int count = 0, next_weapon = 0;
    for (int32_t k = q.read; k != q.write; k = (k + 1) % CREATURE_QUEUE, count++)
        next_weapon += q.entries[k].event == CONTROL_RELEASE + CONTROL_NEXT_WEAPON;
    EXPECT_EQ(count, 31);
    EXPECT_EQ(next_weapon, 1);
}

}  // namespace
