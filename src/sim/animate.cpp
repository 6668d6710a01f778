// Creature animation and the corpse.
#include "sim/animate.h"

#include "gfx/bitmap.h"
#include "world/item.h"

namespace {

void set_frame(creature *c, int32_t frame) {
    c->frame = frame;
    c->frame_left = c->frames[frame].ticks;
}

// Enters the walking cycle at its first frame, or advances within it.
void walk_cycle(creature *c, int32_t first) {
    if (c->frame < first || c->frame >= first + WALK_CYCLE) {
        set_frame(c, first);
        return;
    }
    if (--c->frame_left > 0) return;
    set_frame(c, c->frame == first + WALK_CYCLE - 1 ? first : c->frame + 1);
}

// Returns false when the death has just ended (the body's picture stays).
bool animate_dying(creature *c) {
    if (c->frame < FRAME_DYING || c->frame > FRAME_BODY - 1) {
        set_frame(c, FRAME_DYING);
        return true;
    }
    if (--c->frame_left != 0) return true;
    c->frame++;
    if (c->frame == FRAME_BODY) {
        c->state = CREATURE_DEAD;
        make_corpse(c);
        return false;
    }
    c->frame_left = c->frames[c->frame].ticks;
    return true;
}

void animate_turning(creature *c) {
    const int32_t whole = c->frames[FRAME_TURN_HALF].ticks, t = c->turn_left;
    // Turning left starts nearly facing right; turning right the reverse.
    int32_t early = c->turning == 1 ? FRAME_TURN_RIGHTMOST : FRAME_TURN_LEFTMOST;
    int32_t late = c->turning == 1 ? FRAME_TURN_LEFTMOST : FRAME_TURN_RIGHTMOST;
    if (t > 2 * whole / 3)
        c->frame = early;
    else if (t < whole / 3)
        c->frame = late;
    else
        c->frame = FRAME_TURN_HALF;
}

void animate_alive(creature *c) {
    const bool right = c->facing == 1;
    if (right ? c->moving_right : c->moving_left)
        walk_cycle(c, right ? FRAME_WALK_RIGHT : FRAME_WALK_LEFT);
    else
        c->frame = (right ? (int32_t)FRAME_STAND_RIGHT : (int32_t)FRAME_STAND_LEFT) + c->look;
    if (c->firing_anim) {
        c->frame = (right ? FRAME_FIRE_RIGHT : FRAME_FIRE_LEFT) + c->look;
        if (--c->firing_left < 1) c->firing_anim = 0;
    }
}

}  // namespace

void animate(creature *c) {
    if (c->state == CREATURE_DYING) {
        if (!animate_dying(c)) return;
    } else if (c->state != CREATURE_ALIVE) {
        return;
    } else if (c->turning) {
        animate_turning(c);
    } else {
        animate_alive(c);
    }
    c->body->sprite = c->frames[c->frame].picture;
}

void make_corpse(creature *c) {
    object *b = c->body;
    object *o = create_object(b);
    o->sprite = c->frames[FRAME_BODY].picture;
    if (o->sprite) {
        o->w = o->sprite->width * FIXED_ONE;
        o->h = o->sprite->height * FIXED_ONE;
    }
    o->x = b->x;
    o->y = b->y;
    o->weightless = b->weightless;
    o->airborne = b->airborne;
    o->step_x = b->step_x;
    o->step_y = b->step_y;
    o->push_x = b->push_x;
    o->fall_v = b->fall_v;
    o->carry_x = b->carry_x;
    o->carry_y = b->carry_y;
    add_item(ITEM_BODY, o, 0);
    b->vx = b->vy = 0;
    b->sprite = nullptr;
    b->kind = OBJ_BEHOLDER;
}
