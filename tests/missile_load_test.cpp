// The ".missle" reader: what the data set's files cannot show, and its
// refusals.
#include <gtest/gtest.h>

#include "world_fixture.h"

namespace {

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
