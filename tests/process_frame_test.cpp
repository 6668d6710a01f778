// The real programs' command line, console output, exit status and log,
// and the shared libraries the editor needs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "menu_quit_util.h"
#include "test_util.h"

namespace {

const std::string game_version = "version 2.0/75 built Jan 30 2005 22:39:06";
const std::string editor_version = "version 2.0/75 build Jan 30 2005 22:35:46";

const std::string help_text =
    "\n"
    "  --help                  help summary\n"
    "  --version               show version and exit\n"
    "  --no-log-file           don't write log file\n"
    "  --log-file <filename>   write log to file <filename>\n";

const std::vector<std::string> dummy_env = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};

run_result run_game(const temp_dir &dir, std::vector<std::string> args = {}) {
    args.insert(args.begin(), FENDA_GAME_BIN);
    return run_program(args, dir.path, dummy_env);
}

run_result run_editor(const temp_dir &dir, std::vector<std::string> args = {}) {
    args.insert(args.begin(), FENDA_EDITOR_BIN);
    return run_program(args, dir.path, dummy_env);
}

// A working directory in which both programs start and end normally: the
// data set when it is there, the configuration in any case.
void fill_working_dir(const temp_dir &dir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(FENDA_DATA_DIR, ec)) {
        for (const auto &e : fs::directory_iterator(FENDA_DATA_DIR)) {
            std::string name = e.path().filename();
            if (e.is_regular_file() && name.find(".log") == std::string::npos)
                fs::copy_file(e.path(), dir.file(name), fs::copy_options::overwrite_existing, ec);
        }
    }
    if (!file_exists(dir.file("fenda2.config")))
        write_file(dir.file("fenda2.config"), "colour=24\neditor_screen_wid=800\neditor_screen_hgt=600\n\n");
}

TEST(ProcessFrame, VersionAndHelpPrintTheirBannersAndCreateNoLog) {
    temp_dir dir;
    run_result r = run_game(dir, {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\nTrelm 2D: fenda " + game_version + "\n\n\n\n\n");

    r = run_game(dir, {"--help"});
    EXPECT_EQ(r.status, 0);
    std::string help = "\nTrelm 2D: fenda\n" + game_version + "\n" + help_text + "\n\n\n\n";
    EXPECT_EQ(r.out, help);
    r = run_game(dir, {"/?"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, help);

    r = run_editor(dir, {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\nTrelm 2D: fenda editor " + editor_version + "\n\n\n\n\n");
    r = run_editor(dir, {"/?"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\nTrelm 2D: fenda editor\n" + editor_version + "\n" + help_text + "\n\n\n\n");

    // Options before --version are read first; --log-file switches the log
    // on, yet --version still writes nothing.
    r = run_game(dir, {"--log-file", "named.log", "--bogus", "--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\nunknown option - \"--bogus\"\n\nTrelm 2D: fenda " + game_version + "\n\n\n\n\n");

    EXPECT_TRUE(std::filesystem::is_empty(dir.path));
}

TEST(ProcessFrame, MissingConfigurationEndsWithFileErrorInBothPrograms) {
    temp_dir dir;
    run_result r = run_game(dir);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "\n\nERROR: can't open real file \"fenda2.config\"\n\n");
    EXPECT_EQ(read_file(dir.file("fenda2.log")),
              ": Fenda 2 [" + game_version + "]\n"
              ": initializing file system\n"
              ": parsing \"fenda2.config\"\n"
              "ERROR: can't open real file \"fenda2.config\"\n"
              ": file system shutdown\n");

    r = run_editor(dir);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "\n\nERROR: can't open real file \"fenda2.config\"\n\n");
    EXPECT_EQ(read_file(dir.file("fenda_editor.log")),
              ": Fenda editor [" + editor_version + "]\n"
              ": initializing file system\n"
              ": parsing \"fenda2.config\"\n"
              "ERROR: can't open real file \"fenda2.config\"\n"
              ": file system shutdown\n");
}

TEST(ProcessFrame, LogOptionsOverrideEachOtherInOrder) {
    temp_dir dir;
    // --no-log-file and a fatal end: the console still reports, no file.
    run_result r = run_game(dir, {"--no-log-file"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "\n\nERROR: can't open real file \"fenda2.config\"\n\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path));

    r = run_game(dir, {"--no-log-file", "--log-file", "other.log"});
    EXPECT_EQ(r.status, 3);
    EXPECT_FALSE(file_exists(dir.file("fenda2.log")));
    EXPECT_NE(read_file(dir.file("other.log")).find("ERROR: can't open real file"), std::string::npos);

    r = run_editor(dir, {"--log-file", "first.log", "--no-log-file"});
    EXPECT_EQ(r.status, 3);
    EXPECT_FALSE(file_exists(dir.file("first.log")));
    EXPECT_FALSE(file_exists(dir.file("fenda_editor.log")));
}

TEST(ProcessFrame, LogFileWithoutNameIsReportedAndTheDefaultKept) {
    temp_dir dir;
    run_result r = run_game(dir, {"--log-file"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "\nunknown option - \"--log-file\"\n\n\nERROR: can't open real file \"fenda2.config\"\n\n");
    EXPECT_TRUE(file_exists(dir.file("fenda2.log")));
}

TEST(ProcessFrame, ConfigurationErrorEndsBeforeAnythingElseStarts) {
    temp_dir dir;
    write_file(dir.file("fenda2.config"), "colour=24\nbogus\n\n");
    run_result r = run_game(dir);
    EXPECT_EQ(r.status, 16);
    EXPECT_EQ(r.out, "\n\nERROR: error parsing \"fenda2.config\" line 1\n\n");
    EXPECT_EQ(read_file(dir.file("fenda2.log")),
              ": Fenda 2 [" + game_version + "]\n"
              ": initializing file system\n"
              ": parsing \"fenda2.config\"\n"
              "ERROR: error parsing \"fenda2.config\" line 1\n"
              ": file system shutdown\n");
}

// The editor ends normally only after a map was chosen in its window:
// process_editor_test.cpp checks its normal end under Xvfb. The game waits
// in its menu and is ended there by the close request, an end with code 0
// like the normal one ("Normal shutdown" after a game and Escape in the menu
// are checked in a real window by process_game_test.cpp).
TEST(ProcessFrame, EndWithCodeZeroOfTheGame) {
    temp_dir dir;
    fill_working_dir(dir);
    write_file(dir.file("fenda2.log"), "an old log that must go\n");
    run_result r = run_game_to_menu({FENDA_GAME_BIN, "--unknown"}, dir.path, dummy_env);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "\nunknown option - \"--unknown\"\n\n\nQUIT event caught\n\n");
    std::string log = read_file(dir.file("fenda2.log"));
    EXPECT_EQ(log.rfind(": Fenda 2 [" + game_version + "]\n: initializing file system\n", 0), 0u) << log;
    EXPECT_EQ(log.find("an old log"), std::string::npos);
    size_t end = log.find("ERROR: QUIT event caught\n");
    ASSERT_NE(end, std::string::npos) << log;
    // The shutdowns follow the last message; the log closes last.
    EXPECT_NE(log.find(": file system shutdown\n", end), std::string::npos);
}

TEST(ProcessFrame, UncreatableLogLeavesTheProgramRunning) {
    temp_dir dir;
    fill_working_dir(dir);
    mkdir(dir.file("fenda2.log").c_str(), 0755);
    run_result r = run_game_to_menu({FENDA_GAME_BIN}, dir.path, dummy_env);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "\n\nQUIT event caught\n\n");
}

// The editor links SDL and SDL_image only: neither the mixer nor the network
// library may be needed to start it.
TEST(ProcessFrame, TheEditorNeedsNeitherMixerNorNetwork) {
    temp_dir dir;
    run_result r = run_program({"/usr/bin/readelf", "-d", FENDA_EDITOR_BIN}, dir.path);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("[libSDL-1.2.so"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("[libSDL_image-1.2.so"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("libSDL_mixer"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("libSDL_net"), std::string::npos) << r.out;
}

}  // namespace
