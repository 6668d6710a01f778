// The real game in a real window under Xvfb, driven with xdotool in a copy
// of the data set: the menu's choices, one player moving, a
// screenshot, the wide display of four players with the full-screen
// switch, the statistics at the end. (Two players, one above the other, and
// pause: process_replay_test.cpp and process_net_test.cpp; Escape in
// the menu: process_start_test.cpp.)
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "game_session_util.h"

namespace {

TEST(ProcessGame, OnePlayerMovesTakesAScreenshotAndLeavesWithEscape) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    game_session s;
    ASSERT_TRUE(s.start()) << "no menu: " << s.report();
    ASSERT_TRUE(s.choose("1", 1)) << s.report();
    // One view and its panel in the top half (the bottom half stays black:
    // the screenshot below).
    ASSERT_TRUE(s.shows([](const x_image &img) { return lit(img, 480, 0, 640, 240) > 30000; })) << "no panel";

    // The keypad walks the player.
    ASSERT_TRUE(s.hold_until_moved({"KP_6"}, blue, 0, 110, 480, 180, 40)) << s.report();

    // Print Screen writes what is on the display.
    ASSERT_TRUE(s.key("Print"));
    ASSERT_TRUE(wait_until([&] { return file_exists(s.dir.file("fenda_screenshot_0.bmp")); }, 10000)) << s.report();
    x_image saved;
    ASSERT_TRUE(wait_until([&] { return read_bmp(read_file(s.dir.file("fenda_screenshot_0.bmp")), &saved); }, 5000));
    EXPECT_GT(lit(saved, 0, 0, 640, 240), 80000);  // the view and its panel
    EXPECT_EQ(lit(saved, 0, 240, 640, 480), 0);

    sleep_ms(1500);  // a few seconds of play for the statistics
    ASSERT_TRUE(s.key("Escape"));
    ASSERT_EQ(s.game->wait(30000), 0) << s.report();
    EXPECT_EQ(s.game->out(), "\n\nNormal shutdown\n\n");
    std::string log = s.log();
    EXPECT_TRUE(in_order(log, {LOCAL_LOOP_STARTED, ": saving screenshot: \"fenda_screenshot_0.bmp\"\n", " logical frames in ",
                               "note: world digest ", "ERROR: Normal shutdown\n"}))
        << log;
    // The logical rate of the statistics (their lines: game_loop_test.cpp).
    std::smatch m;
    ASSERT_TRUE(std::regex_search(log, m, std::regex("note: \\d+ logical frames in \\d+ seconds \\((\\d+\\.\\d\\d)fps\\)\n"))) << log;
    EXPECT_NEAR(std::stod(m[1]), 100.0, 5.0) << log;
}

TEST(ProcessGame, FourPlayersOnAWideDisplayThatTheFullScreenSwitchKeeps) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    game_session s(1280);
    ASSERT_TRUE(s.start()) << "no menu: " << s.report();
    ASSERT_TRUE(s.choose("4", 4)) << s.report();
    EXPECT_TRUE(s.log_has(": video mode change [SDL window] 1280x480 "));
    // Players 3 and 4 are shown at the right, and walk with their keys.
    ASSERT_TRUE(s.hold_until_moved({"d"}, green, 640, 95, 1120, 144, 20)) << s.report();
    ASSERT_TRUE(s.key("alt+Return"));
    EXPECT_TRUE(s.log_has(": video mode change [SDL fullscreen] 1280x480 "));
    // Every panel is drawn again on the new display.
    ASSERT_TRUE(s.shows([](const x_image &img) {
        for (int v = 0; v < 4; v++)
            if (lit(img, 640 * (v / 2) + 480, 240 * (v % 2), 640 * (v / 2) + 640, 240 * (v % 2) + 240) < 30000) return false;
        return true;
    })) << s.report();
    ASSERT_TRUE(s.key("alt+Return"));
    EXPECT_TRUE(wait_until([&] { return in_order(s.log(), {"change [SDL fullscreen] 1280x480", "change [SDL window] 1280x480"}); },
                           20000))
        << s.log();
    ASSERT_TRUE(s.key("Escape"));
    ASSERT_EQ(s.game->wait(30000), 0) << s.report();
    EXPECT_EQ(s.game->out(), "\n\nNormal shutdown\n\n");
}

}  // namespace
