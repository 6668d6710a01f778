// The real programs bring SDL, the video mode and the screen up and take
// them down in order, and end with the right message when a step fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "menu_quit_util.h"
#include "test_util.h"

namespace {

// A 24-bit BMP of w x h grey pixels.
std::string bmp_file(int w, int h) {
    std::string f = "BM";
    int row = (w * 3 + 3) / 4 * 4;
    for (uint32_t v : {54u + row * h, 0u, 54u, 40u, (uint32_t)w, (uint32_t)h, 1u | 24u << 16, 0u, (uint32_t)(row * h), 2835u, 2835u, 0u, 0u})
        for (int i = 0; i < 4; i++) f += (char)(v >> (8 * i));
    return f + std::string(row * h, '\x50');
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

// True when every piece appears in the text, each after the one before.
bool in_order(const std::string &text, const std::vector<std::string> &pieces) {
    size_t at = 0;
    for (const auto &p : pieces)
        if ((at = text.find(p, at)) == std::string::npos) return false;
    return true;
}

// The editor goes on to its map chooser and waits for a click there:
// process_editor_test.cpp checks its screen start with the dummy driver and
// its normal end in a real window. The game is ended in its menu by the
// close request.
TEST(ProcessVideo, GameStartsTheScreenAndShutsItDown) {
    temp_dir dir;
    fill_working_dir(dir, "colour=24\neditor_screen_wid=800\neditor_screen_hgt=600\n\n");
    for (auto [bin, log, size] : {std::tuple{FENDA_GAME_BIN, "fenda2.log", "640x480"}}) {
        run_result r = run_game_to_menu({bin}, dir.path, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out, "\n\nQUIT event caught\n\n");
        std::string text = read_file(dir.file(log));
        EXPECT_TRUE(in_order(text, {": parsing \"fenda2.config\"\n", ": initializing SDL\n",
                                    std::string(": video mode [SDL window] ") + size + " 24-bit RGB (", "ware surface)\n",
                                    "note: shift: r", "note: mask: r", "graphics: loading font \"koi8.font\"\n",
                                    "ERROR: QUIT event caught\n", ": shuting down SDL\n", ": file system shutdown\n"}))
            << text;
    }
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
