// The real game in a real window under Xvfb, driven with xdotool in a copy
// of the data set: the menu's choices and Escape, one and two players
// moving, pause, a screenshot, the wide display of four players with the
// full-screen switch, the statistics at the end and closing the window.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "test_util.h"
#include "xvfb_util.h"

namespace {

const xpixel VERSION_COLOUR = {153, 207, 232}, BLACK = {0, 0, 0};
const char *const LOOP_STARTED = ": net_packet_interval = 150, net_control_interval = 1, net_control_send_time = 1\n";

// Reads a bottom-up BMP of 24 bits a pixel, as the game's screenshots are.
bool read_bmp(const std::string &data, x_image *out) {
    auto u32 = [&](size_t at) {
        return (uint32_t)(uint8_t)data[at] | (uint32_t)(uint8_t)data[at + 1] << 8 |
               (uint32_t)(uint8_t)data[at + 2] << 16 | (uint32_t)(uint8_t)data[at + 3] << 24;
    };
    if (data.size() < 54 || data.compare(0, 2, "BM") != 0) return false;
    uint32_t offset = u32(10), w = u32(18), h = u32(22), bits = u32(28) & 0xFFFF;
    size_t row = ((size_t)w * 3 + 3) / 4 * 4;
    if (bits != 24 || w == 0 || h == 0 || w > 4096 || h > 4096 || data.size() < offset + row * h) return false;
    out->width = (int)w;
    out->height = (int)h;
    out->pixels.resize((size_t)w * h);
    for (uint32_t y = 0; y < h; y++)
        for (uint32_t x = 0; x < w; x++) {
            const char *p = data.data() + offset + (h - 1 - y) * row + x * 3;
            out->pixels[(size_t)y * w + x] = {(uint8_t)p[2], (uint8_t)p[1], (uint8_t)p[0]};
        }
    return true;
}

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The mean column of the fighters' colours in a band of rows: the blue of
// player 1's and the red of player 2's armour.
bool blue(xpixel p) { return p.b > 150 && p.r < 90 && p.b > p.g + 50; }
bool red(xpixel p) { return p.r > 150 && p.g < 90 && p.b < 90; }
double centre(const x_image &img, bool (*colour)(xpixel), int x0, int y0, int x1, int y1) {
    double sum = 0;
    long n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            if (colour(img.at(x, y))) sum += x, n++;
    return n ? sum / n : -1;
}

// Pixels of the rectangle that are not black.
long lit(const x_image &img, int x0, int y0, int x1, int y1) {
    long n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) n += img.at(x, y) != BLACK;
    return n;
}

// One run of the game in its own X server, and the steps a player takes.
struct game_session {
    xvfb_server server;
    temp_dir dir;
    std::unique_ptr<background_program> game;
    unsigned long window = 0;
    int width;

    std::string audio;
    explicit game_session(int screen_width = 640, const std::string &audio_driver = "dummy")
        : server(screen_width, 480, 24), width(screen_width), audio(audio_driver) {}

    bool start() {
        if (server.display.empty()) return false;
        copy_data_set(dir.path, {".log", ".bmp"});
        game.reset(new background_program({FENDA_GAME_BIN}, dir.path,
                                          {server.env(), "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=" + audio}));
        window = x_wait_for_window(server, "^Trelm2D: Fenda$");
        // Keys go to the window under the pointer.
        return window != 0 && xdo({"mousemove", "--window", std::to_string(window), "20", "20"}) && menu_shown();
    }
    std::string log() { return read_file(dir.file("fenda2.log")); }
    std::string report() {
        if (!game) return "Xvfb did not start";
        return "game " + std::string(game->running() ? "running" : "ended with " + std::to_string(game->status)) +
               "; output: " + game->out() + game->err() + "; log: " + log();
    }
    // The X screen is as large as the window and shows it at its top-left
    // corner, in a window or in full screen.
    x_image shot() {
        x_image img;
        if (!x_screenshot(server, &img) || img.width != width || img.height != 480) img = x_image();
        return img;
    }
    bool xdo(std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        return x_client(server, args).status == 0;
    }
    bool key(const std::string &name) { return xdo({"key", name}); }
    bool shows(const std::function<bool(const x_image &)> &test, int timeout_ms = 20000) {
        return wait_until(
            [&] {
                x_image img = shot();
                return img.width && test(img);
            },
            timeout_ms, 150);
    }
    bool log_has(const std::string &text, int timeout_ms = 20000) {
        return wait_until([&] { return log().find(text) != std::string::npos; }, timeout_ms, 100);
    }
    // The menu picture at (75, 70) with the version line in its colour.
    bool menu_shown() {
        return shows([](const x_image &img) {
            for (int y = 160; y < 173; y++)
                for (int x = 270; x < 354; x++)
                    if (img.at(x, y) == VERSION_COLOUR) return true;
            return false;
        });
    }
    // Chooses with a digit key and waits until the game loop runs and the
    // first views are on the display.
    bool choose(const std::string &digit, int views) {
        if (!key(digit) || !log_has(LOOP_STARTED)) return false;
        return shows([&](const x_image &img) {
            for (int v = 0; v < views; v++)
                if (lit(img, 640 * (v / 2), 240 * (v % 2), 640 * (v / 2) + 480, 240 * (v % 2) + 240) < 50000) return false;
            return true;
        });
    }
    // Holds the keys until a shot passes `done`, then lets them go.
    bool hold_until(const std::vector<std::string> &keys, const std::function<bool(const x_image &)> &done) {
        std::vector<std::string> down = {"keydown"}, up = {"keyup"};
        down.insert(down.end(), keys.begin(), keys.end());
        up.insert(up.end(), keys.rbegin(), keys.rend());
        bool ok = xdo(down) && shows(done);
        return xdo(up) && ok;
    }
    // ... until the fighter's colour has moved `shift` pixels across the
    // band of rows (negative: to the left).
    bool hold_until_moved(const std::vector<std::string> &keys, bool (*colour)(xpixel), int x0, int y0, int x1, int y1,
                          double shift) {
        x_image before = shot();
        double start = before.width ? centre(before, colour, x0, y0, x1, y1) : -1;
        return start >= 0 && hold_until(keys, [&](const x_image &img) {
                   double now = centre(img, colour, x0, y0, x1, y1);
                   return now >= 0 && (shift > 0 ? now - start >= shift : start - now >= -shift);
               });
    }
    // ... until the rectangle has changed.
    bool hold_until_changed(const std::vector<std::string> &keys, int x0, int y0, int x1, int y1) {
        x_image before = shot();
        return before.width &&
               hold_until(keys, [&](const x_image &img) { return img.differences(before, x0, y0, x1, y1) > 300; });
    }
    // The display stands still for a while, apart from the FPS lines.
    bool frozen(int views) {
        x_image a = shot();
        if (!a.width) return false;
        sleep_ms(700);
        x_image b = shot();
        if (!b.width) return false;
        for (int v = 0; v < views; v++) {
            int x = 640 * (v / 2), y = 240 * (v % 2);
            if (a.differences(b, x, y + 16, x + 640, y + 240) || a.differences(b, x + 80, y, x + 640, y + 16)) return false;
        }
        return true;
    }
};

// The four statistics lines, and the logical rate they report.
double logical_rate(const std::string &log) {
    std::smatch m;
    static const std::regex stats(
        "note: blit - total \\d+ms \\(~\\d+\\.\\d\\dms\\)\n"
        "note: sys_draw_bitmap - total \\d+ms \\(~\\d+\\.\\d\\dms\\)\n"
        "note: (\\d+) logical frames in \\d+ seconds \\((\\d+\\.\\d\\d)fps\\)\n"
        "note: \\d+ screen frames in \\d+ seconds \\(\\d+\\.\\d\\dfps ~\\d+\\.\\d\\dms \\[one ~\\d+\\.\\d\\dms\\]\\)\n"
        "ERROR: Normal shutdown\n");
    if (!std::regex_search(log, m, stats)) return -1;
    return std::stod(m[2]);
}

TEST(ProcessGame, OnePlayerMovesTakesAScreenshotAndLeavesWithEscape) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    game_session s;
    ASSERT_TRUE(s.start()) << "no menu: " << s.report();
    ASSERT_TRUE(s.choose("1", 1)) << s.report();
    // One view and its panel in the top half; the bottom half stays black.
    ASSERT_TRUE(s.shows([](const x_image &img) { return lit(img, 480, 0, 640, 240) > 30000; })) << "no panel";
    EXPECT_EQ(lit(s.shot(), 0, 240, 640, 480), 0);

    // The keypad walks the player right and back left.
    ASSERT_TRUE(s.hold_until_moved({"KP_6"}, blue, 0, 110, 480, 180, 40)) << s.report();
    ASSERT_TRUE(s.hold_until_moved({"KP_4"}, blue, 0, 110, 480, 180, -20)) << s.report();
    ASSERT_TRUE(s.key("KP_0"));  // a jump

    // Print Screen writes what is on the display.
    ASSERT_TRUE(s.key("Print"));
    ASSERT_TRUE(wait_until([&] { return file_exists(s.dir.file("fenda_screenshot_0.bmp")); }, 10000)) << s.report();
    x_image saved;
    ASSERT_TRUE(wait_until([&] { return read_bmp(read_file(s.dir.file("fenda_screenshot_0.bmp")), &saved); }, 5000));
    EXPECT_EQ(saved.width, 640);
    EXPECT_EQ(saved.height, 480);
    EXPECT_GT(lit(saved, 0, 0, 480, 240), 50000);    // the view
    EXPECT_GT(lit(saved, 480, 0, 640, 240), 30000);  // the panel
    EXPECT_EQ(lit(saved, 0, 240, 640, 480), 0);

    sleep_ms(1500);  // a few seconds of play for the statistics
    ASSERT_TRUE(s.key("Escape"));
    ASSERT_EQ(s.game->wait(30000), 0) << s.report();
    EXPECT_EQ(s.game->out(), "\n\nNormal shutdown\n\n");
    std::string log = s.log();
    EXPECT_TRUE(in_order(log, {LOOP_STARTED, ": saving screenshot: \"fenda_screenshot_0.bmp\"\n",
                               "ERROR: Normal shutdown\n", ": shuting down sound\n", ": shuting down SDL\n"}))
        << log;
    double rate = logical_rate(log);
    EXPECT_NEAR(rate, 100.0, 5.0) << log;
}

TEST(ProcessGame, TwoPlayersOneAboveTheOtherPauseAndClosingTheWindow) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    game_session s;
    ASSERT_TRUE(s.start()) << "no menu: " << s.report();
    ASSERT_TRUE(s.choose("2", 2)) << s.report();
    // Both panels, the lower one like the upper one.
    ASSERT_TRUE(s.shows([](const x_image &img) {
        return lit(img, 480, 0, 640, 240) > 30000 && lit(img, 480, 240, 640, 480) > 30000;
    })) << s.report();
    // The arrows walk the second player, in the lower view; player 1 does
    // not move.
    x_image before = s.shot();
    ASSERT_TRUE(s.hold_until_moved({"Right"}, red, 0, 240 + 110, 480, 240 + 180, 30)) << s.report();
    EXPECT_NEAR(centre(s.shot(), blue, 0, 110, 480, 180), centre(before, blue, 0, 110, 480, 180), 1.0);

    // Pause: nothing of the world moves, while the views go on being drawn.
    ASSERT_TRUE(s.key("p"));
    ASSERT_TRUE(wait_until([&] { return s.frozen(2); }, 10000)) << "the world went on while paused";
    ASSERT_TRUE(s.log_has(LOOP_STARTED));
    ASSERT_TRUE(s.key("p"));
    ASSERT_TRUE(s.hold_until_changed({"Right"}, 0, 256, 480, 480)) << "no movement after the pause";

    ASSERT_TRUE(x_close_window(s.server, s.window));
    ASSERT_EQ(s.game->wait(30000), 0) << s.report();
    EXPECT_EQ(s.game->out(), "\n\nQUIT event caught\n\n");
    EXPECT_TRUE(in_order(s.log(), {LOOP_STARTED, "ERROR: QUIT event caught\n", ": shuting down SDL\n"})) << s.log();
}

TEST(ProcessGame, FourPlayersOnAWideDisplayThatTheFullScreenSwitchKeeps) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    game_session s(1280);
    ASSERT_TRUE(s.start()) << "no menu: " << s.report();
    ASSERT_TRUE(s.choose("4", 4)) << s.report();
    EXPECT_TRUE(s.log_has(": video mode change [SDL window] 1280x480 "));
    // Players 3 and 4 are shown at the right, and walk with their keys.
    x_image img = s.shot();
    ASSERT_GT(lit(img, 640, 0, 1280, 480), 200000);
    ASSERT_TRUE(s.hold_until_moved({"d"}, [](xpixel p) { return p.g > 120 && p.r < 110 && p.b < 110; }, 640, 95, 1120,
                                   144, 20))
        << s.report();
    ASSERT_TRUE(s.key("alt+Return"));
    EXPECT_TRUE(s.log_has(": video mode change [SDL fullscreen] 1280x480 "));
    // Every panel is drawn again on the new display.
    ASSERT_TRUE(s.shows([](const x_image &img) {
        for (int v = 0; v < 4; v++)
            if (lit(img, 640 * (v / 2) + 480, 240 * (v % 2), 640 * (v / 2) + 640, 240 * (v % 2) + 240) < 30000) return false;
        return true;
    })) << s.report();
    ASSERT_TRUE(s.key("alt+Return"));
    EXPECT_TRUE(wait_until(
        [&] {
            std::string log = s.log();
            size_t full = log.find("video mode change [SDL fullscreen] 1280x480");
            return full != std::string::npos && log.find("video mode change [SDL window] 1280x480", full) != std::string::npos;
        },
        20000))
        << s.log();
    ASSERT_TRUE(s.key("Escape"));
    ASSERT_EQ(s.game->wait(30000), 0) << s.report();
    EXPECT_EQ(s.game->out(), "\n\nNormal shutdown\n\n");
}

TEST(ProcessGame, EscapeInTheMenuEndsTheProgram) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    game_session s(640, "no_such_driver");
    ASSERT_TRUE(s.start()) << "no menu: " << s.report();
    // The sound that could not start is noted in red under the choices.
    const xpixel note = {192, 16, 16};
    EXPECT_TRUE(s.shows([&](const x_image &img) {
        for (int y = 370; y < 383; y++)
            for (int x = 160; x < 400; x++)
                if (img.at(x, y) == note) return true;
        return false;
    }));
    // Keys that choose nothing are dropped; Escape acts on its press.
    ASSERT_TRUE(s.key("x"));
    ASSERT_TRUE(s.xdo({"keydown", "Escape"}));
    ASSERT_EQ(s.game->wait(30000), 0) << s.report();
    s.xdo({"keyup", "Escape"});
    EXPECT_EQ(s.game->out(), "\n\nInvalid user - replace and strike any key\n\n");
    std::string log = s.log();
    EXPECT_TRUE(in_order(log, {"graphics: loading font \"koi8.font\"\n", "ERROR: Invalid user - replace and strike any key\n",
                               ": shuting down SDL\n", ": file system shutdown\n"}))
        << log;
    EXPECT_EQ(log.find("net_packet_interval"), std::string::npos);
}

}  // namespace
