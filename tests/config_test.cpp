// Reading "fenda2.config": defaults, every key, the case and trimming rules,
// the player digit rule and every error with its exit code.
#include <gtest/gtest.h>

#include <string>

#include "core/files.h"
#include "frame/config.h"
#include "test_util.h"

namespace {

struct ConfigTest : ::testing::Test {
    temp_dir dir;
    void SetUp() override {
        config_defaults(false);
        fs_init();
    }
    void TearDown() override { fs_shutdown(); }
    // Writes the text as "fenda2.config" in the test directory and reads it.
    void read(const std::string &text) {
        write_file(dir.file("fenda2.config"), text);
        scoped_cwd cwd(dir.path);
        config_read("fenda2.config");
    }
};

TEST_F(ConfigTest, DefaultsOfGameAndEditor) {
    EXPECT_FALSE(config.fullscreen);
    EXPECT_EQ(config.colour, 24);
    EXPECT_TRUE(config.silent);
    EXPECT_STREQ(config.player_name[0], "First");
    EXPECT_STREQ(config.player_name[3], "Fourth");
    EXPECT_STREQ(config.server, "127.0.0.1");
    EXPECT_EQ(config.net_packet_interval, 150);
    EXPECT_EQ(config.net_control_interval, 20);
    EXPECT_EQ(config.net_control_send_time, 16);
    EXPECT_EQ(config.editor_screen_wid, 0);
    EXPECT_EQ(config.editor_screen_hgt, 0);
    config_defaults(true);
    for (auto &name : config.player_name) EXPECT_STREQ(name, "Nameless");
    EXPECT_EQ(config.colour, 24);
}

TEST_F(ConfigTest, OnlyCommentsLeaveTheDefaults) {
    read("# a comment\n#fullscreen=on\n\n");
    EXPECT_FALSE(config.fullscreen);
    EXPECT_TRUE(config.silent);
    EXPECT_STREQ(config.player_name[1], "Second");
}

TEST_F(ConfigTest, EveryKeyTakesItsValue) {
    read("FullScreen=ON\n"
         "colour=16\n"
         "Sound=on\n"
         "player1=Alice\n"
         "PLAYER2=Bob the builder and more\n"
         "player3=\n"
         "player4= spaced \n"
         "server=192.0.2.7\n"
         "packet_interval=  -75xyz\n"
         "net_control_interval=+30\n"
         "net_control_send=abc\n"
         "editor_screen_wid=1024\n"
         "editor_screen_hgt=768\n"
         "\n");
    EXPECT_TRUE(config.fullscreen);
    EXPECT_EQ(config.colour, 16);
    EXPECT_FALSE(config.silent);
    EXPECT_STREQ(config.player_name[0], "Alice");
    EXPECT_STREQ(config.player_name[1], "Bob the builder");  // cut to 15 characters
    EXPECT_STREQ(config.player_name[2], "");
    EXPECT_STREQ(config.player_name[3], " spaced ");  // nothing is trimmed
    EXPECT_STREQ(config.server, "192.0.2.7");
    EXPECT_EQ(config.net_packet_interval, -75);
    EXPECT_EQ(config.net_control_interval, 30);
    EXPECT_EQ(config.net_control_send_time, 0);
    EXPECT_EQ(config.editor_screen_wid, 1024);
    EXPECT_EQ(config.editor_screen_hgt, 768);
}

TEST_F(ConfigTest, OnOffValuesOnlyEverSwitchOn) {
    read("fullscreen=yes\nsound=on\nsound=off\nfullscreen=off\n\n");
    EXPECT_FALSE(config.fullscreen);
    EXPECT_FALSE(config.silent);
}

TEST_F(ConfigTest, OnlyTheSeventhCharacterNamesThePlayer) {
    read("player12=Twelve\nplayer2xyz=Two\n\n");
    EXPECT_STREQ(config.player_name[0], "Twelve");
    EXPECT_STREQ(config.player_name[1], "Two");
}

TEST_F(ConfigTest, LongValuesAreCut) {
    std::string server(70, 's');
    read("server=" + server + "\n\n");
    EXPECT_EQ(std::string(config.server), std::string(59, 's'));
}

TEST_F(ConfigTest, NothingAfterTheEmptyLineIsRead) {
    read("colour=32\n\nthis line has no equals sign\ncolour=8\n");
    EXPECT_EQ(config.colour, 32);
}

TEST_F(ConfigTest, CrLfLinesReadLikeLfLines) {
    read("colour=15\r\nserver=host\r\n\r\n");
    EXPECT_EQ(config.colour, 15);
    EXPECT_STREQ(config.server, "host");
}

TEST_F(ConfigTest, EightyCharactersAreOneLineLongerLinesAreRefused) {
    // A line of 80 characters is read whole; the settings after it count.
    read("#" + std::string(79, 'c') + "\nserver=" + std::string(73, 's') + "\ncolour=8\n\n");
    EXPECT_EQ(std::string(config.server), std::string(59, 's'));
    EXPECT_EQ(config.colour, 8);
    // 81 characters: refused, naming the line itself.
    EXPECT_EXIT(read("colour=8\n#" + std::string(80, 'c') + "\ncolour=9\n\n"), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): \"fenda2.config\" line 1 is longer than 80 characters\n");
}

using ConfigDeathTest = ConfigTest;

TEST_F(ConfigDeathTest, BadLinesEndTheProgramWithTheirLineNumber) {
    EXPECT_EXIT(read("no equals sign\n\n"), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): error parsing \"fenda2.config\" line 0\n");
    EXPECT_EXIT(read("# c\ncolour=1\nfullscreen =on\n\n"), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): error parsing \"fenda2.config\" line 2\n");
    EXPECT_EXIT(read("volume=3\n\n"), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): error parsing \"fenda2.config\" line 0\n");
}

TEST_F(ConfigDeathTest, PlayerNumbersOutsideOneToFour) {
    EXPECT_EXIT(read("player5=x\n\n"), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): \"fenda2.config\" line 0 wrong player number 4\n");
    EXPECT_EXIT(read("#\nplayer0=x\n\n"), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): \"fenda2.config\" line 1 wrong player number -1\n");
    EXPECT_EXIT(read("player=x\n\n"), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): \"fenda2.config\" line 0 wrong player number -49\n");
}

TEST_F(ConfigDeathTest, MissingFileAndMissingEmptyLineAreFileErrors) {
    EXPECT_EXIT({
        scoped_cwd cwd(dir.path);
        config_read("fenda2.config");
    }, ::testing::ExitedWithCode(3), "sys_exit\\(3\\): can't open real file \"fenda2.config\"\n");
    EXPECT_EXIT(read("colour=16\n"), ::testing::ExitedWithCode(3),
                "sys_exit\\(3\\): error reading file \"fenda2.config\"");
}

}  // namespace
