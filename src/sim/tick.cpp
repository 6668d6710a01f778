// The world tick and movement with collision.
#include "sim/tick.h"

#include <vector>

#include "core/realm.h"
#include "sim/collision.h"
#include "sim/control.h"
#include "sim/missile.h"
#include "sim/pickup.h"
#include "world/grid.h"

namespace {

object *element(list_node *n) { return static_cast<object *>(n->element); }

// The objects that are not frozen, in list order, noted as the tick begins.
// Nothing freezes, thaws, makes or removes an object between then and the
// last move, so the moving passes need not walk the whole list (most of a
// map is frozen walls, ladders and decorations).
std::vector<object *> movers;

// Drops wiped objects and readies every other one for this tick.
void prepare_objects() {
    movers.clear();
    for (list_node *n = object_list, *next; n; n = next) {
        next = n->next;
        object *o = element(n);
        if (o->kind == OBJ_WIPE) {
            if (n == object_list) object_list = next;
            list_unlink(n);
            rfree(o);
            continue;
        }
        apply_friction(o);
        if (!o->weightless) o->airborne = 1;
        o->carry_x = o->carry_y = 0;
        o->hit_side = o->hit_vertical = 0;
        o->hit_object = nullptr;
        grid_add_per_tick(o);
        if (!o->frozen) movers.push_back(o);
    }
}

int teleport_visit(object *o, void *context) {
    auto *t = static_cast<trigger *>(context);
    if (t->kinds[o->kind] && boxes_overlap(o, t->area)) {
        o->x = t->value1;
        o->y = t->value2;
    }
    return 1;
}

void run_triggers() {
    for (list_node *n = trigger_list; n; n = n->next) {
        auto *t = static_cast<trigger *>(n->element);
        if (t->type == TRIGGER_REDIRECT) {
            for (list_node *p = platform_list; p; p = p->next) {
                object *body = static_cast<platform *>(p->element)->body;
                if (boxes_overlap(body, t->area)) {
                    body->vx = t->value1;
                    body->vy = t->value2;
                }
            }
        } else if (t->type == TRIGGER_TELEPORT) {
            for_objects_near(t->area, teleport_visit, t);
        }
    }
}

void plan_platforms() {
    for (list_node *n = platform_list; n; n = n->next) {
        auto *p = static_cast<platform *>(n->element);
        own_motion(p->body);
        p->probe->x = clamp32((int64_t)p->body->x + p->body->step_x);
        p->probe->y = clamp32((int64_t)p->body->y + p->body->step_y);
    }
}

// An object of a carried kind rides the platform when it overlaps the
// platform or its coming position, or touches it from outside with its
// bottom at most the carry reach above the platform's top.
int carry_visit(object *o, void *context) {
    if (!kind_carried[o->kind]) return 1;
    auto *p = static_cast<platform *>(context);
    const object *b = p->body;
    const int64_t top = (int64_t)b->y + b->h;
    bool touching = (int64_t)o->x + o->w >= b->x && o->x <= (int64_t)b->x + b->w &&
                    (int64_t)o->y + o->h >= b->y && o->y <= top + CARRY_REACH;
    if (!boxes_overlap(o, b) && !boxes_overlap(o, p->probe) && !touching) return 1;
    if (object_was_recalled(o)) return 1;
    o->carry_x = clamp32((int64_t)o->carry_x + b->vx);
    if (o->y > top) {
        o->airborne = 0;
        o->carry_y = clamp32((int64_t)o->carry_y + b->vy);
        if (o->fall_v < 0) o->fall_v = 0;
    }
    return 1;
}

void hand_on_platform_velocity() {
    for (list_node *n = platform_list; n; n = n->next) {
        auto *p = static_cast<platform *>(n->element);
        for_objects_near(p->body, carry_visit, p);
    }
}

void move_steps(object *o) {
    if (o->step_y) move_vertically(o);
    if (o->step_x) move_horizontally(o);
}

void carried_moves() {
    for (object *o : movers) {
        if (o->kind == OBJ_PLATFORM) continue;
        o->step_x = o->carry_x;
        o->step_y = o->carry_y;
        move_steps(o);
    }
}

// Platforms are never frozen: every one of the list is among the movers.
void platform_moves() {
    for (object *o : movers)
        if (o->kind == OBJ_PLATFORM) move_steps(o);
}

void own_moves() {
    for (object *o : movers) {
        if (o->kind == OBJ_PLATFORM) continue;
        own_motion(o);
        move_steps(o);
    }
}

// A platform that ran into a wall turns back; one that presses on a
// creature hurts it by a point a tick; one that presses on an item crushes it.
void platform_reactions() {
    for (list_node *n = platform_list; n; n = n->next) {
        object *b = static_cast<platform *>(n->element)->body;
        if ((!b->hit_side && !b->hit_vertical) || !b->hit_object) continue;
        object *hit = b->hit_object;
        if (hit->kind == OBJ_WALL) {
            b->vx = clamp32(-(int64_t)b->vx);
            b->vy = clamp32(-(int64_t)b->vy);
        } else if (hit->kind == OBJ_MONSTER) {
            add_damage_event(static_cast<creature *>(hit->owner), 1, 0);
        } else if (hit->kind == OBJ_ITEM) {
            item_crushed(static_cast<item *>(hit->owner));
        }
    }
}

// Searches along one axis for the farthest free position short of a
// blocked step; true when the full step was blocked.
bool move_axis(object *o, int32_t *coord, int32_t step) {
    int32_t start = *coord;
    *coord = clamp32((int64_t)start + step);
    if (!collides(o)) return false;
    int32_t part = step / 2;
    do {
        *coord = clamp32((int64_t)start + part);
        if (!collides(o)) start = *coord;
        part /= 2;
    } while (part > CONTACT_PRECISION || part < -CONTACT_PRECISION);
    *coord = start;
    return true;
}

}  // namespace

void apply_friction(object *o) {
    if (!o->push_x) return;
    int32_t loss = o->push_x / (o->airborne ? AIR_FRICTION_SHARE : GROUND_FRICTION_SHARE);
    if (!loss) loss = o->push_x > 0 ? 1 : -1;
    o->push_x -= loss;
}

void own_motion(object *o) {
    if (o->airborne) o->fall_v = clamp32((int64_t)o->fall_v - GRAVITY);
    o->step_x = clamp32((int64_t)o->vx + o->push_x);
    o->step_y = clamp32((int64_t)o->vy + o->fall_v);
}

void move_vertically(object *o) {
    if (!move_axis(o, &o->y, o->step_y)) return;
    o->hit_vertical = 1;
    if (o->step_y < 0) o->airborne = 0;  // landed
    o->carry_y = 0;
    o->fall_v = 0;
}

void move_horizontally(object *o) {
    if (!move_axis(o, &o->x, o->step_x)) return;
    o->hit_side = 1;
    o->carry_x = 0;
    o->push_x = 0;
}

void world_tick() {
    grid_clear_per_tick();
    prepare_objects();
    run_triggers();
    plan_platforms();
    hand_on_platform_velocity();
    carried_moves();
    platform_moves();
    own_moves();
    platform_reactions();
    items_update();
    missiles_update();
}
