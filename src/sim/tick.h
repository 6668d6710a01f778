// The world tick: one logical frame of every object of the map. Deleted
// objects go, friction and gravity act, triggers redirect platforms and
// teleport objects, platforms carry what stands on them, everything moves
// with collision, platforms react to what they ran into, then items and
// missiles have their turn.
#pragma once
#include <cstdint>

#include "world/object.h"

enum {
    GRAVITY = 3500,                 // taken from fall_v of an airborne object every tick
    GROUND_FRICTION_SHARE = 16,     // push_x loses 1/16 a tick on the ground
    AIR_FRICTION_SHARE = 64,        // and 1/64 in the air
    CONTACT_PRECISION = FIXED_ONE,  // a blocked move's search stops at this step
    CARRY_REACH = FIXED_ONE         // how far above a platform's top it still carries
};

void world_tick();

// Gravity on an airborne object, then step_x = vx + push_x, step_y = vy + fall_v.
void own_motion(object *o);
// Apply step_y or step_x with collision; a blocked move ends at the farthest
// free position the halving search finds and sets hit_vertical or hit_side.
void move_vertically(object *o);
void move_horizontally(object *o);
// Wears push_x down by the ground or air share (at least one unit).
void apply_friction(object *o);

// 32-bit sums held at the ends of the range instead of wrapping: an object
// that falls or drifts for ever stays far outside the map.
inline int32_t clamp32(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int32_t)v;
}
