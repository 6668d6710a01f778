// Creature descriptions (".monster"). What the data set's descriptions give
// and the reset to a fresh life are in the golden fight's digests (all five
// descriptions, respawns on jump); views are made and freed by every game.
#include <gtest/gtest.h>

#include "world_fixture.h"

namespace {

struct MonsterFile : ::testing::Test {
    world_env env;
    creature c{};
    object body{};
    void SetUp() override {
        write_world_data();
        c.body = &body;
    }
};

// Lines naming one picture file keep their own offsets.
TEST_F(MonsterFile, SharedPicturesKeepTheirOffsets) {
    load_monster(&c, "hero.monster");
    for (int i = 0; i < CREATURE_FRAMES; i++) EXPECT_EQ(c.frames[i].picture->dx, i);
}

TEST_F(MonsterFile, BadDescriptionsAreRefusedWithFileAndLine) {
    std::string good = monster_text(18, 28);
    auto with_line = [&](int line, const std::string &text) {
        std::string t = good;
        size_t start = 0;
        for (int i = 1; i < line; i++) start = t.find('\n', start) + 1;
        t.replace(start, t.find('\n', start) - start, text);
        return t;
    };
    struct bad {
        std::string text;
        int code;
        std::string message;
    } cases[] = {
        {with_line(1, "0"), 16, "body width 0 out of range \\(1 to 32767\\) in file \"x.monster\" line 1"},
        // Frame 11 (line 14) lasting no tick would make every turn endless.
        {with_line(14, "hero0.png 0 0 0"), 16, "frame duration 0 out of range \\(1 to 2147483647\\) in file \"x.monster\" line 14"},
        {with_line(37, "0"), 16, "maximum health 0 out of range \\(1 to 32767\\) in file \"x.monster\" line 37"},
        {good.substr(0, good.size() - 4), 3, "error reading file \"x.monster\""},
    };
    for (const bad &b : cases) {
        SCOPED_TRACE(b.message);
        write_file("x.monster", b.text);
        EXPECT_EXIT(load_monster(&c, "x.monster"), ::testing::ExitedWithCode(b.code),
                    "sys_exit\\(" + std::to_string(b.code) + "\\): " + b.message);
    }
}

}  // namespace
