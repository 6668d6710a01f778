// Every game the game plays is recorded into "fenda2.replay"; the menu's "r"
// shows that replay again. A recording is written to a temporary file and
// takes the replay's name only when the game has ended, fatal ends
// included, so that a failed write never costs the replay before it.
#pragma once
#include <cstdint>

#include "sim/replay.h"
#include "sim/step.h"

enum { REPLAY_CHECKPOINT_FRAMES = 100 };  // a local game's digests are kept this often

extern const char *const REPLAY_FILE;  // "fenda2.replay"

// While the replay is being watched; the game loop then takes the players'
// commands from it instead of the keys.
extern bool replay_watching;
extern replay_info watched;

// Before the first frame: the header, with the players in play, for a game
// on `map_file`, to become `replay_file` when the game ends.
void record_start(const turn_state *turn, const char *map_file, const char *replay_file);
// At a turn's end, before its set is applied: the events of that set.
void record_turn_end(const turn_state *turn);
// The end record, and the file takes the replay's name. Also on fatal ends.
void record_finish();

// True when there is a replay to watch.
bool replay_exists();
// Reads and checks "fenda2.replay" against "testmap.fenda" and
// "random.table", then sets up its players and loads the map; every fault
// ends the program naming what is wrong.
void watch_prepare();
// At a turn's end: the replay's events of this frame go into the set.
void watch_turn_end(const turn_state *turn);
// The digest and frame of the world where a game ends (the replay's end
// record), logged as "world digest ... at logical frame ...".
void log_end_digest(int32_t frame, uint64_t digest);
