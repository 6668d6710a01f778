// Items in play: the per-tick item update with pickups and respawning, what
// each kind gives, taking an item away and crushing.
#pragma once
#include <cstdint>

#include "world/item.h"

struct creature;

// Once per tick, before the missiles: records marked for removal go, every
// other item has its tick (out of the world, respawn countdown, pickup).
void items_update();
void item_tick(item *it);
// Gives the item's gift to the creature and takes the item away.
void pickup(creature *c, item *it);
// A platform pressed on the item: weapons and ammunition burst in a rocket
// explosion; every item is taken away.
void item_crushed(item *it);
// A respawning item waits out of sight for its time; a one-shot item is
// marked for removal.
void take_item_away(item *it);
