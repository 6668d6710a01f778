// Shots: missiles spawned by weapon fire, the traced shotgun pellets, the
// rocket's blast, explosion animations and sparks, and their per-tick
// update. Damage is handed to creatures as damage events.
#pragma once
#include <cstdint>

#include "world/object.h"
#include "world/weapon.h"

struct creature;

enum {
    SHOT_PELLETS = 7,
    SHOT_SPEED = 6 * 65536,       // pellet path step, per direction
    SHOT_DOWN_SPEED = -3 * 65536,
    BLAST_STEPS = 32,             // steps of one blast ray
    BLAST_SOLID_COST = 3,         // more steps lost per step inside a solid
    SHOT_DAMAGE = 10,
    SPARK_LIFE = 40               // logical frames
};

// A shot of `type` from (x, y): types 0 and 1 fly as missiles with the speed
// hint added, type 2 is the shotgun blast traced at once.
void spawn_missile(creature *shooter, int32_t type, int32_t x, int32_t y, int32_t add_vx, int32_t add_vy,
                   int32_t direction);
// An explosion's sound and, when its definition has frames, its animation
// with its bottom-left corner at (x, y), right after `parent` in the object
// list; a plasma explosion throws sparks from the parent.
void make_explosion(int32_t kind, object *parent, int32_t x, int32_t y);
void make_spark(object *parent, int32_t x, int32_t y, int32_t vx, int32_t vy, int32_t picture);
// Explosions, then sparks, then missiles; the world tick's last step.
void missiles_update();
