// Three real games playing one network game with keys pressed on all
// three: on loopback, under packet loss, on a bridged LAN of namespaces;
// their digests must stay equal, and computers whose maps differ must say
// so at once. FENDA_NET_SECONDS sets how long they play (default 60),
// FENDA_NET_LOSS the loss in percent of the loss test (default 10);
// tools/net/soak.sh runs the loss test for longer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <regex>
#include <thread>

#include "game_session_util.h"
#include "netns_util.h"

namespace {

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

struct three_games {
    std::unique_ptr<game_session> g[3];
    explicit three_games(const std::vector<std::string> prefixes[3], const std::string &server_address = "127.0.0.1") {
        const char *names[3] = {"Ann", "Bob", "Cid"};
        for (int i = 0; i < 3; i++) {
            g[i].reset(new game_session(1280));
            g[i]->prefix = prefixes[i];
            g[i]->configure("player1", names[i]);
            g[i]->configure("server", server_address);
        }
    }
    std::string report() { return g[0]->report() + "\n---\n" + g[1]->report() + "\n---\n" + g[2]->report(); }
    // Server, then the two clients, then Space: all three in the game loop.
    bool start() {
        for (auto &x : g)
            if (!x->start()) return false;
        if (!g[0]->key("s") || !g[0]->log_has("(8192)\n")) return false;
        for (int i = 1; i < 3; i++)
            if (!g[i]->key("c") || !g[i]->log_has("network: server accepted our join\n")) return false;
        if (!g[0]->key("space")) return false;
        for (auto &x : g)
            if (!x->log_has(NET_LOOP_STARTED, 60000)) return false;
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
    // Escape on all three at once; each ends normally or, when its turn
    // ended after another had left, by the time-out.
    void leave() {
        std::vector<std::thread> keys;
        for (auto &x : g) keys.emplace_back([&x] { x->key("Escape"); });
        for (std::thread &t : keys) t.join();
        for (auto &x : g) {
            int status = x->game->wait(30000);
            EXPECT_TRUE(status == 0 || (status == 6 && x->game->out() == "\n\nERROR: network players timeout\n\n"))
                << x->report();
        }
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
    std::string logs[3];
    for (int wait = 0; wait < 50; wait++) {
        for (int i = 0; i < 3; i++) logs[i] = games.g[i]->log();
        auto a = digests(logs[0]), b = digests(logs[1]), c = digests(logs[2]);
        if (!a.empty() && a.rbegin()->first == b.rbegin()->first && b.rbegin()->first == c.rbegin()->first) break;
        sleep_ms(200);
    }
    games.leave();
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
    std::vector<std::string> prefixes[3] = {space.prefix(), space.prefix(), space.prefix()};
    three_games games(prefixes);
    ASSERT_TRUE(games.start()) << games.report();
    play_and_compare(games, "loopback");
}

TEST(ProcessNetPlay, ThreeGamesStayEqualUnderPacketLoss) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    if (!namespaces_available(true)) GTEST_SKIP() << "needs root, ip and nft for a namespace that loses datagrams";
    int loss = setting("FENDA_NET_LOSS", 10);
    net_space space;
    ASSERT_FALSE(space.name.empty());
    std::vector<std::string> prefixes[3] = {space.prefix(), space.prefix(), space.prefix()};
    three_games games(prefixes);
    // The loss starts with the game: a join request is sent only once.
    ASSERT_TRUE(games.start()) << games.report();
    ASSERT_TRUE(space.lose(loss));
    play_and_compare(games, ("loss of " + std::to_string(loss) + " %").c_str());
    for (auto &g : games.g) EXPECT_EQ(g->log().find("network players timeout"), std::string::npos) << g->report();
}

TEST(ProcessNetPlay, ThreeGamesOnABridgedLan) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    if (!namespaces_available()) GTEST_SKIP() << "needs root and ip for namespaces";
    bridged_lan lan;
    ASSERT_TRUE(lan.ready);
    std::vector<std::string> prefixes[3] = {lan.prefix(0), lan.prefix(1), lan.prefix(2)};
    three_games games(prefixes, bridged_lan::address(0));
    ASSERT_TRUE(games.start()) << games.report();
    // Each client sends to the other at the address the server handed out.
    EXPECT_TRUE(games.g[1]->log_has("network: binding node 2 to 10.77.0.3:8193\n")) << games.report();
    EXPECT_TRUE(games.g[2]->log_has("network: binding node 2 to 10.77.0.2:8193\n")) << games.report();
    EXPECT_TRUE(games.g[0]->log_has("network: binding node 1 to 10.77.0.2:8193\n")) << games.report();
    play_and_compare(games, "bridged LAN");
}

TEST(ProcessNetPlay, ComputersWhoseMapsDifferSaySoAtOnce) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    net_space space;
    std::vector<std::string> prefixes[3] = {space.prefix(), space.prefix(), space.prefix()};
    three_games games(prefixes);
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
