// The real editor in sessions in a real window under Xvfb
// (game_session_util.h), driven with xdotool in a copy of the data set:
// outlines and grid, place and remove objects, save, undo and redo,
// test-play, the scroll rate, leave with Escape or by closing the window
// (the autosave), and the game's loader takes the written map. Its
// start-up is in process_start_test.cpp.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <string>
#include <vector>

#include "game_session_util.h"

namespace {

const xpixel NAME_COLOUR = {153, 207, 232}, PANEL_COLOUR = {80, 80, 100};
const xpixel CYAN = {0, 255, 255}, RED = {255, 60, 60}, GRID = {170, 170, 170};
// The data set's configuration opens a 1024 x 768 window: the map area is
// 844 pixels wide, the panel starts there.
const int HEIGHT = 768, PANEL_X = 844, LINE = 13;

// The map that `map` becomes with `lines` inserted before its last object
// line, where the editor writes what was placed.
std::string with_placed(const std::string &map, const std::string &lines) {
    size_t last = map.rfind('\n', map.size() - 4) + 1;
    return map.substr(0, last) + lines + map.substr(last);
}

// Clicks at (x, y) of the window; the pointer stays over the window so
// that keys go to it.
bool click(game_session &s, int x, int y, int button = 1) {
    return s.xdo({"mousemove", "--window", std::to_string(s.window), std::to_string(x), std::to_string(y), "click",
                  std::to_string(button)});
}
// Keys typed with the pointer over the map area, where they go to the editor.
bool keys(game_session &s, std::vector<std::string> k) {
    k.insert(k.begin(), {"mousemove", "--window", std::to_string(s.window), "420", "10", "key"});
    return s.xdo(k);
}
// Left click on a row of the panel's list, then in the map area at map
// point (x, y) (the map scrolled to its bottom-left corner).
bool place(game_session &s, int row, int x, int y) {
    return click(s, PANEL_X + 20, 200 + row * LINE + 6) && click(s, x, HEIGHT - y);
}
// The chooser is drawn over the map: its first name shows.
bool names_shown(const x_image &img) {
    int n = 0;
    for (int x = 125; x < 200; x++)
        for (int y = 170; y < 183; y++) n += img.at(x, y) == NAME_COLOUR;
    return n >= 10;
}
// Chooses row `row` of the chooser (maps in alphabetical order).
bool choose(game_session &s, int row) {
    return s.shows(names_shown) && click(s, 140, 50 + 120 + 20 * row + 8) &&
           s.shows([](const x_image &img) { return img.at(PANEL_X + 2, 30) == PANEL_COLOUR && !names_shown(img); });
}
// Starts the editor with a map file added to the data set (none when
// `name` is empty) and chooses row `row` of the chooser.
bool open(game_session &s, int row, const std::string &name = "", const std::string &text = "") {
    if (!name.empty()) write_file(s.dir.file(name), text);
    return s.launch() && choose(s, row);
}

TEST(ProcessEditor, SessionInARealWindowTestPlaysAndWritesTheEditedMap) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    auto session = editor_session();
    game_session &s = *session;
    ASSERT_TRUE(s.launch()) << "no editor window: " << s.report();
    ASSERT_TRUE(choose(s, 0)) << "testmap.fenda was not chosen";

    // testmap.fenda from its bottom-left corner. Outlines (`o`) over a
    // teleport at (736, 0), 128 x 48, and the map's bounds; the grid (`g`);
    // screen row = 767 - map y. A hidden teleport is not removed, a shown one is.
    auto outlined = [](const x_image &img) { return img.at(800, 720) == CYAN && img.at(0, 400) == RED; };
    ASSERT_TRUE(s.shows(outlined));
    ASSERT_TRUE(keys(s, {"o"}));
    ASSERT_TRUE(s.shows([](const x_image &img) { return img.at(800, 720) != CYAN; }));
    ASSERT_TRUE(click(s, 760, HEIGHT - 40, 3));
    ASSERT_TRUE(keys(s, {"g"}));
    ASSERT_TRUE(s.shows([](const x_image &img) { return img.at(16, 100) == GRID && img.at(2, 767 - 16 * 42) == GRID; }));
    ASSERT_TRUE(keys(s, {"g", "o"}));
    ASSERT_TRUE(s.shows(outlined));
    ASSERT_TRUE(click(s, 760, HEIGHT - 40, 3));

    // Test-play (the game beside the editor's program): without player 0
    // the game refuses the map; with it, it plays until Escape, and the
    // editor goes on where it was.
    auto play = [&](const std::string &ending) {
        unsigned long game = 0;
        return keys(s, {"p"}) && (game = x_wait_for_window(s.server, "^Trelm2D: Fenda$")) &&
               s.xdo({"mousemove", "--window", std::to_string(game), "20", "20", "key", "1"}) &&
               (ending.empty() || s.log_has(ending, 30000));
    };
    ASSERT_TRUE(click(s, 140, HEIGHT - 80, 3));
    ASSERT_TRUE(play("WARNING: test-play: fenda2 ended with status 16 (see fenda2.log)\n")) << s.report();
    ASSERT_TRUE(keys(s, {"ctrl+z"}));
    ASSERT_TRUE(play("")) << s.report();
    ASSERT_TRUE(s.xdo({"sleep", "1", "key", "Escape"}));
    ASSERT_TRUE(s.log_has(": test-play: fenda2 ended\n", 30000)) << s.report();
    ASSERT_TRUE(keys(s, {"Escape"}));
    ASSERT_EQ(s.game->wait(30000), 0) << s.game->out();
    // The test-played games write to the editor's console first.
    EXPECT_EQ(s.game->out(), "\n\nERROR: no PLAYER line for player 0 in file \"testmap.fenda\"\n\n"
                             "\n\nNormal shutdown\n\n\n\nNormal shutdown\n\n");

    std::string map = read_file(s.dir.file("testmap.fenda"));
    const std::string teleport = "736 0 TRIGGER 128 48 TELEPORT SILENT ( MONSTER ITEM ) 784 848\n";
    ASSERT_NE(map.find(teleport), std::string::npos);
    EXPECT_EQ(read_file(s.dir.file("editor.fenda")), map.replace(map.find(teleport), teleport.size(), ""));
}

const std::string AUTOSAVE_NOTE = "; unsaved changes are in \"editor.fenda.autosave\"\n\n";

TEST(ProcessEditor, AFatalEndAfterTheSecondLNamesTheAutosave) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    // A bad map chosen after `l`: the first `l` only asks, the second
    // discards the changes, whose autosave the fatal end names.
    auto session = editor_session();
    game_session &s = *session;
    ASSERT_TRUE(open(s, 1, "bad.fenda", "100 100 bg_dusk.jpg\n\nstatus_panel.png\n\n0 0 BOGUS x\n \n")) << s.report();
    ASSERT_TRUE(click(s, 400, 300));
    ASSERT_TRUE(keys(s, {"l"}));
    ASSERT_TRUE(s.log_has("unsaved changes: l again discards them")) << s.report();
    ASSERT_TRUE(keys(s, {"l"}));
    ASSERT_TRUE(s.shows(names_shown));
    ASSERT_TRUE(click(s, 140, 50 + 120 + 8));
    ASSERT_EQ(s.game->wait(30000), 16) << s.report();
    EXPECT_EQ(s.game->out(), "\n\nERROR: unknown object type \"BOGUS\" in file \"bad.fenda\" line 3" + AUTOSAVE_NOTE);
    EXPECT_EQ(read_file(s.dir.file("editor.fenda.autosave")),
              with_placed(read_file(s.dir.file("testmap.fenda")), "400 464 DM_START \n"));
}

TEST(ProcessEditor, BuildsAPlayableMapFromAnEmptyOneWithSaveUndoAndRedo) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    auto session = editor_session();
    game_session &s = *session;
    const std::string head = "1600 960 bg_dusk.jpg\nfenda_arena.mod\nstatus_panel.png\n\n";
    ASSERT_TRUE(open(s, 0, "empty.fenda", head + " \n")) << s.report();
    // The four player starts (rows 12 to 15), a deathmatch start, a wall
    // placed and removed. Each placement goes right after the list's first
    // object; the file holds the list from its end.
    for (int p = 0; p < 4; p++) ASSERT_TRUE(place(s, 12 + p, 101 + 96 * p, 69));
    ASSERT_TRUE(place(s, 0, 501, 69));
    ASSERT_TRUE(click(s, PANEL_X + 10, 5));
    ASSERT_TRUE(place(s, 30, 601, 37));  // crystal_32.png at (592, 32)
    ASSERT_TRUE(click(s, 605, HEIGHT - 40, 3));
    const std::string players = "192 64 PLAYER 1 fighter_red.monster\n288 64 PLAYER 2 fighter_green.monster\n"
                                "384 64 PLAYER 3 fighter_yellow.monster\n496 64 DM_START \n";
    const std::string wall = "592 32 WALL crystal_32.png\n";
    const std::string built = head + players + wall + "96 64 PLAYER 0 fighter_blue.monster\n \n";
    // Ctrl+S saves and warns: one deathmatch start is not enough.
    ASSERT_TRUE(keys(s, {"ctrl+s"}));
    ASSERT_TRUE(s.log_has("WARNING: saved editor.fenda; warning: only 1 DM start\n")) << s.report();
    EXPECT_EQ(read_file(s.dir.file("editor.fenda")), head + players + "96 64 PLAYER 0 fighter_blue.monster\n \n");
    // Undo the removal and the placement, redo the placement.
    ASSERT_TRUE(keys(s, {"ctrl+z", "ctrl+z", "ctrl+y", "ctrl+s"}));
    ASSERT_TRUE(s.log_has(": undone\n: undone\n: redone\nWARNING: saved")) << s.log();
    EXPECT_EQ(read_file(s.dir.file("editor.fenda")), built);
    ASSERT_TRUE(keys(s, {"Escape"}));
    ASSERT_EQ(s.game->wait(30000), 0) << s.report();
    EXPECT_EQ(s.game->out(), "\n\nNormal shutdown\n\n");
    EXPECT_EQ(read_file(s.dir.file("editor.fenda")), built);

    // The game's loader plays it, with four players.
    std::string sim = std::filesystem::path(FENDA_GAME_BIN).parent_path() / "fenda_sim";
    run_result r = run_program({sim, "editor.fenda", "100"}, s.dir.path, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("player 3 state "), std::string::npos) << r.out;
}

TEST(ProcessEditor, ScrollsAThousandPixelsASecondThenClosingTheWindowKeepsTheAutosave) {
    if (!x_tools_installed()) GTEST_SKIP() << "Xvfb, xdotool or xwd is not installed";
    auto session = editor_session();
    game_session &s = *session;
    // A wide map whose status picture line is empty: the editor keeps it.
    const std::string head = "32000 960 bg_dusk.jpg\n\n\n\n";
    ASSERT_TRUE(open(s, 2, "wide.fenda", head + " \n")) << s.report();
    ASSERT_TRUE(s.xdo({"mousemove", "--window", std::to_string(s.window), "420", "10", "keydown", "shift", "Right"}));
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(6));
    ASSERT_TRUE(s.xdo({"keyup", "Right", "shift"}));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // A deathmatch start at screen x 101 lands at map x origin + 96.
    ASSERT_TRUE(click(s, 101, HEIGHT - 69));
    ASSERT_TRUE(keys(s, {"ctrl+s"}));
    ASSERT_TRUE(s.log_has("saved editor.fenda"));
    const std::string saved = read_file(s.dir.file("editor.fenda"));
    ASSERT_EQ(saved.substr(0, head.size()), head);
    const double rate = (atoi(saved.c_str() + head.size()) - 96) / seconds;
    // Steps of 80 pixels every 80 ms: one step more or less than the time
    // gives, and 5 pixels a second for the time xdotool takes.
    EXPECT_NEAR(rate, 1000, 80 / seconds + 5);

    // One more start, then the window closed: "editor.fenda" stays as Ctrl+S
    // wrote it, the autosave holds the new start as well.
    ASSERT_TRUE(click(s, 197, HEIGHT - 69));
    ASSERT_TRUE(x_close_window(s.server, s.window));
    ASSERT_EQ(s.game->wait(30000), 0);
    EXPECT_EQ(s.game->out(), "\n\nQUIT event caught" + AUTOSAVE_NOTE);
    EXPECT_EQ(read_file(s.dir.file("editor.fenda")), saved);
    EXPECT_EQ(read_file(s.dir.file("editor.fenda.autosave")),
              head + std::to_string(atoi(saved.c_str() + head.size()) + 96) + " 64 DM_START \n" + saved.substr(head.size()));
    EXPECT_FALSE(file_exists(s.dir.file("editor.fenda.tmp")) || file_exists(s.dir.file("editor.fenda.autosave.tmp")));
}

}  // namespace
