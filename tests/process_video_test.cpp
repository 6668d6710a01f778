// The real programs bring SDL, the video mode and the screen up and take
// them down in order, and end with the right message when a step fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "menu_quit_util.h"
#include "test_util.h"
#include "xvfb_util.h"

namespace {

xpixel grey(int, int) { return {0x50, 0x50, 0x50}; }

// A 24-bit BMP of w x h pixels, (x, y) of the colour `at(x, y)`.
std::string bmp_file(int w, int h, xpixel (*at)(int, int) = grey) {
    std::string f = "BM";
    int row = (w * 3 + 3) / 4 * 4;
    for (uint32_t v : {54u + row * h, 0u, 54u, 40u, (uint32_t)w, (uint32_t)h, 1u | 24u << 16, 0u, (uint32_t)(row * h), 2835u, 2835u, 0u, 0u})
        for (int i = 0; i < 4; i++) f += (char)(v >> (8 * i));
    for (int y = h - 1; y >= 0; y--) {  // bottom row first
        std::string pixels;
        for (int x = 0; x < w; x++) pixels += {(char)at(x, y).b, (char)at(x, y).g, (char)at(x, y).r};
        f += pixels + std::string((size_t)(row - 3 * w), '\0');
    }
    return f;
}

// The configuration, the start picture and the font: the data set's when
// it is there, small ones otherwise (the picture loader goes by content).
void fill_working_dir(const temp_dir &dir, const std::string &config) {
    std::error_code ec;
    for (const char *name : {"start.jpg", "koi8.font", "random.table", "menu.png"})
        std::filesystem::copy_file(std::string(FENDA_DATA_DIR) + "/" + name, dir.file(name), ec);
    if (!file_exists(dir.file("start.jpg"))) write_file(dir.file("start.jpg"), bmp_file(64, 32));
    if (!file_exists(dir.file("koi8.font"))) write_file(dir.file("koi8.font"), "\x08\x10" + std::string(256 * 8 * 16, '\1'));
    write_file(dir.file("fenda2.config"), config);
}

run_result run(const std::string &bin, const temp_dir &dir, const char *driver = "dummy") {
    return run_program({bin}, dir.path, {std::string("SDL_VIDEODRIVER=") + driver, "SDL_AUDIODRIVER=dummy"});
}

// The editor goes on to its map chooser and waits for a click there:
// process_editor_test.cpp checks its screen start with the dummy driver and
// its normal end in a real window.
//
// The game in a copy of the data set, at each depth (SDL's dummy display
// keeps the one asked for): SDL's start, the mode, the display's channel
// shifts and masks, the font, and an end with code 0, here in the menu by
// the close request.
TEST(ProcessVideo, GameStartsTheScreenAtEachDepthAndShutsItDown) {
    temp_dir dir;
    copy_data_set(dir.path);
    const std::string config = read_file(dir.file("fenda2.config"));
    const size_t colour = config.find("\ncolour=24\n");
    ASSERT_NE(colour, std::string::npos) << config;
    const struct {
        int bits;
        const char *shift, *mask;
    } modes[] = {
        {16, "r11 g5 b0", "r0000F800 g000007E0 b0000001F"},
        {24, "r16 g8 b0", "r00FF0000 g0000FF00 b000000FF"},
        {32, "r16 g8 b0", "r00FF0000 g0000FF00 b000000FF"},
    };
    for (const auto &m : modes) {
        SCOPED_TRACE(m.bits);
        write_file(dir.file("fenda2.config"), std::string(config).replace(colour, 11, "\ncolour=" + std::to_string(m.bits) + "\n"));
        run_result r = run_game_to_menu({FENDA_GAME_BIN}, dir.path, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out, "\n\nQUIT event caught\n\n");
        const std::string mode = ": initializing SDL\n: video mode [SDL window] 640x480 " + std::to_string(m.bits) +
                                 "-bit RGB (software surface)\nnote: shift: " + m.shift + "\nnote: mask: " + m.mask + "\n";
        std::string text = read_file(dir.file("fenda2.log"));
        EXPECT_TRUE(in_order(text, {": parsing \"fenda2.config\"\n", mode, "graphics: loading font \"koi8.font\"\n",
                                    "ERROR: QUIT event caught\n", ": shuting down SDL\n", ": file system shutdown\n"}))
            << text;
    }
}

// A start picture of 600 x 460 pixels that tells each pixel's place.
xpixel start_pixel(int x, int y) { return {(uint8_t)x, (uint8_t)y, (uint8_t)(100 + x / 256 * 50 + y / 256 * 20)}; }

// In a real window with its caption, the start picture is shown centred on
// black, and stays visible left of and above the menu picture that follows
// at (75, 70); the close request ends the game with code 0.
TEST(ProcessVideo, GameShowsTheStartPictureInARealWindow) {
    ASSERT_TRUE(x_tools_installed()) << "Xvfb, xdotool or xwd is not installed";
    xvfb_server server(640, 480, 24);
    ASSERT_FALSE(server.display.empty()) << "Xvfb did not start";
    temp_dir dir;
    copy_data_set(dir.path);
    write_file(dir.file("start.jpg"), bmp_file(600, 460, start_pixel));  // the loader goes by content
    background_program game({FENDA_GAME_BIN}, dir.path, {server.env(), "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy"});
    unsigned long window = x_wait_for_window(server, "^Trelm2D: Fenda$");
    ASSERT_NE(window, 0u) << "no window; output: " << game.out() << "; log: " << read_file(dir.file("fenda2.log"));
    // At ((640 - 600) / 2, (480 - 460) / 2) = (20, 10).
    const int picture[][2] = {{20, 10}, {74, 469}, {619, 69}, {300, 40}, {50, 250}, {21, 11}};
    const int black[][2] = {{0, 0}, {19, 10}, {20, 9}, {74, 470}, {620, 69}, {639, 0}};
    x_image shot;
    bool shown = wait_until(
        [&] {
            if (!x_screenshot(server, &shot, window) || shot.width != 640 || shot.height != 480) return false;
            for (auto [x, y] : picture)
                if (shot.at(x, y) != start_pixel(x - 20, y - 10)) return false;
            for (auto [x, y] : black)
                if (shot.at(x, y) != xpixel{0, 0, 0}) return false;
            return true;
        },
        20000, 150);
    EXPECT_TRUE(shown) << "screen at (20, 10): " << (shot.width ? (int)shot.at(20, 10).r : -1);
    ASSERT_TRUE(x_close_window(server, window));
    EXPECT_EQ(game.wait(20000), 0) << game.out();
    EXPECT_EQ(game.out(), "\n\nQUIT event caught\n\n");
}

TEST(ProcessVideo, FailedStartsShutDownOnlyWhatIsUp) {
    temp_dir dir;
    fill_working_dir(dir, "colour=24\neditor_screen_wid=640\neditor_screen_hgt=480\n\n");
    for (auto [bin, log] : {std::pair{FENDA_GAME_BIN, "fenda2.log"}, {FENDA_EDITOR_BIN, "fenda_editor.log"}}) {
        run_result r = run(bin, dir, "no_such_driver");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out.rfind("\n\nERROR: SDL initialization failed: \"", 0), 0u) << r.out;
        std::string text = read_file(dir.file(log));
        EXPECT_TRUE(in_order(text, {"ERROR: SDL initialization failed", ": file system shutdown\n"})) << text;
        EXPECT_EQ(text.find("shuting down SDL"), std::string::npos) << text;
    }
    // A palette mode is refused: SDL, files and log go down in that order.
    write_file(dir.file("fenda2.config"), "colour=8\n\n");
    run_result r = run(FENDA_GAME_BIN, dir);
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.out, "\n\nERROR: unable to set video mode: \"8-bit palette modes are not supported\"\n\n");
    EXPECT_TRUE(in_order(read_file(dir.file("fenda2.log")), {"ERROR: unable to set video mode", ": shuting down SDL\n", ": file system shutdown\n"}));
    // A missing start picture ends the start-up in the screen set-up.
    write_file(dir.file("fenda2.config"), "colour=16\n\n");
    std::filesystem::remove(dir.file("start.jpg"));
    r = run(FENDA_GAME_BIN, dir);
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(in_order(read_file(dir.file("fenda2.log")), {": video mode [SDL window] 640x480 16-bit", "ERROR: can't open real file \"start.jpg\"", ": shuting down SDL\n"}));
}

}  // namespace
