// Items: things a player picks up by touching them. Each is an ITEM object
// with an item record in the item list. What items do in play (pickups,
// respawning, crushing) is the simulation's (sim/pickup.h).
#pragma once
#include <cstdint>

#include "world/object.h"

enum {
    ITEM_NONE = 0,  // a record to be removed at the next update
    ITEM_HEALTH = 1,
    ITEM_PLASMABOLT = 2,
    ITEM_LAUNCHER = 3,
    ITEM_SHOTGUN = 4,
    ITEM_CELL_SMALL = 5,
    ITEM_CELL_BIG = 6,
    ITEM_ONE_ROCKET = 7,
    ITEM_ROCKET_BOX = 8,
    ITEM_SHELLS_4 = 9,
    ITEM_SHELL_BOX = 10,
    ITEM_BODY = 11,  // a creature's dead body; never taken
    ITEM_RESPAWN_TICKS = 1500,
    ITEM_WAIT_X = -200 * FIXED_ONE,  // where a taken respawning item waits
    ITEM_WAIT_Y = 0
};

struct item {
    int32_t kind;
    object *body;       // its ITEM object
    int32_t one_shot;   // 1: removed when taken or lost; 0: comes back
    int32_t spawn_x, spawn_y;
    int16_t respawn_timer;  // ticks until a taken item comes back; 0 in play
};

extern list_node *item_list;

// Makes an item record for an existing object and makes the object an ITEM.
item *add_item(int32_t kind, object *body, int respawns);
// After a map has loaded: every item comes back where it now stands.
void remember_spawn_positions();
