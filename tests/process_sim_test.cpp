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

TEST(ProcessSim, HashesEveryHundredFramesAndAtTheEndAndBenchmarksWithoutThem) {
    run_result r = sim({"testmap.fenda", "250"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = r.out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(r.out.substr(at, end - at));
    ASSERT_EQ(lines.size(), 7u) << r.out;
    EXPECT_EQ(lines[0].substr(0, 10), "frame 100 ");
    EXPECT_EQ(lines[1].substr(0, 10), "frame 200 ");
    EXPECT_EQ(lines[2].substr(0, 10), "frame 250 ");
    EXPECT_EQ(lines[2].size(), 10u + 16u);
    EXPECT_EQ(lines[3], "player 0 state 1 health 100 frags 0 weapon 0 ammo 0 x 128 y 64");

    r = sim({"--bench", "testmap.fenda", "200", GOLDEN + "fight.script"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("frame "), std::string::npos);
    size_t fps = r.out.rfind("frames per second ");
    ASSERT_NE(fps, std::string::npos);
    EXPECT_GT(std::stol(r.out.substr(fps + 18)), 0);
    EXPECT_EQ(r.out.back(), '\n');
}

TEST(ProcessSim, BadArgumentsScriptsAndMapsEndWithTheirMessages) {
    temp_dir dir;
    write_file(dir.file("bad.script"), "# fine\n0 1 5\n\n10 4 1\n");
    run_result r = sim({"testmap.fenda", "10", dir.file("bad.script")});
    EXPECT_EQ(r.status, 16);
    EXPECT_NE(r.out.find("bad event \"10 4 1\" in script \"" + dir.file("bad.script") + "\" line 4"),
              std::string::npos)
        << r.out;
    write_file(dir.file("bad.script"), "5 0 64\n");  // not a control event
    EXPECT_EQ(sim({"testmap.fenda", "10", dir.file("bad.script")}).status, 16);

    r = sim({"testmap.fenda", "10", dir.file("missing.script")});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("can't open script"), std::string::npos);
    r = sim({dir.file("missing.fenda"), "10"});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("missing.fenda"), std::string::npos);
    write_file(dir.file("broken.fenda"), "100 100 bg_dusk.jpg\n\nstatus_panel.png\n\n0 0 BRIDGE x.png\n \n");
    r = sim({dir.file("broken.fenda"), "10"});
    EXPECT_EQ(r.status, 16);
    EXPECT_NE(r.out.find("unknown object type \"BRIDGE\""), std::string::npos) << r.out;
    EXPECT_EQ(sim({"testmap.fenda", "-1"}).status, 16);
    EXPECT_EQ(sim({"testmap.fenda"}).status, 16);
}

}  // namespace
