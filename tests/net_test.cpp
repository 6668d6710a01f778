// The network layer and the lobby on a transport of our own, for the paths
// that real games (ProcessNet) cannot be made to take on purpose.
#include <gtest/gtest.h>

#include "net_fixture.h"

namespace {

const uint16_t C1 = 8193, C2 = 8194;

// A server with its one local player, taking joins; every computer that
// joins acknowledges what it is sent.
struct server_env : net_env {
    server_env() {
        net_server_setup(1);
        net_lobby_open = true;
        transport.on_send = [this](const datagram &d) {
            if (d.channel != NET_SPARE_NODE && d.type() != PAK_ACK && d.type() != PAK_JOIN_DENIED)
                transport.inbox.push_back({-1, d.host, d.port, ack_of(d.data)});
        };
    }
    void join(uint16_t port, std::vector<std::string> names) {
        from_peer(port, join_request(names));
        pump();
    }
};

TEST(NetLayer, NoFreePortAndAcknowledgements) {
    net_env env;
    for (int p = NET_CLIENT_PORT_FIRST; p <= NET_CLIENT_PORT_LAST; p++) env.transport.busy_ports.push_back((uint16_t)p);
    fatal_end f = run_fatal([] { net_open_socket(); });
    EXPECT_EQ(f.code, 6);
    EXPECT_EQ(f.message, "unable to open UDP socket");

    // Acknowledgements count from bound senders only, only upwards, only
    // for types 0 to 14.
    env.add_peer(1, C1, {1});
    net_nodes[1].acked[PAK_START] = 5;
    env.from_peer(C1, {PAK_ACK, 0, 5, 0, PAK_START});
    env.from_peer(C1, {PAK_ACK, 0, 4, 0, PAK_START});
    env.from_peer(C2, {PAK_ACK, 0, 9, 0, PAK_START});
    env.from_peer(C1, {PAK_ACK, 0, 9, 0, 15});
    env.from_peer(C1, {PAK_ACK, 0, 0xFF, 0xFF, PAK_PREPARE});
    env.pump();
    EXPECT_EQ(net_nodes[1].acked[PAK_START], 5);
    EXPECT_EQ(net_nodes[1].acked[PAK_PREPARE], 0xFFFF);
}

TEST(NetLayer, AReliableSendNeverAcknowledgedRepeatsThenGivesUpAfter20Seconds) {
    // Again each time more than 150 ms have passed, then one shutdown signal
    // and the end (a signal that is acknowledged: every process game).
    net_env env;
    env.add_peer(1, C1, {1});
    std::vector<uint32_t> times;
    env.transport.on_send = [&](const datagram &) { times.push_back(env.transport.now); };
    uint32_t t0 = env.transport.now;
    fatal_end f = run_fatal([] { net_send_reliable(PAK_START); });
    EXPECT_EQ(f.code, 6);
    EXPECT_EQ(f.message, "sending packet 09h timeout");
    ASSERT_GE(times.size(), 100u);
    for (size_t i = 1; i + 1 < times.size(); i++) EXPECT_EQ(times[i] - times[i - 1], 200u);  // 4 steps of 50 ms
    EXPECT_GE(env.transport.now - t0, 20000u);
    EXPECT_EQ(env.transport.sent.back().data, (bytes{PAK_SHUTDOWN, 0, 0, 0}));
}

TEST(NetLobby, ServerTakesJoinsGivesSlotsAndRefusesWhatItCannotTake) {
    server_env env;
    env.join(C1, {"A name longer than fifteen"});
    ASSERT_TRUE(net_nodes[1].used);
    EXPECT_STREQ(views[1].name, "A name longer t");
    EXPECT_EQ(net_total_players, 2);

    // The same computer again: ignored.
    env.transport.sent.clear();
    env.join(C1, {"Again"});
    EXPECT_TRUE(env.transport.sent.empty());
    EXPECT_EQ(net_total_players, 2);

    // Requests for no players and for more than there is room for are
    // answered as full, through the spare node (a fourth computer: ProcessNet).
    env.join(C2, {});
    env.join(C2, {"a", "b", "c"});
    ASSERT_EQ(env.transport.sent.size(), 2u);
    EXPECT_EQ(env.transport.sent[1].channel, NET_SPARE_NODE);
    EXPECT_EQ(env.transport.sent[1].data, (bytes{PAK_JOIN_FULL, 0, 0, 0}));
    EXPECT_FALSE(env.transport.channels[NET_SPARE_NODE].bound);
    EXPECT_EQ(net_total_players, 2);

    // Once the lobby has closed (or on a client) a join is denied.
    net_lobby_open = false;
    env.transport.sent.clear();
    env.join(8197, {"late"});
    ASSERT_EQ(env.transport.sent.size(), 1u);
    EXPECT_EQ(env.transport.sent[0].type(), PAK_JOIN_DENIED);
}

TEST(NetLobby, AnAcceptNeverAcknowledgedDropsTheNodeAfterTenSeconds) {
    server_env env;
    env.transport.on_send = nullptr;
    uint32_t t0 = env.transport.now;
    env.join(C1, {"Silent"});
    EXPECT_GE(env.transport.now - t0, 10000u);
    EXPECT_LT(env.transport.now - t0, 10200u);
    EXPECT_GE(env.transport.sent_of(PAK_ACCEPT).size(), 200u);  // at every receive step
    EXPECT_FALSE(net_nodes[1].used || view_in_use(1) || env.transport.channels[1].bound);
    EXPECT_EQ(net_total_players, 1);
}

TEST(NetLobby, StartEndsWhenAClientNeverLoads) {
    server_env env;
    env.join(C1, {"One"});
    env.join(C2, {"Two"});
    net_lobby_open = false;
    // One client loads the map, one never does: PAK_PREPARE with 0 repeated
    // to it, then the end (a start that succeeds: ProcessNet).
    net_nodes[1].ready = 1;
    env.transport.on_send = [&](const datagram &d) {
        if (d.type() == PAK_PREPARE && d.seq() == 1) env.transport.inbox.push_back({-1, d.host, d.port, ack_of(d.data)});
    };
    env.transport.sent.clear();
    fatal_end f = run_fatal([] { net_prepare(); });
    EXPECT_EQ(f.code, 6);
    EXPECT_EQ(f.message, "prepearing timeout");
    EXPECT_GT(env.transport.sent_of(PAK_PREPARE).size(), 150u);  // seq 0 at every receive step
}

// A client that asked to join with one player named "First".
struct client_env : net_env {
    client_env() {
        net_connect(1);
        net_join_state = NET_JOINING;
    }
    void from_server(const bytes &data) {
        from_peer(NET_SERVER_PORT, data);
        pump();
    }
};

TEST(NetLobby, ClientTakesTheServersAnswersOnceEach) {
    client_env env;
    EXPECT_EQ(net_server_node, 1);
    EXPECT_EQ(env.transport.channels[1].port, net_port_net(NET_SERVER_PORT));
    // An accept from a stranger and one for two players are not taken.
    env.from_peer(C2, {PAK_ACCEPT, 0, 1, 0, 100, 0, 10, 0, 5, 0, 1, 2});
    env.from_server({PAK_ACCEPT, 0, 1, 0, 100, 0, 10, 0, 5, 0, 2, 2, 3});
    EXPECT_EQ(net_join_state, NET_JOINING);
    env.from_server({PAK_ACCEPT, 0, 1, 0, 100, 0, 10, 0, 5, 0, 1, 2});
    EXPECT_EQ(net_join_state, NET_CONNECTED);
    EXPECT_TRUE(view_in_use(2) && !views[2].remote);
    EXPECT_EQ(net_nodes[0].players[0], 2);
    EXPECT_EQ(config.net_packet_interval, 100);
    EXPECT_EQ(config.net_control_interval, 10);
    EXPECT_EQ(config.net_control_send_time, 5);
    env.from_server({PAK_ACCEPT, 0, 1, 0, 100, 0, 10, 0, 5, 0, 1, 2});  // our acknowledgement was lost
    EXPECT_EQ(env.transport.sent_of(PAK_ACK).size(), 2u);

    // The map is loaded once however often PAK_PREPARE comes; each draws READY.
    env.from_server({PAK_PREPARE, 0, 1, 0});
    env.from_server({PAK_PREPARE, 0, 0, 0});
    EXPECT_EQ(env.map_starts, 1);
    EXPECT_EQ(net_join_state, NET_PREPARED);
    EXPECT_EQ(env.transport.sent_of(PAK_READY).size(), 2u);
    env.from_server({PAK_START, 0, 1, 0});
    env.from_server({PAK_START, 0, 1, 0});
    EXPECT_EQ(net_join_state, NET_STARTED);
    EXPECT_EQ(env.transport.sent_of(PAK_ACK).back().data, (bytes{PAK_ACK, 0, 1, 0, PAK_START}));
}

TEST(NetLobby, ClientRefusesTimingThatCannotPlay) {
    client_env env;
    fatal_end f = run_fatal([] {
        fake->deliver(NET_SERVER_PORT, {PAK_ACCEPT, 0, 1, 0, 150, 0, 20, 0, 21, 0, 1, 1});
        net_receive(0);
    });
    EXPECT_EQ(f.code, 11);
    EXPECT_NE(f.message.find("joining to the server had failed"), std::string::npos);
    EXPECT_NE(f.message.find("21"), std::string::npos);
}

}  // namespace
