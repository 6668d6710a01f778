// The real editor: its start-up without maps, and a whole session in a real
// window under Xvfb, driven with xdotool in a copy of the data set: choose
// a map, scroll, load other maps, place and remove objects, leave with
// Escape, and the game's loader takes the written map. Closing the window
// instead keeps the earlier "editor.fenda".
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "test_util.h"
#include "xvfb_util.h"

namespace {

const std::string editor_version = "version 2.0/75 build Jan 30 2005 22:35:46";
const xpixel NAME_COLOUR = {153, 207, 232}, PANEL_COLOUR = {80, 80, 100}, BLACK = {0, 0, 0};
// The data set's configuration opens a 1024 x 768 window: the map area is
// 844 pixels wide, the panel starts there.
const int WIDTH = 1024, HEIGHT = 768, PANEL_X = 844, LINE = 13;

TEST(ProcessEditor, WithoutMapFilesTheDefaultMapIsLoaded) {
    // The screen starts; with no "*.fenda" in the directory the chooser
    // returns at once and the editor asks for "testmap.fenda", here missing.
    temp_dir dir;
    for (const char *f : {"fenda2.config", "start.jpg", "koi8.font", "menu.png", "editor.walls"})
        std::filesystem::copy_file(std::string(FENDA_DATA_DIR) + "/" + f, dir.file(f));
    run_result r = run_program({FENDA_EDITOR_BIN}, dir.path, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "\n\nERROR: can't open real file \"testmap.fenda\"\n\n");
    EXPECT_TRUE(in_order(read_file(dir.file("fenda_editor.log")),
                         {": parsing \"fenda2.config\"\n", ": initializing SDL\n",
                          ": video mode [SDL window] 1024x768 24-bit RGB (", "ware surface)\n", "note: shift: r",
                          "note: mask: r", "graphics: loading font \"koi8.font\"\n",
                          "ERROR: can't open real file \"testmap.fenda\"\n",
                          ": shuting down SDL\n", ": file system shutdown\n"}));
    EXPECT_FALSE(file_exists(dir.file("editor.fenda")));
}

// One editor run in its own X server, and the steps a user takes.
struct editor_session {
    xvfb_server server{WIDTH, HEIGHT, 24};
    temp_dir dir;
    std::unique_ptr<background_program> editor;
    unsigned long window = 0;

    bool start() {
        if (server.display.empty()) return false;
        copy_data_set(dir.path, {".log"});
        editor.reset(new background_program({FENDA_EDITOR_BIN}, dir.path, {server.env(), "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy"}));
        window = x_wait_for_window(server, "^Fenda Editor$");
        return window != 0;
    }
    // What went wrong, for a failure message.
    std::string report() {
        if (!editor) return "Xvfb did not start";
        return "editor " + std::string(editor->running() ? "running" : "ended with " + std::to_string(editor->status)) +
               "; output: " + editor->out() + editor->err() + "; log: " + read_file(dir.file("fenda_editor.log"));
    }
    x_image shot() {
        x_image img;
        if (!x_screenshot(server, &img, window) || img.width != WIDTH || img.height != HEIGHT) img = x_image();
        return img;
    }
    // xdotool commands; the pointer stays over the window so that keys go to it.
    bool xdo(std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        return x_client(server, args).status == 0;
    }
    bool click(int x, int y, int button = 1) {
        return xdo({"mousemove", "--window", std::to_string(window), std::to_string(x), std::to_string(y), "click",
                    std::to_string(button)});
    }
    bool shows(const std::function<bool(const x_image &)> &test, int timeout_ms = 20000) {
        return wait_until(
            [&] {
                x_image img = shot();
                return img.width && test(img);
            },
            timeout_ms, 200);
    }
    bool chooser_shown() {
        return shows([](const x_image &img) {
            if (img.at(PANEL_X + 2, 30) != BLACK) return false;
            for (int x = 125; x < 200; x++)
                for (int y = 170; y < 183; y++)
                    if (img.at(x, y) == NAME_COLOUR) return true;
            return false;
        });
    }
    bool editor_shown() {
        return shows([](const x_image &img) { return img.at(PANEL_X + 2, 30) == PANEL_COLOUR; });
    }
    // Chooses row `row` of the chooser (maps in alphabetical order).
    bool choose(int row) { return chooser_shown() && click(140, 50 + 120 + 20 * row + 8) && editor_shown(); }
    // Holds keys until the map area differs from `before` (or, with
    // `same`, equals it), then lets them go.
    bool scroll_until(const std::vector<std::string> &keys, const x_image &before, bool same) {
        std::vector<std::string> down = {"keydown"}, up = {"keyup"};
        down.insert(down.end(), keys.begin(), keys.end());
        up.insert(up.end(), keys.rbegin(), keys.rend());
        bool moved = xdo(down) && shows([&](const x_image &img) {
                         return (img.differences(before, 0, 0, PANEL_X, HEIGHT) == 0) == same;
                     });
        return xdo(up) && moved;
    }
};

TEST(ProcessEditor, SessionInARealWindowWritesTheEditedMap) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    editor_session s;
    ASSERT_TRUE(s.start()) << "no editor window: " << s.report();
    ASSERT_TRUE(s.choose(0)) << "testmap.fenda was not chosen";
    x_image start = s.shot();  // testmap.fenda from its bottom-left corner
    ASSERT_TRUE(start.width);

    // Arrow keys scroll, and with Shift as well.
    ASSERT_TRUE(s.scroll_until({"Right"}, start, false));
    x_image moved = s.shot();
    ASSERT_TRUE(s.scroll_until({"shift", "Up"}, moved, false));

    // `l` shows the chooser again: another map, then testmap.fenda again,
    // brought back to its bottom-left corner.
    ASSERT_TRUE(s.xdo({"key", "l"}));
    ASSERT_TRUE(s.choose(1)) << "towers.fenda was not chosen";
    EXPECT_GT(s.shot().differences(start, 0, 0, PANEL_X, HEIGHT), 0);
    ASSERT_TRUE(s.xdo({"key", "l"}));
    ASSERT_TRUE(s.choose(0));
    ASSERT_TRUE(s.scroll_until({"shift", "Left", "Down"}, start, true)) << "the map did not come back to its corner";

    // WALL page: a wall, a ladder (removed again) and a decoration. A
    // screen point (x, y) is map point (x, 768 - y), moved down to the grid.
    ASSERT_TRUE(s.click(PANEL_X + 10, 5));
    ASSERT_TRUE(s.click(PANEL_X + 20, 200 + 0 * LINE + 6));   // stone_32.png
    ASSERT_TRUE(s.click(500, 250));                           // (496, 512)
    ASSERT_TRUE(s.click(PANEL_X + 20, 65));                   // ladder
    ASSERT_TRUE(s.click(PANEL_X + 20, 200 + 15 * LINE + 6));  // ladder_32.png
    ASSERT_TRUE(s.click(600, 250));                           // (592, 512)
    ASSERT_TRUE(s.click(PANEL_X + 20, 45));                   // decoration, ladder cleared
    ASSERT_TRUE(s.click(PANEL_X + 20, 200 + 16 * LINE + 6));  // torch.png
    ASSERT_TRUE(s.click(700, 250));                           // (688, 512)
    // ITEM page: a medical kit, a monster and a deathmatch start.
    ASSERT_TRUE(s.click(PANEL_X + 50, 5));
    for (auto [row, x] : {std::pair{2, 500}, {1, 600}, {0, 700}}) {
        ASSERT_TRUE(s.click(PANEL_X + 20, 200 + row * LINE + 6));
        ASSERT_TRUE(s.click(x, 150));  // (x rounded down, 608)
    }
    ASSERT_TRUE(s.click(610, 240, 3));  // the ladder
    ASSERT_TRUE(s.shows([&](const x_image &img) { return img.differences(start, 0, 0, PANEL_X, HEIGHT) > 0; }));
    ASSERT_TRUE(s.xdo({"key", "Escape"}));
    ASSERT_EQ(s.editor->wait(30000), 0) << s.editor->out();
    EXPECT_EQ(s.editor->out(), "\n\nNormal shutdown\n\n");

    std::string map = read_file(s.dir.file("testmap.fenda"));
    size_t last = map.rfind('\n', map.size() - 4) + 1;  // the file's last object line
    EXPECT_EQ(read_file(s.dir.file("editor.fenda")), map.substr(0, last) +
                                                         "496 512 WALL stone_32.png\n"
                                                         "688 512 DECORATION torch.png\n"
                                                         "496 608 ITEM HEALTH\n"
                                                         "592 608 MONSTER hrack.monster\n"
                                                         "688 608 DM_START \n" +
                                                         map.substr(last));
    EXPECT_FALSE(file_exists(s.dir.file("editor.fenda.tmp")));
    std::string log = read_file(s.dir.file("fenda_editor.log"));
    EXPECT_EQ(log.rfind(": Fenda editor [" + editor_version + "]\n: initializing file system\n", 0), 0u) << log;
    EXPECT_TRUE(in_order(log, {": parsing \"fenda2.config\"\n", ": initializing SDL\n",
                               ": video mode [SDL window] 1024x768 ", "note: shift: r", "note: mask: r",
                               "graphics: loading font \"koi8.font\"\n", "ERROR: Normal shutdown\n",
                               ": shuting down SDL\n", ": file system shutdown\n"}))
        << log;

    // The game's loader, through the headless driver, plays the map.
    std::string game_bin = FENDA_GAME_BIN;
    std::string sim = game_bin.substr(0, game_bin.rfind('/') + 1) + "fenda_sim";
    if (!file_exists(sim))
        GTEST_SKIP() << sim << " does not exist yet: the game's loader was not tried on the map the editor wrote";
    run_result r = run_program({sim, "editor.fenda", "100"}, s.dir.path, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("frame 100 "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("player 3 state "), std::string::npos) << r.out;
}

TEST(ProcessEditor, ClosingTheWindowKeepsTheEarlierMap) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    editor_session s;
    write_file(s.dir.file("editor.fenda"), "an earlier map\n");
    ASSERT_TRUE(s.start()) << "no editor window: " << s.report();
    ASSERT_TRUE(s.choose(1));
    ASSERT_TRUE(s.click(400, 300));  // a deathmatch start, never written
    ASSERT_TRUE(x_close_window(s.server, s.window));
    ASSERT_EQ(s.editor->wait(30000), 0);
    EXPECT_EQ(s.editor->out(), "\n\nQUIT event caught\n\n");
    EXPECT_EQ(read_file(s.dir.file("editor.fenda")), "an earlier map\n");
    EXPECT_FALSE(file_exists(s.dir.file("editor.fenda.tmp")));
}

}  // namespace
