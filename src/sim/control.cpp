// Creature control, damage, frags and the per-tick creature step.
#include "sim/control.h"

#include "frame/sys.h"
#include "sim/animate.h"
#include "sim/missile.h"
#include "sim/random.h"
#include "sim/tick.h"
#include "sim/view.h"
#include "sound/sound.h"
#include "world/item.h"
#include "world/weapon.h"

const int16_t ammunition_limits[5] = {0, 250, 50, 100, 0};

namespace {

int32_t turn_length(const creature *c) { return c->frames[FRAME_TURN_HALF].ticks; }

void start_turn(creature *c, int32_t to) {
    c->turning = to;
    c->turn_left = turn_length(c) - c->turn_left;
}

// Steps through the slots with wrap-around until an owned one.
void cycle_weapon(creature *c, int direction) {
    int32_t slot = c->weapon;
    for (int i = 0; i < WEAPON_SLOTS; i++) {
        slot = (slot + direction + WEAPON_SLOTS) % WEAPON_SLOTS;
        if (c->weapons[slot].owned) break;
    }
    c->weapon = slot;
    mark_panel(c);
}

// Each weapon the creature owns (besides the empty hand) jumps out of the
// body as a one-shot item.
void drop_weapons(creature *c) {
    object *b = c->body;
    for (int slot = 1; slot <= 3; slot++) {
        if (!c->weapons[slot].owned) continue;
        object *o = create_object(b);
        o->x = b->x;
        o->y = b->y;
        o->weightless = 0;
        o->sprite = weapons[slot].picture;
        if (o->sprite) {
            o->w = o->sprite->width * FIXED_ONE;
            o->h = o->sprite->height * FIXED_ONE;
        }
        o->push_x = clamp32((int64_t)b->step_x + ((int32_t)draw(500) - 249) * 256);
        o->fall_v = clamp32((int64_t)b->step_y + ((int32_t)draw(400) + 200) * 256);
        add_item(ITEM_PLASMABOLT + slot - 1, o, 0);
    }
}

void die(creature *c, int32_t attacker) {
    c->state = CREATURE_DYING;
    sound_play(c->death_sound);
    c->body->vx = c->body->vy = 0;
    c->look = 0;
    if (attacker != c->player_id)
        add_frags(attacker, +1);  // nobody has id 0: a crush credits no one
    else
        add_frags(c->player_id, -1);
    if (!out_of_world(c->body)) drop_weapons(c);
}

void take_damage(creature *c) {
    if (c->state == CREATURE_ALIVE) {
        for (int32_t i = 0; i < c->event_count; i++) {
            c->health = (int16_t)(c->health - c->events[i].damage);
            mark_panel(c);
            if (c->health < 1 && c->state == CREATURE_ALIVE) die(c, c->events[i].attacker);
        }
    }
    c->event_count = 0;
}

void walk(creature *c) {
    object *b = c->body;
    const int64_t speed = c->walk_speed;
    if (c->turning) {
        // A turn restarted with nothing left of it (the key tapped twice in
        // one set) ends now rather than counting down for ever.
        if (--c->turn_left <= 0) {
            c->turn_left = 0;
            c->facing = c->turning == 1 ? 0 : 1;
            c->turning = 0;
        }
        b->vx = 0;
        return;
    }
    if (c->moving_left) {
        if (c->moving_right || c->facing == 0)
            b->vx = clamp32(c->facing == 1 ? speed : -speed);
        else
            start_turn(c, 1);
    } else if (!c->moving_right) {
        b->vx = 0;
        return;
    } else if (c->facing == 1) {
        b->vx = clamp32(speed);
    } else {
        start_turn(c, 2);
    }
    c->moving_left = c->left_held;
    c->moving_right = c->right_held;
}

void look(creature *c) {
    if (c->look_up) {
        if (c->look != 2) c->look = 1;
        if (!c->up_held) {
            c->look_up = 0;
            if (c->look != 2) c->look = 0;
        }
    }
    if (c->look_down) {
        if (c->look != 1) c->look = 2;
        if (!c->down_held) {
            c->look_down = 0;
            if (c->look != 1) c->look = 0;
        }
    }
}

}  // namespace

void mark_panel(creature *c) {
    if (c->view) c->view->panel_dirty = 1;
}

namespace {

int32_t ring_step(int32_t i, int32_t by) { return (i + by + CREATURE_QUEUE) % CREATURE_QUEUE; }

// The newest waiting press, or else the newest release that repeats an
// earlier waiting release of the same control; -1 when neither waits.
int32_t entry_to_give_up(const control_queue *q) {
    for (int32_t i = ring_step(q->write, -1); i != ring_step(q->read, -1); i = ring_step(i, -1))
        if (q->entries[i].event < CONTROL_RELEASE) return i;
    for (int32_t i = ring_step(q->write, -1); i != q->read; i = ring_step(i, -1))
        for (int32_t j = q->read; j != i; j = ring_step(j, 1))
            if (q->entries[j].event == q->entries[i].event) return i;
    return -1;
}

}  // namespace

void control_append(control_queue *q, int32_t event, int32_t frame) {
    if (ring_step(q->write, 1) == q->read) {
        // Full. A press is dropped; a release takes the place of another
        // entry, since without it its control would stay held for ever.
        if (event < CONTROL_RELEASE) return;
        int32_t gone = entry_to_give_up(q);
        if (gone < 0) return;
        for (int32_t i = gone; ring_step(i, 1) != q->write; i = ring_step(i, 1)) q->entries[i] = q->entries[ring_step(i, 1)];
        q->write = ring_step(q->write, -1);
    }
    q->entries[q->write] = {event, frame};
    q->write = ring_step(q->write, 1);
}

void run_command_ring(creature *c, int set) {
    control_queue &q = c->queues[set];
    while (q.read != q.write) {
        int32_t event = q.entries[q.read].event;
        q.read = (q.read + 1) % CREATURE_QUEUE;
        switch (event) {
        case CONTROL_LEFT:
            c->moving_left = c->left_held = 1;
            if (!c->moving_right && c->facing == 1) start_turn(c, 1);
            break;
        case CONTROL_RIGHT:
            c->moving_right = c->right_held = 1;
            if (!c->moving_left && c->facing == 0) start_turn(c, 2);
            break;
        case CONTROL_UP: c->look_up = c->up_held = 1; break;
        case CONTROL_DOWN: c->look_down = c->down_held = 1; break;
        case CONTROL_JUMP: c->jump = c->jump_held = 1; break;
        case CONTROL_FIRE: c->fire = c->fire_held = 1; break;
        case CONTROL_PREVIOUS_WEAPON:
            if (c->state == CREATURE_ALIVE) cycle_weapon(c, -1);
            break;
        case CONTROL_NEXT_WEAPON:
            if (c->state == CREATURE_ALIVE) cycle_weapon(c, +1);
            break;
        case CONTROL_RELEASE + CONTROL_LEFT: c->left_held = 0; break;
        case CONTROL_RELEASE + CONTROL_RIGHT: c->right_held = 0; break;
        case CONTROL_RELEASE + CONTROL_UP: c->up_held = 0; break;
        case CONTROL_RELEASE + CONTROL_DOWN: c->down_held = 0; break;
        case CONTROL_RELEASE + CONTROL_JUMP: c->jump_held = 0; break;
        case CONTROL_RELEASE + CONTROL_FIRE: c->fire_held = 0; break;
        default: break;
        }
    }
}

void add_damage_event(creature *c, int32_t damage, int32_t attacker) {
    if (c->state != CREATURE_ALIVE) return;
    if (c->event_count == CREATURE_EVENTS)
        sys_exit(16, "monster %d had recieved too many damage events (max %d)", c->player_id,
                 CREATURE_EVENTS);
    c->events[c->event_count++] = {(int16_t)damage, (int16_t)attacker};
}

void add_frags(int32_t player_id, int32_t delta) {
    for (list_node *n = creature_list; n; n = n->next) {
        auto *c = static_cast<creature *>(n->element);
        if (c->player_id == player_id) {
            c->frags = (int16_t)(c->frags + delta);
            return;
        }
    }
}

int can_take(const creature *c, int32_t item_kind) {
    switch (item_kind) {
    case ITEM_HEALTH: return c->health < c->max_health;
    case ITEM_PLASMABOLT:
    case ITEM_LAUNCHER:
    case ITEM_SHOTGUN: {
        int slot = item_kind - ITEM_PLASMABOLT + 1;
        return !c->weapons[slot].owned || c->weapons[slot].ammunition < ammunition_limits[slot];
    }
    case ITEM_CELL_SMALL:
    case ITEM_CELL_BIG: return c->weapons[1].ammunition < ammunition_limits[1];
    case ITEM_ONE_ROCKET:
    case ITEM_ROCKET_BOX: return c->weapons[2].ammunition < ammunition_limits[2];
    case ITEM_SHELLS_4:
    case ITEM_SHELL_BOX: return c->weapons[3].ammunition < ammunition_limits[3];
    default: return 0;
    }
}

void fire_weapon(creature *c) {
    weapon_slot &slot = c->weapons[c->weapon];
    if (c->cooldown || c->turning || slot.ammunition < 1) return;
    object *b = c->body;
    int32_t direction = (c->facing == 1 ? 3 : 0) + c->look;
    int64_t x = c->facing == 1 ? (int64_t)b->x + b->w : b->x;
    if (c->weapon != 3) x += b->step_x;  // the shotgun fires from the body itself
    int64_t y = (int64_t)b->y + c->muzzle_y[c->look];
    spawn_missile(c, weapons[c->weapon].missile_type, clamp32(x), clamp32(y), b->step_x / 4, 0, direction);
    c->firing_anim = 1;
    c->firing_left = c->frames[3].ticks;
    c->cooldown = weapons[c->weapon].fire_delay;
    slot.ammunition--;
    if (slot.ammunition == 0) {
        // The nearest lower slot that can fire takes over, if any.
        for (int32_t s = (c->weapon + WEAPON_SLOTS - 1) % WEAPON_SLOTS; s != c->weapon;
             s = (s + WEAPON_SLOTS - 1) % WEAPON_SLOTS) {
            if (c->weapons[s].owned && c->weapons[s].ammunition != 0) {
                c->weapon = s;
                break;
            }
        }
    }
    mark_panel(c);
}

void control(creature *c) {
    take_damage(c);
    object *b = c->body;
    if (c->state == CREATURE_ALIVE && out_of_world(b)) {
        c->state = CREATURE_DEAD;
        add_frags(c->player_id, -1);
        b->frozen = 1;
    }
    if (c->state != CREATURE_ALIVE) return;
    if (c->cooldown > 0) c->cooldown--;
    walk(c);
    look(c);
    if (c->fire) {
        fire_weapon(c);
        c->fire = c->fire_held;
    }
    if (c->jump && !b->airborne) {
        b->fall_v = clamp32((int64_t)c->jump_speed + b->carry_y);
        b->push_x = b->carry_x;
        c->jump = c->jump_held;
    }
}

void monster_behaviour(creature *c) {
    bool blocked = c->body->hit_side && !c->turning;
    if (c->moving_left) {
        if (!blocked) return;
        c->moving_left = c->left_held = 0;
        c->moving_right = c->right_held = 1;
        if (c->facing == 0) start_turn(c, 2);
    } else if (!c->moving_right) {
        c->moving_left = c->left_held = 1;
    } else if (blocked) {
        c->moving_right = c->right_held = 0;
        c->moving_left = c->left_held = 1;
        if (c->facing == 1) start_turn(c, 1);
    }
}

void creatures_tick() {
    for (list_node *n = creature_list; n; n = n->next) {
        auto *c = static_cast<creature *>(n->element);
        control(c);
        if (!c->view) monster_behaviour(c);
        animate(c);
    }
}
