// Map files: the loader, the sprite-name cache it uses while a map loads,
// the item names, the trigger grammar and the table of deathmatch starts.
#pragma once
#include <cstdint>

#include "world/object.h"

struct sprite;
struct text_file;

enum {
    MAP_FIELD_MAX = 80,      // every word and line is shorter than this
    DM_STARTS_MAX = 128,
    SPRITE_NAME_MAX = 32,    // cache entries keep 31 characters
    MAP_FIRST_OBJECT_LINE = 3,  // the number messages give the first object line
    MAP_ITEM_NAMES = 10,
    // Positions and sizes in pixels lie within what the game's 16.16 units
    // hold, in both programs: a map the editor loads the game loads too.
    MAP_PIXELS_MAX = INT32_MAX / FIXED_ONE
};

struct dm_start {
    int32_t x, y;  // 16.16
};

// Deathmatch starts of the maps loaded in this run (never cleared).
extern dm_start dm_starts[DM_STARTS_MAX];
extern int32_t dm_start_count;

struct item_name {
    const char *name;     // as written in map files
    int32_t kind;         // item kind
    const char *picture;  // its picture file
};

extern const item_name item_names[MAP_ITEM_NAMES];

// Loads the whole map; every failure ends the program.
void load_map(const char *file_name);

// The sprite of a picture file, loaded once per map load (valid only while
// a map loads).
sprite *find_sprite(const char *name);
// Empties the cache; the entries' memory goes with RMT_SPRITE_NAMES.
void sprite_cache_reset();

void add_dm_start(int32_t x, int32_t y);

// The item kind of a map's item name, or 0 for an unknown name.
const item_name *find_item_name(const char *name);

// Reads the rest of a TRIGGER line after its KIND (size, type, values) into
// the record; `scale` turns pixels into world units.
void read_trigger(text_file *f, trigger *t, object *area, int32_t scale);

// The loaders build each list behind a placeholder node; this drops it and
// returns the list's real first node.
list_node *after_placeholder(list_node *placeholder);

// Makes a platform record and its probe object for every PLATFORM object,
// in object-list order.
void make_platform_records();

// Reads a coordinate in pixels (-32768 to 32767) and scales it to world
// units; refuses values outside that range.
int32_t read_map_pixels(text_file *f, const char *field, const char *what, int32_t scale);

// The editor's map loader keeps the map in 24.8 fixed point (256 units a
// pixel) and holds what it does not use, the head names and the players',
// monsters' and deathmatch starts' lines, only to write them back.
enum {
    EDITOR_FIXED_ONE = 256,
    ITEM_PLAYER = 12,      // the editor's own item kinds
    ITEM_MONSTER = 13,
    ITEM_DM_START = 14,
    MAP_NAME_MAX = MAP_FIELD_MAX  // a name field holds every name a map line can give
};

// The head names of the map loaded in the editor.
extern char map_background_name[MAP_NAME_MAX + 1];
extern char map_music_name[MAP_NAME_MAX + 1];
extern char map_status_name[MAP_NAME_MAX + 1];

// The editor's item record: the item kind (1 to 10, or 12 to 14), its
// object, the one-shot flag and, for players and monsters, the monster
// description and the player number as the map gave them.
struct editor_item {
    int32_t kind;
    object *body;
    int32_t one_shot;
    char monster_file[MAP_NAME_MAX + 1];
    int32_t player;
};

// The picture file a monster description gives its half-way turning frame
// (the first word of its 14th line), which the editor shows players and
// monsters with; `picture` holds DESCRIPTION_FIELD_MAX + 1 bytes.
void description_shown_picture(const char *description, char *picture);
// Makes the object an ITEM with an editor item record in the item list.
editor_item *editor_add_item(int32_t kind, object *body, int respawns);
