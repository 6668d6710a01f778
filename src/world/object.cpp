// World objects: creation, the list operations and the box tests.
#include "world/object.h"

#include "core/realm.h"
#include "frame/sys.h"

const char *const kind_names[OBJ_KINDS] = {
    "WIPE",     "WALL",   "MONSTER",  "MISSLE",      "ITEM",     "DECORATION",
    "LADDER",   "PLATFORM", "TRIGGER", "EXPLOSITION", "BEHOLDER", "SPARK",
};

//                                    WIPE  WALL   MONST  MISSL  ITEM   DECOR  LADDR  PLATF  TRIGG  EXPL   BEHOL  SPARK
const bool kind_per_tick[OBJ_KINDS] = {false, false, true, false, true, false, true, true, false, false, true, false};
const bool kind_carried[OBJ_KINDS] = {false, false, true, false, true, false, false, false, false, false, true, false};

list_node *object_list = nullptr;
list_node *wall_list = nullptr;
list_node *trigger_list = nullptr;
list_node *platform_list = nullptr;
list_node *creature_list = nullptr;

int32_t map_width = 0;
int32_t map_height = 0;
int32_t next_object_id = 1;

list_node *list_insert_after(list_node *node, void *element, int tag) {
    auto *n = static_cast<list_node *>(ralloc(tag, sizeof(list_node)));
    n->element = element;
    n->next = node->next;
    if (n->next) n->next->previous = n;
    n->previous = node;
    node->next = n;
    return n;
}

void *list_unlink(list_node *node) {
    if (node->previous) node->previous->next = node->next;
    if (node->next) node->next->previous = node->previous;
    void *element = node->element;
    rfree(node);
    return element;
}

list_node *list_add(list_node **head, void *element, int tag) {
    if (*head) return list_insert_after(*head, element, tag);
    auto *n = static_cast<list_node *>(ralloc(tag, sizeof(list_node)));
    n->element = element;
    n->previous = nullptr;
    n->next = nullptr;
    *head = n;
    return n;
}

void list_walk_removing(list_node **head, bool (*remove)(void *, void *), void *context) {
    bool at_start = true;
    list_node *n = *head;
    while (n) {
        list_node *next = n->next;
        if (remove(n->element, context)) {
            list_unlink(n);
            if (at_start) *head = next;
        } else {
            at_start = false;
        }
        n = next;
    }
}

object *create_object(object *after) {
    if (!after) {
        // Every caller works on a list that holds at least the loader's
        // placeholder; an empty list here is a broken internal rule.
        if (!object_list) sys_exit(16, "create_object(): the object list is empty");
        after = static_cast<object *>(object_list->element);
    }
    if (!after->list_node) sys_exit(16, "create_object(): object %d is in no list", after->id);
    auto *o = static_cast<object *>(ralloc(RMT_GAME, sizeof(object)));
    o->kind = OBJ_WIPE;
    o->id = next_object_id++;
    o->owner = nullptr;
    o->x = o->y = 0;
    o->w = o->h = 1;
    o->sprite = nullptr;
    o->frozen = 0;
    o->vx = o->vy = 0;
    o->push_x = o->fall_v = 0;
    o->carry_x = o->carry_y = 0;
    o->step_x = o->step_y = 0;
    o->weightless = 1;
    o->airborne = 0;
    o->hit_side = o->hit_vertical = 0;
    o->hit_object = nullptr;
    o->list_node = list_insert_after(after->list_node, o, RMT_GAME);
    return o;
}

// The margins are wider than any object moves in a tick; the sums are made
// in 64 bits so that a box near the ends of the 16.16 range cannot wrap.
bool out_of_world(const object *o) {
    const int64_t left = -300LL * FIXED_ONE, below = -300LL * FIXED_ONE;
    const int64_t right = (int64_t)map_width + 250LL * FIXED_ONE;
    const int64_t above = (int64_t)map_height + 250LL * FIXED_ONE;
    return (int64_t)o->x + o->w < left || o->x > right || (int64_t)o->y + o->h < below ||
           o->y > above;
}

bool boxes_overlap(const object *a, const object *b) {
    return (int64_t)a->x + a->w > b->x && (int64_t)b->x + b->w > a->x &&
           (int64_t)a->y + a->h > b->y && (int64_t)b->y + b->h > a->y;
}

void world_lists_clear() {
    object_list = nullptr;
    wall_list = nullptr;
    trigger_list = nullptr;
    platform_list = nullptr;
    creature_list = nullptr;
}
