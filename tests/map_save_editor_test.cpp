// The editor's map loader and writer: what loads is written back unchanged,
// every kind's line, and failures that must leave the previous file whole.
// (Removed and placed objects: the files process_editor_test.cpp saves.)
#include <gtest/gtest.h>

#include "editor/map_save.h"
#include "editor_fixture.h"

namespace {

const std::string HEAD = "700 500 bg_dusk.jpg\nfenda_arena.mod\nstatus_panel.png\n\n";
// Head and description names up to the map reader's limit are kept whole.
const std::string LONG_HEAD = "700 500 bg_dusk.jpg\n" + std::string(79, 'm') + "\nstatus_panel.png\n\n";

struct MapSave : ::testing::Test {
    editor_env env;
    std::string round_trip(const std::string &text) {
        write_file("in.fenda", text);
        load_map("in.fenda");
        save_map("out.fenda");
        return read_file("out.fenda");
    }
};

TEST_F(MapSave, EveryDataSetMapIsWrittenBackByteForByte) {
    int maps = 0;
    for (const auto &e : std::filesystem::directory_iterator(FENDA_DATA_DIR)) {
        std::string name = e.path().filename().string();
        if (e.path().extension() != ".fenda") continue;
        wipe_realm(RMT_GAME);
        load_map(name.c_str());
        save_map("copy.fenda");
        EXPECT_EQ(read_file("copy.fenda"), read_file(name)) << name;
        maps++;
    }
    EXPECT_GE(maps, 2);
    EXPECT_FALSE(file_exists("copy.fenda.tmp"));
}

TEST_F(MapSave, EveryKindKeepsItsLineAndOrder) {
    // Triggers with and without SILENT and flags, negative and large values,
    // platform velocities, a player number outside 0 to 3 and a description
    // name longer than 63 characters are kept as they were. (Every item
    // kind is in the data set's maps.)
    const std::string long_desc = std::string(66, 'h') + ".monster";
    std::filesystem::copy_file("hrack.monster", long_desc);
    const std::string text = LONG_HEAD +
                             "-17 -3 WALL stone_32.png\n"
                             "32 48 PLATFORM 65536 -32768 lift_48x16.png\n"
                             "0 16 LADDER ladder_32.png\n"
                             "5 6 DECORATION torch.png\n"
                             "10 20 TRIGGER 30 40 REDIRECT -65536 7\n"
                             "20 20 TRIGGER 8 9 TELEPORT SILENT ( MONSTER MISSLE PLATFORM ITEM ) 400 -300\n"
                             "30 30 TRIGGER 8 9 TELEPORT ( ) 1 2\n"
                             "120 16 PLAYER 7 fighter_blue.monster\n"
                             "180 16 MONSTER " + long_desc + "\n"
                             "500 100 DM_START \n"
                             " \n";
    EXPECT_EQ(round_trip(text), text);
    // Monsters show their description's half-way turn picture (players':
    // panel_editor_test.cpp).
    EXPECT_STREQ(editor_objects()[1]->sprite->name, "hrack_f_front.png");
}

// A save that stops half way leaves the earlier file as it was and no
// unfinished file beside it.
TEST_F(MapSave, FailedSaveKeepsThePreviousFile) {
    ::testing::FLAGS_gtest_death_test_style = "fast";  // the child shares this directory
    round_trip(HEAD + "0 0 WALL stone_32.png\n \n");
    const std::string before = "an earlier map\n";
    write_file("editor.fenda", before);
    editor_objects()[0]->kind = OBJ_MISSLE;  // a kind no map holds
    EXPECT_EXIT(save_map("editor.fenda"), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): can not save object of type 03 \\(3\\)h");
    EXPECT_EQ(read_file("editor.fenda"), before);
    EXPECT_FALSE(file_exists("editor.fenda.tmp"));

    EXPECT_EXIT(save_map("no_such_dir/editor.fenda"), ::testing::ExitedWithCode(3),
                "sys_exit\\(3\\): error opening file \"no_such_dir/editor.fenda.tmp\" for writing");
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
}

TEST_F(MapSave, LoaderRefusesWhatTheGameRefusesButAnEmptyStatusLine) {
    // The status picture is only written back: the game refuses it empty.
    const std::string no_status = "700 500 bg_dusk.jpg\n\n\n\n \n";
    EXPECT_EQ(round_trip(no_status), no_status);
    const std::pair<const char *, const char *> bad[] = {
        {"-32769 0 WALL stone_32.png\n", "x -32769 out of range \\(-32768 to 32767\\) in file \"bad.fenda\" line 4"},
        {"0 0 TRIGGER 5 5 TELEPORT ( ) 0 40000\n", "teleport destination 40000 out of range"}};
    for (const auto &[line, message] : bad) {
        write_file("bad.fenda", HEAD + "32767 -32768 WALL stone_32.png\n" + line + " \n");
        EXPECT_EXIT(load_map("bad.fenda"), ::testing::ExitedWithCode(16), message);
    }
}

TEST_F(MapSave, WarningsAndTheRescueOfUnsavedChanges) {
    const std::string players = "0 0 PLAYER 0 fighter_blue.monster\n0 0 PLAYER 1 fighter_blue.monster\n";
    const std::string more = "0 0 PLAYER 2 fighter_blue.monster\n0 0 PLAYER 3 fighter_blue.monster\n";
    const std::pair<std::string, const char *> maps[] = {
        {"", "no PLAYER 0 1 2 3; no DM start"},
        {players + "0 0 PLAYER 7 fighter_blue.monster\n0 0 DM_START \n0 0 DM_START \n", "no PLAYER 2 3"},
        {players + more + "0 0 DM_START \n0 0 DM_START \n", ""}};
    char text[STATUS_MESSAGE_MAX];
    for (const auto &[objects, warning] : maps) {
        wipe_realm(RMT_GAME);
        round_trip(HEAD + objects + " \n");
        map_warnings(text, sizeof text);
        EXPECT_STREQ(text, warning);
    }

    // Nothing unsaved, nothing written; after a removal the note names the
    // autosave (its contents at a fatal end and at the window's close:
    // process_editor_test.cpp).
    map_in_memory = true;
    history_clear();
    EXPECT_EQ(editor_rescue(), nullptr);
    remove_object_at(0, 0);
    const std::string note = "unsaved changes are in \"editor.fenda.autosave\"";
    EXPECT_EQ(editor_rescue(), note);
    // While another map loads the lists are not read; the earlier autosave
    // is still named.
    map_in_memory = false;
    EXPECT_EQ(editor_rescue(), note);
    // A rescue that cannot write says so.
    map_in_memory = true;
    std::filesystem::create_directory("editor.fenda.autosave.tmp");
    EXPECT_EQ(std::string(editor_rescue()), "unsaved changes are lost: error opening file \"editor.fenda.autosave.tmp\" for writing");
}

}  // namespace
