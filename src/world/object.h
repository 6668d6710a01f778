// World objects: the object record, its kinds and their fixed tables, the
// doubly linked lists that every world record lives in, object creation and
// the two box tests.
#pragma once
#include <cstdint>

struct sprite;

// Object kinds; the codes are fixed (maps, the network and messages use them).
enum {
    OBJ_WIPE = 0,  // marked for removal; also a new object's kind until set
    OBJ_WALL = 1,
    OBJ_MONSTER = 2,
    OBJ_MISSLE = 3,
    OBJ_ITEM = 4,
    OBJ_DECORATION = 5,
    OBJ_LADDER = 6,
    OBJ_PLATFORM = 7,
    OBJ_TRIGGER = 8,
    OBJ_EXPLOSITION = 9,
    OBJ_BEHOLDER = 10,
    OBJ_SPARK = 11,
    OBJ_KINDS = 12
};

enum { FIXED_ONE = 65536 };  // one pixel in the game's 16.16 world units

struct list_node {
    void *element;
    list_node *previous;
    list_node *next;
};

// One thing in the world: a box with a kind, a picture and motion state.
// Units are 16.16 fixed point; (x, y) is the bottom-left corner, y upwards.
struct object {
    int32_t kind;
    int32_t id;           // unique for the run, from 1
    struct list_node *list_node; // its node in the object list; null outside it
    void *owner;          // the kind's own record, if it has one
    int32_t x, y;
    int32_t w, h;
    struct sprite *sprite;  // null draws nothing
    int32_t frozen;       // the world tick does not move it
    int32_t vx, vy;       // own velocity per tick
    int32_t push_x;       // horizontal momentum, worn down by friction
    int32_t fall_v;       // vertical ballistic velocity
    int32_t carry_x, carry_y;  // handed on by platforms this tick
    int32_t step_x, step_y;    // the move being made
    int32_t weightless;
    int32_t airborne;
    int32_t hit_side, hit_vertical;
    object *hit_object;
};

// Triggers: an area that redirects platforms or teleports objects.
enum { TRIGGER_REDIRECT = 0, TRIGGER_TELEPORT = 1 };

struct trigger {
    int32_t type;
    object *area;         // its TRIGGER object
    int32_t value1;       // REDIRECT: vx (unscaled); TELEPORT: destination x
    int32_t value2;       // REDIRECT: vy (unscaled); TELEPORT: destination y
    int32_t kinds[OBJ_KINDS];  // TELEPORT: kinds it moves
    int32_t silent;       // stored and written back only
};

// A moving platform and the box that stands for it after its coming move.
struct platform {
    object *body;
    object *probe;        // in no list and no grid cell
};

extern const char *const kind_names[OBJ_KINDS];
extern const bool kind_per_tick[OBJ_KINDS];  // entered in the grid every tick
extern const bool kind_carried[OBJ_KINDS];   // carried by platforms

// The world lists (each a pointer to its first node, null when empty).
extern list_node *object_list;
extern list_node *wall_list;
extern list_node *trigger_list;
extern list_node *platform_list;
extern list_node *creature_list;  // the map's monsters, then the players

// The map's size in 16.16, set by the map loader.
extern int32_t map_width;
extern int32_t map_height;

// The id the next object gets; starts at 1 and is never reset.
extern int32_t next_object_id;

// Allocates a node in realm `tag` and puts it right after `node`.
list_node *list_insert_after(list_node *node, void *element, int tag);
// Joins the neighbours, frees the node and returns its element. The caller
// moves a list head that pointed at the node.
void *list_unlink(list_node *node);
// Adds an element the way every world list grows: an empty list gets its
// only node, otherwise the node goes in right after the first one.
list_node *list_add(list_node **head, void *element, int tag);

// Walks a list from its head in order. For each element `remove` decides:
// true takes the element out (its node is unlinked and freed; while every
// element before it in this walk was taken out too, the head moves on to
// the next node), false keeps it. `remove` may free the element itself.
void list_walk_removing(list_node **head, bool (*remove)(void *element, void *context), void *context);

// A fresh object right after `after` in the object list (after the first
// object when `after` is null). The object list must not be empty then.
object *create_object(object *after);

bool out_of_world(const object *o);
bool boxes_overlap(const object *a, const object *b);

// Empties every world list (their memory belongs to the game's realm).
void world_lists_clear();
