// A real two-player game with a death and a respawn, recorded, verified
// headless at the logged digest, and watched again to the same pictures.
#include <gtest/gtest.h>

#include <regex>

#include "game_session_util.h"

namespace {

// Blue at the left, Red at the right beside a shotgun and its shells.
std::string arena() {
    std::string t = "640 320 bg_dusk.jpg\nfenda_arena.mod\nstatus_panel.png\n\n";
    for (int x = 0; x < 640; x += 32)
        t += std::to_string(x) + " 0 WALL stone_32.png\n" + std::to_string(x) + " 288 WALL stone_32.png\n";
    for (int y = 32; y < 288; y += 32)
        t += "0 " + std::to_string(y) + " WALL stone_32.png\n608 " + std::to_string(y) + " WALL stone_32.png\n";
    return t +
           "96 32 PLAYER 0 fighter_blue.monster\n416 32 PLAYER 1 fighter_red.monster\n"
           "160 192 PLAYER 2 fighter_green.monster\n480 192 PLAYER 3 fighter_yellow.monster\n"
           "448 32 ITEM SHOTGUN\n480 32 ITEM SHELL_BOX\n64 32 DM_START \n544 32 DM_START \n320 32 DM_START \n \n";
}

// The frame of the last "paused at" line once it is `frame` (-1: any).
int paused_at(game_session &g, int frame = -1) {
    int found = -1;
    wait_until(
        [&] {
            static const std::regex line("note: paused at logical frame (\\d+)\n");
            std::string log = g.log();
            found = -1;
            for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it)
                found = std::stoi((*it)[1]);
            return found >= 0 && (frame < 0 || found == frame);
        },
        20000, 50);
    return found;
}

// Print Screen, and the picture it wrote.
bool screenshot(game_session &g, x_image *out) {
    std::string file = g.dir.file("fenda_screenshot_0.bmp");
    remove(file.c_str());
    sleep_ms(400);  // every view and panel drawn at the paused frame
    return g.key("Print") && wait_until([&] { return read_bmp(read_file(file), out); }, 10000);
}

TEST(ProcessReplay, AGameIsRecordedVerifiedAndWatchedAgain) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    game_session g;
    write_file(g.dir.file("testmap.fenda"), arena());
    write_file(g.dir.file("fenda2.replay"), "an older replay");
    ASSERT_TRUE(g.start() && g.choose("2", 2)) << g.report();

    // Red walks right onto the shotgun, turns left and fires.
    ASSERT_TRUE(g.xdo({"keydown", "Right"}));
    sleep_ms(700);
    ASSERT_TRUE(g.xdo({"keyup", "Right"}) && g.key("Left") && g.key("KP_0"));
    sleep_ms(500);
    ASSERT_TRUE(g.key("Control_R"));
    sleep_ms(300);
    ASSERT_TRUE(g.key("p"));
    int frame = paused_at(g);
    ASSERT_GT(frame, 0) << g.report();
    x_image live;
    ASSERT_TRUE(screenshot(g, &live)) << g.report();
    ASSERT_TRUE(g.key("p"));
    // Shots until Blue has died (about twenty hit him); then he jumps back
    // into the game and walks.
    for (int shot = 0; shot < 60; shot++) {
        g.key("Control_R");
        sleep_ms(250);
    }
    for (int jump = 0; jump < 5; jump++) {
        g.key("KP_0");
        sleep_ms(200);
    }
    ASSERT_TRUE(g.hold_until_changed({"KP_6"}, 0, 16, 480, 240)) << g.report();
    ASSERT_TRUE(g.key("Escape"));
    ASSERT_EQ(g.game->wait(30000), 0) << g.report();

    std::smatch m;
    std::string log = g.log();
    ASSERT_TRUE(std::regex_search(log, m, std::regex("note: world digest ([0-9a-f]{16}) at logical frame (\\d+)\n")))
        << log;
    std::string digest = m[1], end = m[2];
    run_result sim = run_program({FENDA_SIM_BIN, "--replay", "fenda2.replay"}, g.dir.path, {}, 120000);
    EXPECT_EQ(sim.status, 0) << sim.out << sim.err;
    EXPECT_NE(sim.out.find("frame " + end + " " + digest + "\n"), std::string::npos) << sim.out;
    EXPECT_NE(sim.out.find("replay verified at frame " + end + "\n"), std::string::npos) << sim.out;
    // Blue died (Red has a frag) and is back in the game.
    EXPECT_TRUE(std::regex_search(sim.out, std::regex("player 0 state 1 health \\d+ frags 0 ")) &&
                std::regex_search(sim.out, std::regex("player 1 state 1 health \\d+ frags [1-9]")))
        << sim.out;

    // Watched again: paused early, stepped to the frame of the live
    // picture, the same picture but for the FPS lines.
    ASSERT_TRUE(g.start() && g.key("r")) << g.report();
    ASSERT_TRUE(g.log_has(LOCAL_LOOP_STARTED)) << g.report();
    ASSERT_TRUE(g.key("p"));
    int early = paused_at(g);
    ASSERT_GE(early, 0) << g.report();
    ASSERT_LT(early, frame) << "the replay ran past the frame before it was paused";
    ASSERT_TRUE(g.xdo({"key", "--delay", "15", "--repeat", std::to_string(frame - early), "period"}));
    ASSERT_EQ(paused_at(g, frame), frame) << g.report();
    x_image watched;
    ASSERT_TRUE(screenshot(g, &watched)) << g.report();
    ASSERT_EQ(watched.width, live.width);
    long differing = watched.differences(live, 0, 0, 640, 480) - watched.differences(live, 0, 0, 160, 16) -
                     watched.differences(live, 0, 240, 160, 256);
    EXPECT_EQ(differing, 0) << "the picture differs outside the FPS lines";

    // Four times as fast to the end, where it says it came out right.
    ASSERT_TRUE(g.key("p") && g.xdo({"keydown", "f"}));
    bool verified = g.log_has("note: replay verified at frame " + end + "\n", 60000);
    g.xdo({"keyup", "f"});
    EXPECT_TRUE(verified) << g.report();
    ASSERT_TRUE(g.key("Escape"));
    EXPECT_EQ(g.game->wait(30000), 0) << g.report();
}

}  // namespace
