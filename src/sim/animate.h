// Creature animation: the frame shown for standing, walking, turning,
// firing and dying, and the corpse a finished death leaves behind.
#pragma once

#include "sim/creature.h"

enum {
    FRAME_STAND_LEFT = 0,    // + look: level, up, down
    FRAME_FIRE_LEFT = 3,     // + look; its duration is the firing pose's
    FRAME_WALK_LEFT = 6,     // 6 to 9
    FRAME_TURN_LEFTMOST = 10,
    FRAME_TURN_RIGHTMOST = 12,
    FRAME_FIRE_RIGHT = 16,
    FRAME_WALK_RIGHT = 19,   // 19 to 22
    FRAME_DYING = 23,        // 23 to 26
    WALK_CYCLE = 4
};

void animate(creature *c);
// Leaves the dead body behind as an item and turns the creature's own body
// into an invisible BEHOLDER that still moves, so its view keeps following.
void make_corpse(creature *c);
