// The real programs from start to end with SDL's dummy drivers: options,
// console output, exit status and log; start-up and shutdown in order and
// the steps that fail. Also the menu in a real window, and the shared
// libraries the editor needs.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game_session_util.h"

namespace {

namespace fs = std::filesystem;

const std::string GAME = FENDA_GAME_BIN, EDITOR = FENDA_EDITOR_BIN;
const std::string game_version = "version 2.0/75 built Jan 30 2005 22:39:06";
const std::string editor_version = "version 2.0/75 build Jan 30 2005 22:35:46";
const std::string help_text =
    "\n"
    "  --help                  help summary\n"
    "  --version               show version and exit\n"
    "  --no-log-file           don't write log file\n"
    "  --log-file <filename>   write log to file <filename>\n";
const std::vector<std::string> dummy_env = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};

std::set<std::string> files_in(const std::string &dir) {
    std::set<std::string> out;
    for (const auto &e : fs::directory_iterator(dir)) out.insert(e.path().filename().string());
    return out;
}

// Runs the game with SDL's dummy display up to its menu, which waits for a
// key that never comes, and ends it there with SIGTERM, which SDL turns into
// a quit event once it has started (its handler shows in /proc). A game that
// ends earlier by itself is reported as it ended.
run_result run_game_to_menu(const std::vector<std::string> &argv, const std::string &dir, const std::vector<std::string> &env) {
    background_program game(argv, dir, env);
    const std::string name = argv[0].substr(argv[0].rfind('/') + 1).substr(0, 15);
    auto catches_sigterm = [&] {
        std::istringstream status(read_file("/proc/" + std::to_string(game.pid) + "/status"));
        bool same = false;  // the program, not the test's child before its exec
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("Name:", 0) == 0) same = line.substr(line.find_first_not_of(" \t", 5)) == name;
            if (line.rfind("SigCgt:", 0) == 0) return same && ((std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1);
        }
        return false;
    };
    if (wait_until([&] { return !game.running() || catches_sigterm(); }, 20000, 10) && game.running()) kill(game.pid, SIGTERM);
    const int status = game.wait(20000);
    return {status, game.out(), game.err()};
}

TEST(ProcessStart, OptionsBannersAndEndsBeforeTheScreenStartsWithTheirExactLogs) {
    // The five lines of a game that finds no configuration.
    const std::string game_log = ": Fenda 2 [" + game_version + "]\n: initializing file system\n: parsing \"fenda2.config\"\n"
                                 "ERROR: can't open real file \"fenda2.config\"\n: file system shutdown\n";
    const std::string no_config = "\n\nERROR: can't open real file \"fenda2.config\"\n\n";
    // Each run in an empty directory; afterwards it holds the log file named
    // (with exactly that text) only.
    const struct {
        std::string program;
        std::vector<std::string> args;
        int status;
        std::string out, log_name, log;
    } runs[] = {
        {GAME, {"--version"}, 0, "\nTrelm 2D: fenda " + game_version + "\n\n\n\n\n", "", ""},
        {EDITOR, {"/?"}, 0, "\nTrelm 2D: fenda editor\n" + editor_version + "\n" + help_text + "\n\n\n\n", "", ""},
        {GAME, {}, 3, no_config, "fenda2.log", game_log},
        // The log options override each other in order; the console still
        // reports. Without a name, --log-file is reported and the default kept.
        {EDITOR, {"--log-file", "first.log", "--no-log-file"}, 3, no_config, "", ""},
        {GAME, {"--log-file"}, 3, "\nunknown option - \"--log-file\"\n" + no_config, "fenda2.log", game_log},
    };
    for (const auto &r : runs) {
        SCOPED_TRACE("run " + std::to_string(&r - runs));
        temp_dir dir;
        std::set<std::string> left;
        if (!r.log_name.empty()) left.insert(r.log_name);
        std::vector<std::string> argv = r.args;
        argv.insert(argv.begin(), r.program);
        run_result got = run_program(argv, dir.path, dummy_env);
        EXPECT_EQ(got.status, r.status);
        EXPECT_EQ(got.out, r.out);
        EXPECT_EQ(files_in(dir.path), left);
        EXPECT_EQ(r.log_name.empty() ? "" : read_file(dir.file(r.log_name)), r.log);
    }
}

TEST(ProcessStart, StartUpAndShutdownInOrderAndTheStepsThatFail) {
    const std::string quit = "\n\nQUIT event caught\n\n", mode = ": video mode [SDL window] 640x480 ";
    const std::string rgb16 = "note: shift: r11 g5 b0\nnote: mask: r0000F800 g000007E0 b0000001F\n";
    // Each run in a copy of the data set with settings changed and files
    // removed; the game either waits in its menu, where the close request
    // ends it, or ends by itself. An expected output that does not end with
    // an empty line is a beginning.
    const struct {
        std::string program;
        std::vector<std::string> settings, removed;
        std::string video, audio;
        int status;
        std::string out;
        std::vector<std::string> logged, not_logged;
    } runs[] = {
        // At depth 16 (the dummy display keeps the one asked for): SDL, the
        // mode, the display's channels, sound, the font, and the ends.
        {GAME, {"colour=16"}, {}, "dummy", "dummy", 0, quit,
         {": initializing SDL\n", mode + "16-bit RGB (software surface)\n" + rgb16, ": initializing sound\n",
          "ERROR: QUIT event caught\n", ": shuting down sound\n", ": shuting down SDL\n", ": file system shutdown\n"}, {}},
        // Failed starts shut down only what is up, in order.
        {GAME, {}, {}, "no_such_driver", "dummy", 1, "\n\nERROR: SDL initialization failed: \"",
         {"ERROR: SDL initialization failed", ": file system shutdown\n"}, {"shuting down SDL"}},
        {GAME, {"colour=8"}, {}, "dummy", "dummy", 4, "\n\nERROR: unable to set video mode: \"8-bit palette modes are not supported\"\n\n",
         {"ERROR: unable to set video mode", ": shuting down SDL\n", ": file system shutdown\n"}, {}},
        // A wall picture that is missing ends the editor at start, before its
        // chooser (which would wait for ever on the dummy display).
        {EDITOR, {}, {"towers.fenda", "torch.png"}, "dummy", "dummy", 3, "\n\nERROR: can't open real file \"torch.png\"\n\n",
         {": video mode [SDL window] 1024x768 ", ": shuting down SDL\n"}, {}},
    };
    for (const auto &r : runs) {
        SCOPED_TRACE("run " + std::to_string(&r - runs));
        temp_dir dir;
        copy_data_set(dir.path, {".log"});
        for (const std::string &s : r.settings) set_config(dir.file("fenda2.config"), s.substr(0, s.find('=')), s.substr(s.find('=') + 1));
        for (const std::string &f : r.removed) fs::remove(dir.file(f));
        const std::string log_name = r.program == GAME ? "fenda2.log" : "fenda_editor.log";
        const std::vector<std::string> env = {"SDL_VIDEODRIVER=" + r.video, "SDL_AUDIODRIVER=" + r.audio};
        run_result got = r.status == 0 ? run_game_to_menu({r.program}, dir.path, env) : run_program({r.program}, dir.path, env, 10000);
        EXPECT_EQ(got.status, r.status);
        EXPECT_EQ(r.out.size() > 2 && r.out.compare(r.out.size() - 2, 2, "\n\n") == 0 ? got.out : got.out.substr(0, r.out.size()), r.out);
        const std::string log = read_file(dir.file(log_name));
        EXPECT_TRUE(in_order(log, r.logged)) << log;
        for (const std::string &n : r.not_logged) EXPECT_EQ(log.find(n), std::string::npos) << n;
    }
}

// In a real window, without sound, the menu shows a note in red under the
// choices (the start picture's place: draw_test.cpp); a key that chooses
// nothing is dropped and Escape ends the game on its press.
TEST(ProcessStart, TheMenuNotesTheSilenceAndEscapeEnds) {
    ASSERT_TRUE(x_tools_installed()) << "Xvfb, xdotool or xwd is not installed";
    game_session s(640, "no_such_driver");
    ASSERT_TRUE(s.start()) << "no menu: " << s.report();
    EXPECT_TRUE(s.shows([&](const x_image &shot) {
        for (int y = 370; y < 383; y++)
            for (int x = 160; x < 400; x++)
                if (shot.at(x, y) == xpixel{192, 16, 16}) return true;
        return false;
    }));
    ASSERT_TRUE(s.key("x"));
    ASSERT_TRUE(s.xdo({"keydown", "Escape"}));
    ASSERT_EQ(s.game->wait(30000), 0) << s.report();
    s.xdo({"keyup", "Escape"});
    EXPECT_EQ(s.game->out(), "\n\nInvalid user - replace and strike any key\n\n");
}

// The editor links SDL and SDL_image only: neither the mixer nor the network
// library may be needed to start it.
TEST(ProcessStart, TheEditorNeedsNeitherMixerNorNetwork) {
    run_result r = run_program({"/usr/bin/readelf", "-d", EDITOR}, "/");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("[libSDL-1.2.so"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("[libSDL_image-1.2.so"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("libSDL_mixer"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("libSDL_net"), std::string::npos) << r.out;
}

}  // namespace
