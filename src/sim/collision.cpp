// The collision test and its rule table.
#include "sim/collision.h"

#include <cstdint>

#include "frame/sys.h"
#include "world/grid.h"

namespace {

constexpr uint32_t bit(int kind) { return 1u << kind; }

struct collision_rule {
    bool has_rule;
    uint32_t blockers;         // kinds that stop the mover (ladders apart)
    bool ladders_hold_falling; // a ladder stops the mover while it falls
    bool records;              // the blocker goes into hit_object
};

constexpr uint32_t SOLID = bit(OBJ_WALL) | bit(OBJ_PLATFORM);

const collision_rule rules[OBJ_KINDS] = {
    {false, 0, false, false},                                            // WIPE
    {false, 0, false, false},                                            // WALL
    {true, SOLID, true, false},                                          // MONSTER
    {true, SOLID | bit(OBJ_MONSTER), true, true},                        // MISSLE
    {true, SOLID, true, false},                                          // ITEM
    {false, 0, false, false},                                            // DECORATION
    {false, 0, false, false},                                            // LADDER
    {true, bit(OBJ_WALL) | bit(OBJ_MONSTER) | bit(OBJ_ITEM), false, true}, // PLATFORM
    {false, 0, false, false},                                            // TRIGGER
    {false, 0, false, false},                                            // EXPLOSITION
    {true, SOLID, false, false},                                         // BEHOLDER
    {true, SOLID | bit(OBJ_MONSTER), false, false},                      // SPARK
};

struct test_state {
    object *mover;
    const collision_rule *rule;
    bool falling;
    bool blocked;
};

// boxes_overlap, inlined: the test runs for every wall of the cells under
// every move.
inline bool overlap(const object *a, const object *b) {
    return (int64_t)a->x + a->w > b->x && (int64_t)b->x + b->w > a->x && (int64_t)a->y + a->h > b->y &&
           (int64_t)b->y + b->h > a->y;
}

int visit(object *other, void *context) {
    auto *t = static_cast<test_state *>(context);
    if (other->kind == OBJ_LADDER) {
        // A ladder holds a falling mover whose feet are not below its foot.
        if (!t->falling || other->y > t->mover->y) return 1;
    } else if (!(t->rule->blockers & bit(other->kind))) {
        return 1;
    }
    if (!overlap(other, t->mover)) return 1;
    t->blocked = true;
    if (t->rule->records) t->mover->hit_object = other;
    return 0;
}

}  // namespace

int collides(object *o) {
    if (o->kind < 0 || o->kind >= OBJ_KINDS || !rules[o->kind].has_rule)
        sys_exit(16, "collision test called for object type %s",
                 o->kind >= 0 && o->kind < OBJ_KINDS ? kind_names[o->kind] : "?");
    test_state t{o, &rules[o->kind], false, false};
    t.falling = t.rule->ladders_hold_falling && o->step_y < 0;
    for_objects_near(o, visit, &t);
    return t.blocked ? 1 : 0;
}
