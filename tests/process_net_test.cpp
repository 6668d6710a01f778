// Network games of real fenda2 processes, each in its own X server and copy
// of the data set, inside a network namespace of the test's own (or on the
// host's loopback): three computers meet in the lobby and play, a fourth is
// refused, a client finds no server, Escape in the lobby on both sides; and
// a peer of the test's own for what real games cannot be made to do: lost
// acknowledgements, malformed datagrams, repeated addresses, shutdown.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "game_session_util.h"
#include "netns_util.h"

namespace {

const xpixel LOBBY_TEXT = {192, 16, 16};  // the colour the menu's notes leave set

// One computer of the game: its player named `name`.
struct computer : game_session {
    computer(const net_space &space, const std::string &name) : game_session(1280) {
        prefix = space.prefix();
        configure("player1", name);
    }
};

// Pixels of lobby text on the row of the server's list that starts at y.
long text_on_row(const x_image &img, int y) {
    long n = 0;
    for (int yy = y; yy < y + 13; yy++)
        for (int x = 90; x < 400; x++) n += img.at(x, yy) == LOBBY_TEXT;
    return n;
}

// Rows of the list: a computer's line, its player's name, then a gap.
const int ROWS[] = {70, 90, 150, 170, 230, 250, 310};

bool list_shows(computer &server, int computers) {
    return server.shows([&](const x_image &img) {
        for (int r = 0; r < 7; r++)
            if ((text_on_row(img, ROWS[r]) > 0) != (r < 2 * computers)) return false;
        return true;
    });
}

// Escape on every computer at once; each ends normally, or, when its turn
// came to an end after another had left, by the time-out.
void escape_all(std::vector<computer *> games) {
    std::vector<std::thread> keys;
    for (computer *g : games) keys.emplace_back([g] { g->key("Escape"); });
    for (std::thread &t : keys) t.join();
    int normal = 0;
    for (computer *g : games) {
        int status = g->game->wait(30000);
        std::string out = g->game->out();
        EXPECT_TRUE((status == 0 && out == "\n\nNormal shutdown\n\n") ||
                    (status == 6 && out == "\n\nERROR: network players timeout\n\n"))
            << g->report();
        normal += status == 0;
    }
    EXPECT_GE(normal, 1);
}

TEST(ProcessNet, ThreeComputersMeetPlayAndAFourthIsRefused) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    computer server(space, "Ann"), one(space, "Bob"), two(space, "Cid"), late(space, "Dan");
    ASSERT_TRUE(server.start() && one.start() && two.start() && late.start()) << server.report();
    ASSERT_TRUE(server.key("s"));
    ASSERT_TRUE(server.log_has("network: UDP socket opened at port 2000h (8192)\n")) << server.report();
    ASSERT_TRUE(list_shows(server, 1)) << server.report();
    ASSERT_TRUE(one.key("c"));
    ASSERT_TRUE(server.log_has("network: joining node 1 with 1 player(s)\n")) << server.report();
    ASSERT_TRUE(one.log_has("network: server accepted our join\n")) << one.report();
    ASSERT_TRUE(two.key("c"));
    ASSERT_TRUE(server.log_has("network: joining node 2 with 1 player(s)\n")) << server.report();
    ASSERT_TRUE(list_shows(server, 3)) << server.report();

    // With three players a fourth is refused at once.
    auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(late.key("c"));
    EXPECT_EQ(late.game->wait(20000), 11) << late.report();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(5));
    EXPECT_EQ(late.game->out(), "\n\nERROR: joining to the server had failed\n\n");
    EXPECT_TRUE(server.log_has("network: binding node 4 to ")) << server.report();
    EXPECT_TRUE(list_shows(server, 3));

    EXPECT_TRUE(in_order(server.log(), {": initializing network\n", ": sizeof(pak_header) = 4, sizeof(address_pak) = 12\n",
                                        ": net_packet_interval = 150ms\n", "network: UDP socket opened at port 2000h (8192)\n",
                                        "network: binding node 1 to localhost:8193\n", "network: joining node 1 with 1 player(s)\n",
                                        "network: binding node 2 to localhost:8194\n"}))
        << server.log();
    EXPECT_TRUE(in_order(one.log(), {"network: UDP socket opened at port 2001h (8193)\n", ": conneting to server \"127.0.0.1\"\n",
                                     "network: binding node 1 to localhost:8192\n", "network: server accepted our join\n"}))
        << one.log();
    EXPECT_TRUE(two.log_has("network: UDP socket opened at port 2002h (8194)\n"));

    // Space starts the game on all three, each showing the three players.
    ASSERT_TRUE(server.key("space"));
    for (computer *g : {&server, &one, &two}) {
        ASSERT_TRUE(g->log_has(NET_LOOP_STARTED, 30000)) << g->report();
        EXPECT_TRUE(g->log_has(": video mode change [SDL window] 1280x480 ")) << g->report();
    }
    ASSERT_TRUE(server.log_has("network: turn 50 digest ", 30000)) << server.report();
    // Each client learnt the other's own address from the server.
    EXPECT_TRUE(one.log_has("network: binding node 2 to localhost:8194\n")) << one.report();
    EXPECT_TRUE(two.log_has("network: binding node 2 to localhost:8193\n")) << two.report();
    escape_all({&server, &one, &two});
    EXPECT_TRUE(in_order(server.log(), {"note: network game: ", " turns, waited ", "ERROR: ", ": network shutdown\n"}))
        << server.log();
}

TEST(ProcessNet, AClientWithoutAServerGivesUpAfterTenSeconds) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    computer alone(space, "Eve");
    ASSERT_TRUE(alone.start()) << alone.report();
    auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(alone.key("c"));
    EXPECT_EQ(alone.game->wait(30000), 11) << alone.report();
    auto took = std::chrono::steady_clock::now() - asked;
    EXPECT_GE(took, std::chrono::milliseconds(9900));
    EXPECT_LT(took, std::chrono::seconds(15));
    EXPECT_EQ(alone.game->out(), "\n\nERROR: joining to the server had failed\n\n");
    EXPECT_TRUE(in_order(alone.log(), {"network: unbinding node 1\n", "ERROR: joining to the server had failed\n",
                                       ": network shutdown\n"}))
        << alone.log();
}

// The server waits in its lobby with the client joined.
bool in_lobby(computer &server, computer &client) {
    return server.start() && client.start() && server.key("s") && server.log_has("(8192)\n") && client.key("c") &&
           client.log_has("server accepted our join\n");
}

TEST(ProcessNet, EscapeInTheLobbyOnAClientAndOnTheServer) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    computer server(space, "Ann"), client(space, "Bob");
    ASSERT_TRUE(in_lobby(server, client)) << server.report() << client.report();
    ASSERT_TRUE(list_shows(server, 2)) << server.report();
    // The client asks to leave for ten seconds; the server drops it at once
    // and draws its list again.
    auto pressed = std::chrono::steady_clock::now();
    ASSERT_TRUE(client.key("Escape"));
    ASSERT_TRUE(server.log_has("network: unbinding node 1\n", 5000)) << server.report();
    EXPECT_TRUE(list_shows(server, 1)) << server.report();
    EXPECT_EQ(client.game->wait(20000), 0) << client.report();
    EXPECT_GE(std::chrono::steady_clock::now() - pressed, std::chrono::milliseconds(9900));
    EXPECT_EQ(client.game->out(), "\n\nAborted by user\n\n");
    ASSERT_TRUE(server.key("Escape"));
    EXPECT_EQ(server.game->wait(20000), 0) << server.report();
    EXPECT_EQ(server.game->out(), "\n\nAborted by user\n\n");
}

TEST(ProcessNet, AShutdownSignalFromAnyoneEndsTheLobby) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    computer server(space, "Ann"), client(space, "Bob");
    ASSERT_TRUE(in_lobby(server, client)) << server.report() << client.report();
    udp_peer stranger(space.name, 8200);
    for (computer *g : {&client, &server}) {
        stranger.send_to(g == &client ? 8193 : 8192, {14, 0, 0, 0});
        EXPECT_EQ(g->game->wait(5000), 0) << g->report();
        EXPECT_EQ(g->game->out(), "\n\nShutdown signal recieved from network\n\n");
    }
}

TEST(ProcessNet, ServerMakesGoodLostAcknowledgementsAndDropsMalformedDatagrams) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    computer server(space, "Ann");
    ASSERT_TRUE(server.start() && server.key("s") && server.log_has("(8192)\n")) << server.report();
    udp_peer peer(space.name, 8193), stranger(space.name, 8200);
    ASSERT_GE(peer.fd, 0);
    bytes d;
    uint16_t from;

    // Malformed datagrams are dropped, one line per sender and second.
    for (const bytes &bad : {bytes{3, 0}, bytes{99, 0, 0, 0}, bytes{3, 0, 0, 0, 1, 'x'}})
        stranger.send_to(8192, bad);
    ASSERT_TRUE(server.log_has("network: dropped a datagram of 2 bytes from localhost:8200: shorter than a packet header\n"))
        << server.report();
    sleep_ms(300);
    std::string log = server.log();
    size_t lines = 0;
    for (size_t at = log.find("from localhost:8200"); at != std::string::npos; at = log.find("from localhost:8200", at + 1))
        lines++;
    EXPECT_LE(lines, 2u) << log;  // three within a second or two

    // The first PAK_ACCEPT goes unacknowledged: it comes again.
    peer.send_to(8192, join_request({"Peer"}));
    ASSERT_TRUE(peer.expect(5, &d, &from, 5000));
    EXPECT_EQ(d, (bytes{5, 0, 1, 0, 150, 0, 20, 0, 16, 0, 1, 1}));
    ASSERT_TRUE(peer.expect(5, &d, &from, 1000));
    peer.send_to(8192, ack_of(d));
    ASSERT_TRUE(list_shows(server, 2)) << server.report();

    // Space: the server's address entry, then PAK_PREPARE, whose first
    // acknowledgement is lost; READY and START follow.
    ASSERT_TRUE(server.key("space"));
    ASSERT_TRUE(peer.expect(6, &d, &from, 5000));
    EXPECT_EQ(d, (bytes{6, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 0, 0, 0, 0, 'A', 'n', 'n', 0}));
    peer.send_to(8192, ack_of(d));
    ASSERT_TRUE(peer.expect(7, &d, &from, 5000));
    EXPECT_EQ(d, (bytes{7, 0, 1, 0}));
    auto first = std::chrono::steady_clock::now();
    ASSERT_TRUE(peer.expect(7, &d, &from, 2000));
    EXPECT_GE(std::chrono::steady_clock::now() - first, std::chrono::milliseconds(140));
    peer.send_to(8192, ack_of(d));
    // Once its map is loaded the server asks for READY with sequence number 0.
    do
        ASSERT_TRUE(peer.expect(7, &d, &from, 35000)) << server.report();
    while (d[2] != 0);
    peer.send_to(8192, {8, 0, 0, 0});
    ASSERT_TRUE(peer.expect(9, &d, &from, 5000));
    peer.send_to(8192, ack_of(d));
    ASSERT_TRUE(server.log_has(NET_LOOP_STARTED)) << server.report();
    // In play, its first set comes; a shutdown signal from anyone ends it.
    ASSERT_TRUE(peer.expect(10, &d, &from, 5000));
    EXPECT_EQ(bytes(d.begin(), d.begin() + 4), (bytes{10, 0, 1, 0}));
    stranger.send_to(8192, {14, 0, 0, 0});
    EXPECT_EQ(server.game->wait(20000), 0) << server.report();
    EXPECT_EQ(server.game->out(), "\n\nShutdown signal recieved from network\n\n");
}

TEST(ProcessNet, ClientTakesARepeatedAddressOnceAndSendsToEveryComputer) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    udp_peer fake_server(space.name, 8192), other(space.name, 8199);
    ASSERT_GE(fake_server.fd, 0);
    computer client(space, "Bob");
    ASSERT_TRUE(client.start() && client.key("c")) << client.report();
    bytes d;
    uint16_t port;
    ASSERT_TRUE(fake_server.expect(3, &d, &port, 10000)) << client.report();
    EXPECT_EQ(d, join_request({"Bob"}));
    fake_server.send_to(port, {5, 0, 1, 0, 150, 0, 20, 0, 16, 0, 1, 1});
    ASSERT_TRUE(fake_server.expect(1, &d, nullptr, 5000));
    EXPECT_EQ(d, (bytes{1, 0, 1, 0, 5}));

    // Every entry twice, as when an acknowledgement is lost.
    const bytes entries[] = {
        {6, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 0, 0, 0, 0, 'S', 0},
        {6, 0, 3, 0, 127, 0, 0, 1, 0x20, 0x07, 0, 0, 1, 0, 0, 0, 2, 'O', 0},
    };
    for (const bytes &e : entries)
        for (int i = 0; i < 2; i++) {
            fake_server.send_to(port, e);
            ASSERT_TRUE(fake_server.expect(1, &d, nullptr, 5000));
            EXPECT_EQ(d, (bytes{1, 0, e[2], 0, 6}));
        }
    fake_server.send_to(port, {7, 0, 1, 0});
    ASSERT_TRUE(fake_server.expect(8, &d, nullptr, 20000)) << client.report();
    fake_server.send_to(port, {9, 0, 1, 0});
    ASSERT_TRUE(client.log_has(NET_LOOP_STARTED)) << client.report();
    EXPECT_TRUE(client.log_has(": video mode change [SDL window] 1280x480 "));
    std::string log = client.log();
    size_t bound = log.find("network: binding node 2 to localhost:8199\n");
    EXPECT_NE(bound, std::string::npos) << log;
    EXPECT_EQ(log.find("binding node 2", bound + 20), std::string::npos) << log;
    EXPECT_EQ(log.find("binding node 3"), std::string::npos) << log;
    // Its set of the first turn goes straight to the other client too.
    ASSERT_TRUE(other.expect(10, &d, nullptr, 5000)) << client.report();
    EXPECT_EQ(bytes(d.begin(), d.begin() + 4), (bytes{10, 0, 1, 0}));
    fake_server.send_to(port, {14, 0, 0, 0});
    EXPECT_EQ(client.game->wait(20000), 0) << client.report();
}

}  // namespace
