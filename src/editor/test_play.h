// Test-play: the edited map is saved and played by the game in a process
// of its own, in a temporary working directory that holds the data set's
// files and the map as "testmap.fenda", the only map the game plays. The
// editor waits until the game ends, then goes on where it was.
#pragma once
#include <string>

// The game's program: "fenda2" in the directory of the editor's own
// program; "" when that cannot be found out.
std::string game_program_path();
// True for the working directory's files that test-play copies: all but
// maps, logs, the editor's temporary and autosave files and screenshots.
bool data_set_file(const std::string &name);
// Saves the map, plays it and waits for the game's end. Files the game
// wrote (its log "fenda2.log", screenshots) are moved to the editor's
// working directory. Whatever fails is said on the status line; nothing
// here ends the editor.
void test_play();
