// Creature control: the command rings and their events, damage events with
// death and frags, walking with turning, looking, firing, jumping, the
// monsters' walk-and-turn behaviour and the per-tick step of every creature.
#pragma once
#include <cstdint>

#include "sim/creature.h"

enum {
    DAMAGE_NO_ATTACKER = 0,
    CONTROL_RELEASE = 128,  // added to a control number for a release
    CONTROL_LEFT = 0,
    CONTROL_RIGHT = 1,
    CONTROL_UP = 2,
    CONTROL_DOWN = 3,
    CONTROL_JUMP = 4,
    CONTROL_FIRE = 5,
    CONTROL_PREVIOUS_WEAPON = 6,
    CONTROL_NEXT_WEAPON = 7
};

// Ammunition limits of the weapon slots (0 where nothing is counted).
extern const int16_t ammunition_limits[5];

// Appends a control event to a ring. A ring holds 31 unread entries. A press
// that finds it full is dropped; a release is never lost: it takes the place
// of the newest press waiting (or, when only releases wait, of the newest
// one that repeats an earlier release of the same control). Every computer
// applies this rule alike, so their rings stay equal.
void control_append(control_queue *q, int32_t event, int32_t frame);
// Applies and empties one set's ring of the creature.
void run_command_ring(creature *c, int set);

// Queues damage for the creature's next control step; ignored unless alive.
// A 65th event before that step ends the program.
void add_damage_event(creature *c, int32_t damage, int32_t attacker);
// Adds delta to the frags of the first creature with that id, if any.
void add_frags(int32_t player_id, int32_t delta);
// Whether the creature may pick up an item of that kind.
int can_take(const creature *c, int32_t item_kind);

// One tick of a creature: damage and death, leaving the world, then (alive)
// cooldown, walking, looking, firing and jumping.
void control(creature *c);
void fire_weapon(creature *c);
// A monster walks one way until it runs into something, then turns round.
void monster_behaviour(creature *c);
// Every creature in list order: control, behaviour (monsters), animation.
void creatures_tick();

// Marks the creature's status panel for redrawing (players only).
void mark_panel(creature *c);
