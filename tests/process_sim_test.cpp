// The headless driver fenda_sim run as a program: the scripted fight gives
// the committed hashes in every build, the benchmark's output, and the
// messages and exit codes of bad arguments, scripts and maps.
#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace {

const std::string GOLDEN = std::string(FENDA_SOURCE_DIR) + "/tests/golden/";

run_result sim(std::vector<std::string> args) {
    args.insert(args.begin(), FENDA_SIM_BIN);
    return run_program(args, FENDA_DATA_DIR, {}, 120000);
}

TEST(ProcessSim, TheScriptedFightGivesTheCommittedHashes) {
    run_result r = sim({"testmap.fenda", "3000", GOLDEN + "fight.script"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::string expected = read_file(GOLDEN + "fight.out");
    ASSERT_FALSE(expected.empty());
    // When the simulation changes on purpose, tests/golden/fight.out is
    // rewritten with this run's output.
    EXPECT_EQ(r.out, expected);
}

// A run that does not end on a hundred hashes its last frame as well (the
// golden fight shows the hundreds and the players' lines).
TEST(ProcessSim, HashesTheLastFrameAndBenchmarksWithoutHashes) {
    run_result r = sim({"testmap.fenda", "250"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(in_order(r.out, {"frame 200 ", "\nframe 250 ", "\nplayer 0 state "})) << r.out;

    r = sim({"--bench", "testmap.fenda", "200", GOLDEN + "fight.script"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("frame "), std::string::npos);
    size_t fps = r.out.rfind("frames per second ");
    ASSERT_NE(fps, std::string::npos);
    EXPECT_GT(std::stol(r.out.substr(fps + 18)), 0);
}

TEST(ProcessSim, BadArgumentsScriptsAndMapsEndWithTheirMessages) {
    temp_dir dir;
    write_file(dir.file("bad.script"), "# fine\n0 1 5\n\n10 4 1\n");
    write_file(dir.file("broken.fenda"), "100 100 bg_dusk.jpg\n\nstatus_panel.png\n\n0 0 BRIDGE x.png\n \n");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } runs[] = {
        {{"testmap.fenda", "10", dir.file("bad.script")}, 16, "bad event \"10 4 1\" in script \"" + dir.file("bad.script") + "\" line 4"},
        {{"testmap.fenda", "10", dir.file("missing.script")}, 3, "can't open script"},
        {{dir.file("broken.fenda"), "10"}, 16, "unknown object type \"BRIDGE\""},
        {{"testmap.fenda"}, 16, ""},
    };
    for (const auto &run : runs) {
        run_result r = sim(run.args);
        EXPECT_EQ(r.status, run.status) << run.args[0];
        EXPECT_NE(r.out.find(run.message), std::string::npos) << r.out;
    }
}

}  // namespace
