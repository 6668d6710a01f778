// Weapon set-up and the ".missle" reader, and the fixed direction tables
// checked against the formula they come from.
#include <gtest/gtest.h>

#include <cmath>

#include "world_fixture.h"

namespace {

// Entry k of n with radius R and start angle a0, truncated toward zero.
velocity formula(int k, int n, double r, double a0) {
    double a = a0 + 2 * M_PI * k / n;
    return {(int32_t)std::trunc(r * std::cos(a)), (int32_t)std::trunc(r * std::sin(a))};
}

TEST(DirectionTables, MatchTheirRadiusAndAngle) {
    for (int k = 0; k < BLAST_RAYS; k++) {
        velocity f = formula(k, BLAST_RAYS, 140000, 0);
        EXPECT_EQ(blast_rays[k].vx, f.vx) << k;
        EXPECT_EQ(blast_rays[k].vy, f.vy) << k;
    }
    const double plasma[3][2] = {{140000, 0.03}, {130000, 0.35}, {137000, M_PI / 8}};
    const double shell[3][2] = {{140000, 0.07}, {130000, 0.35}, {120000, M_PI / 11}};
    for (int p = 0; p < SPARK_PATTERNS; p++) {
        for (int k = 0; k < PLASMA_SPARKS; k++) {
            velocity f = formula(k, PLASMA_SPARKS, plasma[p][0], plasma[p][1]);
            EXPECT_EQ(plasma_sparks[p][k].vx, f.vx) << p << "," << k;
            EXPECT_EQ(plasma_sparks[p][k].vy, f.vy) << p << "," << k;
        }
        for (int k = 0; k < SHELL_SPARKS; k++) {
            velocity f = formula(k, SHELL_SPARKS, shell[p][0], shell[p][1]);
            EXPECT_EQ(shell_sparks[p][k].vx, f.vx) << p << "," << k;
            EXPECT_EQ(shell_sparks[p][k].vy, f.vy) << p << "," << k;
        }
    }
}

struct MissileFile : ::testing::Test {
    world_env env;
    missile_definition m{};
    explosion_definition e{};
    void SetUp() override { write_world_data(); }
};

// Every line loads its own picture, so lines naming one file keep their own
// offsets (the data set never does that, so the golden fight cannot tell),
// and eight frames, the most a definition holds, are read.
TEST_F(MissileFile, SharedPicturesKeepTheirOffsetsAndEightFramesAreRead) {
    write_file("eight.missle", missle_text("plasma", 8));
    load_missile_file(&m, &e, "eight.missle");
    for (int d = 0; d < DIRECTIONS; d++) EXPECT_EQ(m.directions[d].picture->dx, d);
    EXPECT_EQ(e.frame_count, 8);
    EXPECT_EQ(e.frames[7].ticks, 9);
}

TEST_F(MissileFile, BadFilesAreRefusedWithFileAndLine) {
    std::string no_end = missle_text("plasma", 1);
    no_end.resize(no_end.size() - 2);
    struct bad {
        std::string text;
        int code;
        std::string message;
    } cases[] = {
        {missle_text("plasma", 9), 16, "too many explosion frames in file \"x.missle\" line 17 \\(at most 8\\)"},
        // Without its closing blank line the reader runs into the end of the file.
        {no_end, 3, "error reading file \"x.missle\""},
        {" 0 0 1 1\n", 16, "empty picture name in file \"x.missle\" line 1"},
        {"plasma_dir.png 0 99999 1 1\n", 16, "drawing offset 99999 out of range \\(-32768 to 32767\\) in file \"x.missle\" line 1"},
        {std::string(60, 'p') + " 0 0 1 1\n", 16, "too long word or line \\(60 characters or more\\) in file \"x.missle\" line 1"},
    };
    // A frame of no duration would never end.
    std::string zero = missle_text("plasma", 2);
    zero.replace(zero.rfind(" 3\n"), 3, " 0\n");
    for (const bad &b : cases) {
        SCOPED_TRACE(b.message);
        write_file("x.missle", b.text);
        EXPECT_EXIT(load_missile_file(&m, &e, "x.missle"), ::testing::ExitedWithCode(b.code),
                    "sys_exit\\(" + std::to_string(b.code) + "\\): " + b.message);
    }
    write_file("x.missle", zero);
    EXPECT_EXIT(load_missile_file(&m, &e, "x.missle"), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): frame duration 0 out of range \\(1 to 2147483647\\) in file \"x.missle\" line 10");
}

}  // namespace
