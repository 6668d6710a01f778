// Replays: written and read back, damaged files and other maps and tables
// refused, the replay before kept when a recording cannot be written.
#include <gtest/gtest.h>

#include <unistd.h>

#include "game/recording.h"
#include "sim/control.h"
#include "sim/replay.h"
#include "world_fixture.h"

namespace {

// A replay of slots 0 and 2 (named "Ann" and ""), interval 20 and send
// frame 16, with three events and its end at frame 60.
std::string sample(int writer = 0, uint64_t map = 0x1122334455667788ull, uint64_t random = 42) {
    replay_info info = {};
    info.map_digest = map;
    info.random_digest = random;
    info.interval = 20;
    info.send_time = 16;
    info.writer = writer;
    info.slot_count = 2;
    info.slots[0] = {0, 0, "Ann"};
    info.slots[1] = {2, 2, ""};
    uint8_t header[REPLAY_HEADER_MAX], event[REPLAY_EVENT_SIZE], end[REPLAY_END_SIZE];
    std::string s(reinterpret_cast<char *>(header), replay_encode_header(&info, header));
    const int32_t events[3][3] = {{20, 0, CONTROL_RIGHT}, {20, 2, CONTROL_FIRE}, {40, 0, CONTROL_RIGHT + CONTROL_RELEASE}};
    for (const auto &e : events) {
        replay_encode_event(e[0], e[1], e[2], event);
        s.append(reinterpret_cast<char *>(event), sizeof event);
    }
    replay_encode_end(60, 0xABCDEF, end);
    return s.append(reinterpret_cast<char *>(end), sizeof end);
}

bool read(const std::string &bytes, replay_info *out, std::string *error) {
    char e[REPLAY_ERROR_MAX] = "";
    bool ok = replay_read(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(), out, e);
    *error = e;
    return ok;
}

TEST(Replay, WrittenFieldByFieldAndReadBack) {
    std::string bytes = sample(2);
    EXPECT_EQ(bytes.size(), 32u + 6 + 3 + 3 * 7 + 13);
    replay_info r;
    std::string error;
    ASSERT_TRUE(read(bytes, &r, &error)) << error;
    EXPECT_EQ(r.map_digest, 0x1122334455667788ull);
    EXPECT_EQ(r.writer, 2);
    ASSERT_EQ(r.slot_count, 2);
    EXPECT_STREQ(r.slots[0].name, "Ann");
    EXPECT_EQ(r.slots[1].slot, 2);
    EXPECT_EQ(r.event_count, 3);
    EXPECT_EQ(r.end_frame, 60);
    EXPECT_EQ(r.end_digest, 0xABCDEFu);
}

TEST(Replay, DamagedFilesAreRefusedNamingWhatAndWhere) {
    const std::string good = sample();
    struct damage {
        std::string bytes;
        const char *error;
    };
    auto with = [&](size_t at, std::string b) { return good.substr(0, at) + b + good.substr(at + b.size()); };
    const damage cases[] = {
        {"", "not a replay: no \"FENDA2RP\" at byte 0"},
        {with(8, "\x02"), "a replay version this program does not read at byte 8"},
        {with(26, std::string("\x10\x00\x11\x00", 4)), "control interval and send frame that cannot play at byte 26"},
        {with(31, "\x05"), "player slot count not 1 to 4 at byte 31"},
        {with(38, std::string(1, '\0')), "player slot repeated or above 3 at byte 38"},
        {with(34, "\x10"), "player name longer than 15 characters at byte 34"},
        {with(41, "X"), "a record that is neither an event nor the end at byte 41"},
        {with(46, "\x01"), "an event for a player slot that takes no part at byte 41"},
        {with(56, "\x09"), "an event earlier than the one before it at byte 55"},
        {good.substr(0, good.size() - 13), "the file ends before its end record at byte 62"},
        {good + "x", "bytes after the end record at byte 75"},
    };
    for (const damage &d : cases) {
        replay_info r;
        std::string error;
        EXPECT_FALSE(read(d.bytes, &r, &error)) << d.error;
        EXPECT_EQ(error, d.error);
    }
}

TEST(ReplayDeathTest, OtherMapsAndTablesEndTheProgram) {
    gfx_env env;
    write_file("testmap.fenda", "a map");
    write_file("random.table", "a table");
    uint64_t map, table;
    file_digest("testmap.fenda", &map);
    file_digest("random.table", &table);
    write_file("good.replay", sample(0, map, table));
    replay_info r;
    replay_load("good.replay", "testmap.fenda", &r);
    EXPECT_EQ(r.event_count, 3);
    write_file("testmap.fenda", "another map");
    EXPECT_EXIT(replay_load("good.replay", "testmap.fenda", &r), ::testing::ExitedWithCode(16),
                "\"good.replay\" was recorded with another \"testmap.fenda\"");
    write_file("testmap.fenda", "a map");
    write_file("random.table", "another table");
    EXPECT_EXIT(replay_load("good.replay", "testmap.fenda", &r), ::testing::ExitedWithCode(16),
                "\"good.replay\" was recorded with another \"random.table\"");
}

TEST(Replay, ARecordingThatCannotBeWrittenKeepsTheReplayBefore) {
    world_env env;
    env.players(1);
    write_file("testmap.fenda", "a map");
    write_file("random.table", "a table");
    write_file("fenda2.replay", "the replay before");
    turn_state turn = {1, 1, 0, 0, 0, 1};
    // A disk that is full: the writes fail, and the temporary file goes.
    ASSERT_EQ(symlink("/dev/full", "fenda2.replay.part"), 0);
    record_start(&turn, "testmap.fenda", "fenda2.replay");
    for (int i = 0; i < 2000; i++) {
        control_append(&views[0].creature->queues[0], CONTROL_FIRE, 0);
        record_turn_end(&turn);
        views[0].creature->queues[0].read = views[0].creature->queues[0].write;
    }
    record_finish();
    EXPECT_EQ(read_file("fenda2.replay"), "the replay before");
    EXPECT_FALSE(file_exists("fenda2.replay.part"));
}

}  // namespace
