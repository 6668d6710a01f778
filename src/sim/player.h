// Players: keys turned into control events of the set being filled, the
// sets applied to the players' creatures, the per-tick view step (respawn
// on jump when dead, the look offset) and respawning at deathmatch starts.
#pragma once
#include <cstdint>

#include "sim/view.h"

enum {
    LOOK_STEP = 6 * 65536,        // the look offset moves 6 pixels a frame
    LOOK_UP_MAX = 90 * 65536,     // grows while below this
    LOOK_DOWN_MIN = -67 * 65536   // shrinks while above this (it stops at -72)
};

// The deathmatch start used last, for the whole run (0 at program start).
extern int32_t last_dm_start;

// A key went down or up: every local view in use queues its controls.
void key_event(int32_t key, int pressed, int set);
// Appends the control events bound to the key to the view's ring of `set`,
// stamped with logic_frame.
void queue_key_commands(view *v, int32_t key, int pressed, int set);
// Applies ring `set` of every view in use.
void run_commands(int set);
// Once per logical frame after the world tick.
void views_tick();
// A fresh life at a deathmatch start (or, the first time, where the map put it).
void respawn(view *v);
void choose_start(view *v);
