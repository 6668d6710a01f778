// The map loader: list orders and records the golden fight cannot tell
// apart, the reading rules, and the fatal messages with their line numbers.
#include <gtest/gtest.h>

#include "frame/log.h"
#include "world_fixture.h"

namespace {

constexpr int32_t PX = FIXED_ONE;

// Lines 3 to 23 of the map; player 3 is not playing.
const std::vector<std::string> SAMPLE = {
    "500 0 WALL wall.png", "132 0 WALL wall2.png", "0 16 DECORATION deco.png", "50 16 LADDER ladder.png",
    "200 40 PLATFORM 65536 -32768 plat.png", "300 40 PLATFORM 0 0 plat.png", "10 10 TRIGGER 30 40 REDIRECT 5 -6",
    "20 20 TRIGGER 8 9 TELEPORT SILENT ( MONSTER ITEM ) 400 300", "30 30 TRIGGER 8 9 TELEPORT [ ) 1 2",
    "40 16 ITEM HEALTH", "60 16 ITEM SHOTGUN", "80 16 ITEM CELL_BIG", "120 16 PLAYER 0 hero.monster",
    "150 16 PLAYER 1 hero.monster", "170 16 PLAYER 3 hero.monster", "180 16 MONSTER imp.monster",
    "190 16 MONSTER imp.monster", "500 100 DM_START ", "600 100 DM_START ", "480 100 WALL wall.png",
    "-10 200 WALL wall.png"};

std::vector<int32_t> xs_of(list_node *list) {
    std::vector<int32_t> out;
    for (object *o : records_of<object>(list)) out.push_back(o->x / PX);
    return out;
}

struct MapLoad : ::testing::Test {
    world_env env;
    void SetUp() override { write_world_data(); }
    void load(const std::vector<std::string> &lines, int players = 2) {
        write_file("m.fenda", map_text(lines));
        env.players(players);
        load_map("m.fenda");
    }
};

// What the golden fight's digest does not hold or testmap.fenda lacks: the
// list order of walls, SILENT, an empty kinds list, an absent player.
// (Records, ids, velocities and the object list's order are in the digest.)
TEST_F(MapLoad, SampleMapBuildsEveryKindInReverseFileOrder) {
    load(SAMPLE);
    // Every line but the absent player's and the two starts made an object,
    // the last line's first.
    std::vector<object *> objs = records_of<object>(object_list);
    EXPECT_EQ(xs_of(object_list), (std::vector<int32_t>{-10, 480, 190, 180, 150, 120, 80, 60, 40, 30, 20, 10, 300, 200,
                                                 50, 0, 132, 500}));
    EXPECT_EQ(xs_of(wall_list), (std::vector<int32_t>{-10, 480, 132, 500}));
    EXPECT_EQ(objs[0]->sprite, objs.back()->sprite);  // one picture, loaded once
    std::vector<trigger *> trigs = records_of<trigger>(trigger_list);
    ASSERT_EQ(trigs.size(), 3u);
    EXPECT_EQ(trigs[1]->silent, 1);
    for (int k = 0; k < OBJ_KINDS; k++)
        EXPECT_EQ(trigs[1]->kinds[k], k == OBJ_MONSTER || k == OBJ_ITEM) << kind_names[k];
    EXPECT_EQ(trigs[0]->silent, 0);
    for (int k = 0; k < OBJ_KINDS; k++) EXPECT_EQ(trigs[0]->kinds[k], 0);
    EXPECT_EQ(records_of<creature>(creature_list).size(), 4u);
    EXPECT_EQ(views[3].creature->body, nullptr);
    EXPECT_EQ(dm_start_count, 2);
}

TEST_F(MapLoad, ReadingRules) {
    env.players(0);
    // An empty line between object lines is absorbed into the next x; CR LF
    // line ends read as LF; a number read as a rest of line ignores what
    // follows its digits.
    write_file("m.fenda", "700 300 back.png\r\n\r\nstatus.png\r\n\r\n"
                          "5 6 WALL wall.png\r\n\r\n7 8 TRIGGER 1 1 REDIRECT 3 4xyz\r\n \r\n");
    load_map("m.fenda");
    std::vector<object *> objs = records_of<object>(object_list);
    ASSERT_EQ(objs.size(), 2u);
    EXPECT_EQ(objs[1]->x, 5 * PX);
    EXPECT_EQ(objs[0]->x, 7 * PX);
    EXPECT_EQ(static_cast<trigger *>(objs[0]->owner)->value2, 4);
}

TEST_F(MapLoad, SpriteNamesFromThirtyTwoCharactersWarnAndAreCut) {
    std::string name31 = std::string(27, 'a') + ".png", name32 = std::string(28, 'b') + ".png";
    save_box(name31, 4, 4);
    save_box(name32, 4, 4);
    log_reset(LOG_CHANNELS_GAME, "w.log");
    write_file("m.fenda", map_text({"0 0 WALL " + name31, "0 0 WALL " + name32, "0 0 WALL " + name32}));
    load_map("m.fenda");
    log_close();
    log_enabled = false;
    std::string log = read_file("w.log");
    EXPECT_EQ(log.find(name31), std::string::npos);
    std::string warning = "WARNING: sprite \"" + name32 + "\" has too long name (should be less than 32 symbols)\n";
    // The cut entry is never found again: the second line loads anew.
    size_t first = log.find(warning);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find(warning, first + 1), std::string::npos);
    std::vector<object *> objs = records_of<object>(object_list);
    EXPECT_NE(objs[0]->sprite, objs[1]->sprite);
}

TEST_F(MapLoad, DeathmatchStartsStopAt128) {
    std::vector<std::string> lines(128, "1 2 DM_START ");
    write_file("m.fenda", map_text(lines));
    load_map("m.fenda");
    EXPECT_EQ(dm_start_count, 128);
    // The table is kept across loads: one more start is one too many.
    write_file("n.fenda", map_text({"3 4 DM_START "}));
    EXPECT_EXIT(load_map("n.fenda"), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): only 128 DeathMatch start locations are allowed");
}

TEST_F(MapLoad, BadLinesAndHeadsEndTheProgramNamingFileAndLine) {
    env.players(2);
    const std::string long_word(80, 'w'), head = "600 300 back.png\n\nstatus.png\n\n";
    const struct {
        std::string text;
        int code;
        std::string message;
    } cases[] = {
        {map_text({"0 0 WALL wall.png", "1 1 BLOB x"}), 16, "unknown object type \"BLOB\" in file \"m.fenda\" line 4"},
        {map_text({"0 0 TRIGGER 5 5 TELEPORT ( MONSTER WALL ) 1 2"}), 16, "illegal object type \"WALL\" in file \"m.fenda\" line 3"},
        {map_text({"0 0 PLAYER 1 hero.monster", "0 0 PLAYER 3 hero.monster", "0 0 PLAYER 1 hero.monster"}), 16,
         "player 1 encoutered on fenda \"m.fenda\" line 5 more than once"},
        // Choices: player numbers outside the table, empty sprite names,
        // fields too long for the reader, coordinates beyond 16.16.
        {map_text({"0 0 PLAYER 4 hero.monster"}), 16, "player number 4 out of range \\(0 to 3\\) in file \"m.fenda\" line 3"},
        {map_text({"0 0 DM_START ", "0 0 WALL "}), 16, "empty sprite name in file \"m.fenda\" line 4"},
        {map_text({"0 0 WALL " + long_word}), 16, "too long word or line \\(80 characters or more\\) in file \"m.fenda\" line 3"},
        {map_text({"40000 0 WALL wall.png"}), 16, "x 40000 out of range \\(-32768 to 32767\\) in file \"m.fenda\" line 3"},
        {map_text({"0 0 WALL nowhere.png"}), 3, "can't open real file \"nowhere.png\""},
        // An empty line right before the end line joins it to an object
        // line: the reader runs into the end of the file.
        {head + "0 0 PLAYER 0 hero.monster\n\n \n", 3, "error reading file \"m.fenda\""},
        {"0 300 back.png\n\nstatus.png\n\n \n", 16, "map width 0 out of range \\(1 to 32767\\) in file \"m.fenda\" head line 1"},
        {"600 300 back.png\nnone.ogg\n\n\n \n", 16, "empty status picture name in file \"m.fenda\" head line 3"},
        {"600 300 back.png\n\nrn1.png\n\n \n", 16, "status picture \"rn1.png\" is 5x6 pixels, at least 160x240 are needed"},
        // A taking-part player needs a body.
        {head + " \n", 16, "no PLAYER line for player 0 in file \"m.fenda\""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        write_file("m.fenda", c.text);
        EXPECT_EXIT(load_map("m.fenda"), ::testing::ExitedWithCode(c.code), "sys_exit\\(" + std::to_string(c.code) + "\\): " + c.message);
    }
}

}  // namespace
