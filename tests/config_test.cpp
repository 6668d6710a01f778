// Reading "fenda2.config": every key, the case and trimming rules, the
// player digit rule and the errors with their exit codes.
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

// Every setting on one line, to compare whole configurations.
std::string settings() {
    const config_record &c = config;
    std::string s = std::string(c.fullscreen ? "fullscreen" : "window") + " " + std::to_string(c.colour) +
                    (c.silent ? " silent" : " sound");
    for (const auto &name : c.player_name) s += " [" + std::string(name) + "]";
    return s + " " + c.server + " " + std::to_string(c.net_packet_interval) + " " + std::to_string(c.net_control_interval) +
           " " + std::to_string(c.net_control_send_time) + " " + std::to_string(c.editor_screen_wid) + "x" +
           std::to_string(c.editor_screen_hgt);
}

TEST_F(ConfigTest, WhatEachFileSets) {
    const std::string s73(73, 's'), s59(59, 's');
    const struct {
        std::string text, settings;
    } files[] = {
        // Keys in any case; names cut to 15 characters, nothing trimmed;
        // numbers as C reads them; on/off values only ever switch on.
        {"FullScreen=ON\ncolour=16\nSound=on\nplayer1=Alice\nPLAYER2=Bob the builder and more\nplayer3=\nplayer4= spaced \n"
         "server=192.0.2.7\npacket_interval=  -75xyz\nnet_control_interval=+30\nnet_control_send=abc\n"
         "editor_screen_wid=1024\neditor_screen_hgt=768\n\n",
         "fullscreen 16 sound [Alice] [Bob the builder] [] [ spaced ] 192.0.2.7 -75 30 0 1024x768"},
        // Only the seventh character names the player.
        {"player12=Twelve\nplayer2xyz=Two\n\n", "window 24 silent [Twelve] [Two] [Third] [Fourth] 127.0.0.1 150 20 16 0x0"},
        // Nothing after the empty line is read; a line of 80 characters is
        // read whole, the server cut.
        {"colour=32\n\nthis line has no equals sign\ncolour=8\n", "window 32 silent [First] [Second] [Third] [Fourth] 127.0.0.1 150 20 16 0x0"},
        {"#" + std::string(79, 'c') + "\nserver=" + s73 + "\ncolour=8\n\n",
         "window 8 silent [First] [Second] [Third] [Fourth] " + s59 + " 150 20 16 0x0"},
    };
    for (const auto &f : files) {
        config_defaults(false);
        read(f.text);
        EXPECT_EQ(settings(), f.settings) << f.text;
    }
}

using ConfigDeathTest = ConfigTest;

TEST_F(ConfigDeathTest, BadFilesEndTheProgramNamingTheLine) {
    const struct {
        std::string text;
        int code;
        const char *message;
    } files[] = {
        {"volume=3\n\n", 16, "error parsing \"fenda2.config\" line 0\n"},
        {"colour=8\n#" + std::string(80, 'c') + "\ncolour=9\n\n", 16, "\"fenda2.config\" line 1 is longer than 80 characters\n"},
        {"player5=x\n\n", 16, "\"fenda2.config\" line 0 wrong player number 4\n"},
        // The empty line that ends the file is missing.
        {"colour=16\n", 3, "error reading file \"fenda2.config\""},
    };
    for (const auto &f : files)
        EXPECT_EXIT(read(f.text), ::testing::ExitedWithCode(f.code),
                    "sys_exit\\(" + std::to_string(f.code) + "\\): " + f.message);
}

}  // namespace
