// Network games of real fenda2 processes, each in its own X server and copy
// of the data set, in network namespaces of the test's own (or on the host's
// loopback): the lobby; a peer of the test's own for what real games cannot
// be made to do; three games in lock-step on loopback, under packet loss, on
// a bridged LAN, and with differing maps. FENDA_NET_SECONDS sets how long
// they play (default 60), FENDA_NET_LOSS the loss in percent (default 10);
// tools/net/soak.sh keeps each computer's log and replay in FENDA_NET_KEEP.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <random>
#include <regex>
#include <thread>

#include "game_session_util.h"
#include "netns_util.h"

namespace {

const xpixel LOBBY_TEXT = {192, 16, 16};  // the colour the menu's notes leave set

// One computer of the game: its player named `name`, its server at `server`.
struct computer : game_session {
    computer(const std::vector<std::string> &where, const std::string &name, const std::string &server = "127.0.0.1")
        : game_session(1280) {
        prefix = where;
        configure("player1", name);
        configure("server", server);
    }
};

// The server opens its lobby and each client joins it.
bool meet(computer &server, const std::vector<computer *> &clients) {
    if (!server.start() || !server.key("s") || !server.log_has("(8192)\n")) return false;
    for (computer *c : clients)
        if (!c->start() || !c->key("c") || !c->log_has("network: server accepted our join\n")) return false;
    return true;
}

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
void escape_all(const std::vector<computer *> &games) {
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

TEST(ProcessNet, ThreeComputersMeetAFourthIsRefusedAndTheLobbyEnds) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    computer server(space.prefix(), "Ann"), one(space.prefix(), "Bob"), two(space.prefix(), "Cid"), late(space.prefix(), "Dan");
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

    EXPECT_TRUE(in_order(server.log(), {": initializing network\n", ": sizeof(pak_header) = 4, sizeof(address_pak) = 12\n",
                                        ": net_packet_interval = 150ms\n", "network: UDP socket opened at port 2000h (8192)\n",
                                        "network: binding node 1 to localhost:8193\n", "network: joining node 1 with 1 player(s)\n",
                                        "network: binding node 2 to localhost:8194\n"}))
        << server.log();
    EXPECT_TRUE(in_order(one.log(), {"network: UDP socket opened at port 2001h (8193)\n", ": conneting to server \"127.0.0.1\"\n",
                                     "network: binding node 1 to localhost:8192\n", "network: server accepted our join\n"}))
        << one.log();
    EXPECT_TRUE(two.log_has("network: UDP socket opened at port 2002h (8194)\n")) << two.report();

    // Escape on a client: it asks to leave for ten seconds; the server drops
    // it at once and draws its list again.
    auto pressed = std::chrono::steady_clock::now();
    ASSERT_TRUE(two.key("Escape"));
    ASSERT_TRUE(server.log_has("network: unbinding node 2\n", 5000)) << server.report();
    EXPECT_TRUE(list_shows(server, 2)) << server.report();
    EXPECT_EQ(two.game->wait(20000), 0) << two.report();
    EXPECT_GE(std::chrono::steady_clock::now() - pressed, std::chrono::milliseconds(9900));
    EXPECT_EQ(two.game->out(), "\n\nAborted by user\n\n");

    // A shutdown signal from a stranger ends a client in the lobby (the
    // server in play: the peer's test below); Escape ends the server.
    udp_peer stranger(space.name, 8200);
    stranger.send_to(8193, {14, 0, 0, 0});
    EXPECT_EQ(one.game->wait(5000), 0) << one.report();
    EXPECT_EQ(one.game->out(), "\n\nShutdown signal recieved from network\n\n");
    ASSERT_TRUE(server.key("Escape"));
    EXPECT_EQ(server.game->wait(20000), 0) << server.report();
    EXPECT_EQ(server.game->out(), "\n\nAborted by user\n\n");
}

TEST(ProcessNet, AClientWithoutAServerGivesUpAfterTenSeconds) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    computer alone(space.prefix(), "Eve");
    ASSERT_TRUE(alone.start()) << alone.report();
    auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(alone.key("c"));
    EXPECT_EQ(alone.game->wait(30000), 11) << alone.report();
    auto took = std::chrono::steady_clock::now() - asked;
    EXPECT_GE(took, std::chrono::milliseconds(9900));
    EXPECT_LT(took, std::chrono::seconds(15));
    EXPECT_EQ(alone.game->out(), "\n\nERROR: joining to the server had failed\n\n");
}

TEST(ProcessNet, ServerMakesGoodLostAcknowledgementsAndDropsMalformedDatagrams) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    computer server(space.prefix(), "Ann");
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
    // In play, a shutdown signal from anyone ends it.
    stranger.send_to(8192, {14, 0, 0, 0});
    EXPECT_EQ(server.game->wait(20000), 0) << server.report();
    EXPECT_EQ(server.game->out(), "\n\nShutdown signal recieved from network\n\n");
}

TEST(ProcessNet, ClientTakesARepeatedAddressOnceAndSendsToEveryComputer) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    udp_peer fake_server(space.name, 8192), other(space.name, 8199);
    ASSERT_GE(fake_server.fd, 0);
    computer client(space.prefix(), "Bob");
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

int setting(const char *name, int fallback) {
    const char *v = getenv(name);
    return v && atoi(v) > 0 ? atoi(v) : fallback;
}

// The keys of the first three views, in control order.
const char *const KEYS[3][8] = {
    {"KP_4", "KP_6", "KP_8", "KP_2", "KP_0", "KP_5", "KP_7", "KP_9"},
    {"Left", "Right", "Up", "Down", "Shift_R", "Control_R", "comma", "period"},
    {"a", "d", "w", "s", "v", "c", "q", "e"},
};

// Ann's computer is the server, Bob's and Cid's are its clients.
struct three_games {
    computer ann, bob, cid;
    computer *g[3] = {&ann, &bob, &cid};
    typedef std::vector<std::string> where;
    three_games(const where &a, const where &b, const where &c, const std::string &server = "127.0.0.1")
        : ann(a, "Ann", server), bob(b, "Bob", server), cid(c, "Cid", server) {}
    std::string report() { return ann.report() + "\n---\n" + bob.report() + "\n---\n" + cid.report(); }
    // The two clients join, then Space: all three in the game loop.
    bool start() {
        if (!meet(ann, {&bob, &cid}) || !ann.key("space")) return false;
        for (computer *x : g)
            if (!x->log_has(NET_LOOP_STARTED, 60000) || !x->log_has(": video mode change [SDL window] 1280x480 "))
                return false;
        return true;
    }
    // Keys held down and let go at random on all three for `seconds`.
    void play(int seconds, unsigned seed) {
        std::mt19937 random(seed);
        bool held[3][8] = {};
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < end) {
            int who = (int)(random() % 3), control = (int)(random() % 8);
            // Walking and looking are held for a while, the rest tapped.
            if (control < 4) {
                g[who]->xdo({held[who][control] ? "keyup" : "keydown", KEYS[who][control]});
                held[who][control] = !held[who][control];
            } else {
                g[who]->key(KEYS[who][control]);
            }
            sleep_ms(50 + (int)(random() % 250));
        }
        for (int who = 0; who < 3; who++)
            for (int control = 0; control < 4; control++)
                if (held[who][control]) g[who]->xdo({"keyup", KEYS[who][control]});
    }
};

// "turn N digest D" lines of a log.
std::map<int, std::string> digests(const std::string &log) {
    std::map<int, std::string> out;
    static const std::regex line("network: turn (\\d+) digest ([0-9a-f]{16})\n");
    for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it)
        out[std::stoi((*it)[1])] = (*it)[2];
    return out;
}

// FENDA_NET_KEEP names a directory that receives each computer's log and
// replay, to look into a game after the test.
void keep_files(three_games &games) {
    const char *keep = getenv("FENDA_NET_KEEP");
    if (!keep) return;
    for (int i = 0; i < 3; i++)
        for (const char *name : {"fenda2.log", "fenda2.replay"})
            write_file(std::string(keep) + "/computer" + std::to_string(i) + "." + (name + 7),
                       read_file(games.g[i]->dir.file(name)));
}

// Every computer recorded the same game: its replays differ only in the
// byte that names the computer that wrote it and in where each stopped,
// and each replays to the digest it recorded.
void check_replays(three_games &games) {
    std::string replays[3];
    for (int i = 0; i < 3; i++) {
        replays[i] = read_file(games.g[i]->dir.file("fenda2.replay"));
        ASSERT_GT(replays[i].size(), 31u + 13u) << "computer " << i;
        run_result r = run_program({FENDA_SIM_BIN, "--replay", games.g[i]->dir.file("fenda2.replay")}, games.g[i]->dir.path,
                                   {}, 300000);
        EXPECT_EQ(r.status, 0) << "computer " << i << ": " << r.out.substr(r.out.size() > 300 ? r.out.size() - 300 : 0) << r.err;
        EXPECT_NE(r.out.find("replay verified at frame "), std::string::npos);
    }
    EXPECT_EQ(replays[0][30], 0);  // written by the server, whose player has slot 0
    EXPECT_EQ(replays[1][30], 1);
    for (int i = 1; i < 3; i++) {
        EXPECT_EQ(replays[i].substr(0, 30), replays[0].substr(0, 30)) << "computer " << i;
        // The events up to where the shorter one stops are the same bytes.
        size_t common = std::min(replays[i].size(), replays[0].size()) - 13;
        EXPECT_EQ(replays[i].substr(31, common - 31), replays[0].substr(31, common - 31)) << "computer " << i;
    }
}

// Plays, checks that the player moved by one computer moves on every
// screen and that every computer's digests are equal; prints a summary.
void play_and_compare(three_games &games, const char *what) {
    int seconds = setting("FENDA_NET_SECONDS", 60);
    // Bob (slot 1, red, the lower left view) walks right on his computer.
    x_image before[3];
    for (int i = 0; i < 3; i++) before[i] = games.g[i]->shot();
    const int x0 = 0, y0 = 240 + 110, x1 = 480, y1 = 240 + 180;
    ASSERT_TRUE(games.g[1]->hold_until_moved({"Right"}, red, x0, y0, x1, y1, 30)) << games.report();
    for (int i : {0, 2}) {
        double start = centre(before[i], red, x0, y0, x1, y1);
        EXPECT_TRUE(games.g[i]->shows([&](const x_image &img) { return centre(img, red, x0, y0, x1, y1) - start >= 30; },
                                      10000))
            << "computer " << i << " did not show the walk";
    }
    games.play(seconds, 2026);
    // The digest of the last turn that every log reached was written by all.
    wait_until(
        [&] {
            auto a = digests(games.ann.log()), b = digests(games.bob.log()), c = digests(games.cid.log());
            return !a.empty() && !b.empty() && !c.empty() &&
                   a.rbegin()->first == b.rbegin()->first && b.rbegin()->first == c.rbegin()->first;
        },
        10000, 200);
    // No computer timed out in play (at the end, Escape on all three may
    // leave one waiting for a turn that the others never send).
    for (computer *g : games.g) EXPECT_EQ(g->log().find("network players timeout"), std::string::npos) << g->report();
    escape_all({games.g, games.g + 3});
    keep_files(games);
    check_replays(games);
    std::map<int, std::string> d[3];
    for (int i = 0; i < 3; i++) d[i] = digests(games.g[i]->log());
    // A digest line every 50 turns of 200 ms, less the time waited.
    size_t expected = (size_t)(seconds * 100 / 20 / 50 * 8 / 10);
    EXPECT_GE(d[0].size(), expected) << games.report();
    size_t compared = 0;
    for (const auto &[turn, digest] : d[0])
        if (d[1].count(turn) && d[2].count(turn)) {
            EXPECT_EQ(d[1][turn], digest) << "turn " << turn;
            EXPECT_EQ(d[2][turn], digest) << "turn " << turn;
            compared++;
        }
    EXPECT_GE(compared + 1, d[0].size());
    std::printf("%s: %d s of play, %zu digests equal on three computers\n", what, seconds, compared);
    static const std::regex stats("note: (network game: .*)\n");
    for (int i = 0; i < 3; i++) {
        std::smatch m;
        std::string log = games.g[i]->log();
        if (std::regex_search(log, m, stats)) std::printf("  computer %d: %s\n", i, m[1].str().c_str());
    }
}

TEST(ProcessNetPlay, ThreeGamesStayEqual) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    three_games games(space.prefix(), space.prefix(), space.prefix());
    ASSERT_TRUE(games.start()) << games.report();
    play_and_compare(games, "loopback");
    EXPECT_TRUE(in_order(games.ann.log(), {"note: network game: ", " turns, waited ", "ERROR: ", ": network shutdown\n"}))
        << games.ann.log();
}

TEST(ProcessNetPlay, ThreeGamesStayEqualUnderPacketLoss) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    if (!namespaces_available(true)) GTEST_SKIP() << "needs root, ip and nft for a namespace that loses datagrams";
    int loss = setting("FENDA_NET_LOSS", 10);
    net_space space;
    ASSERT_FALSE(space.name.empty());
    three_games games(space.prefix(), space.prefix(), space.prefix());
    // The loss starts with the game: a join request is sent only once.
    ASSERT_TRUE(games.start()) << games.report();
    ASSERT_TRUE(space.lose(loss));
    play_and_compare(games, ("loss of " + std::to_string(loss) + " %").c_str());
}

TEST(ProcessNetPlay, ThreeGamesOnABridgedLan) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    if (!namespaces_available()) GTEST_SKIP() << "needs root and ip for namespaces";
    bridged_lan lan;
    ASSERT_TRUE(lan.ready);
    three_games games(lan.prefix(0), lan.prefix(1), lan.prefix(2), bridged_lan::address(0));
    ASSERT_TRUE(games.start()) << games.report();
    // Each client sends to the other at the address the server handed out.
    EXPECT_TRUE(games.g[1]->log_has("network: binding node 2 to 10.77.0.3:8193\n")) << games.report();
    EXPECT_TRUE(games.g[2]->log_has("network: binding node 2 to 10.77.0.2:8193\n")) << games.report();
    play_and_compare(games, "bridged LAN");
}

TEST(ProcessNetPlay, ComputersWhoseMapsDifferSaySoAtOnce) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    three_games games(space.prefix(), space.prefix(), space.prefix());
    // One decoration of the last computer's map is one step to the right.
    std::string map = read_file(games.g[2]->dir.file("testmap.fenda"));
    size_t at = map.find("\n32 112 DECORATION torch.png\n");
    ASSERT_NE(at, std::string::npos);
    map.replace(at, 4, "\n48 ");
    write_file(games.g[2]->dir.file("testmap.fenda"), map);
    ASSERT_TRUE(games.start()) << games.report();
    static const std::regex out("\n\nERROR: network game out of sync at turn (\\d+)\n\n");
    for (auto &g : games.g) {
        EXPECT_EQ(g->game->wait(30000), 6) << g->report();
        std::smatch m;
        std::string text = g->game->out();
        ASSERT_TRUE(std::regex_match(text, m, out)) << g->report();
        EXPECT_LE(std::stoi(m[1]), 3);
        EXPECT_TRUE(g->log_has("network: turn " + m[1].str() + ": digest ")) << g->report();
    }
}

}  // namespace
