// The subsystem table: which subsystems of the running program are up, so
// that the one exit routine shuts down exactly those.
#pragma once

// Slots of the subsystem table. Slots 4 and 5 are never set.
enum {
    SUB_SDL = 0,
    SUB_LOG = 1,
    SUB_FILES = 2,
    SUB_REALM = 3,
    SUB_NETWORK = 6,
    SUB_SOUND = 7,
    SUB_SLOTS_MAX = 8
};

// Clears every flag; the program has `slots` slots (8 in the game, 6 in the
// editor), and a slot at or past that count is never up.
void subsystems_reset(int slots);
void subsystem_set(int slot, bool value);
bool subsystem_is_up(int slot);
