// What both programs' map loaders share: the sprite-name cache, the item
// names, the trigger grammar and the deathmatch starts.
#include "world/map_load.h"

#include <cstring>

#include "core/files.h"
#include "core/realm.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "gfx/bitmap.h"
#include "world/text_read.h"

dm_start dm_starts[DM_STARTS_MAX];
int32_t dm_start_count = 0;

const item_name item_names[MAP_ITEM_NAMES] = {
    {"HEALTH", 1, "medic_kit.png"},         {"PLASMABOLT", 2, "plasmabolt.png"},
    {"LAUNCHER", 3, "rocket_launcher.png"}, {"SHOTGUN", 4, "shotgun.png"},
    {"CELL_SMALL", 5, "cell_smallbox.png"}, {"CELL_BIG", 6, "cell_bigbox.png"},
    {"ONE_ROCKET", 7, "rocket_1.png"},      {"ROCKET_BOX", 8, "rocket_box.png"},
    {"SHELLS_4", 9, "shells_4.png"},        {"SHELL_BOX", 10, "shell_box.png"},
};

namespace {

struct sprite_name {
    char name[SPRITE_NAME_MAX];
    sprite *picture;
    sprite_name *next;
};

sprite_name *sprite_cache = nullptr;

}  // namespace

void sprite_cache_reset() { sprite_cache = nullptr; }

sprite *find_sprite(const char *name) {
    for (sprite_name *e = sprite_cache; e; e = e->next)
        if (!strcmp(e->name, name)) return e->picture;
    sprite *picture = load_sprite(name, RMT_GAME);
    auto *e = static_cast<sprite_name *>(ralloc(RMT_SPRITE_NAMES, sizeof(sprite_name)));
    if (strlen(name) >= SPRITE_NAME_MAX)
        log_write(LOG_WARNING, "sprite \"%s\" has too long name (should be less than %d symbols)", name,
                  SPRITE_NAME_MAX);
    strncpy(e->name, name, SPRITE_NAME_MAX - 1);
    e->name[SPRITE_NAME_MAX - 1] = 0;
    e->picture = picture;
    e->next = sprite_cache;
    sprite_cache = e;
    return picture;
}

void add_dm_start(int32_t x, int32_t y) {
    if (dm_start_count == DM_STARTS_MAX)
        sys_exit(16, "only %d DeathMatch start locations are allowed", DM_STARTS_MAX);
    dm_starts[dm_start_count].x = x;
    dm_starts[dm_start_count].y = y;
    dm_start_count++;
}

const item_name *find_item_name(const char *name) {
    for (const item_name &n : item_names)
        if (!strcmp(n.name, name)) return &n;
    return nullptr;
}

int32_t read_map_pixels(text_file *f, const char *field, const char *what, int32_t scale) {
    return text_number_in(f, field, -MAP_PIXELS_MAX - 1, MAP_PIXELS_MAX, what) * scale;
}

void read_trigger(text_file *f, trigger *t, object *area, int32_t scale) {
    char word[MAP_FIELD_MAX + 1];
    t->area = area;
    area->kind = OBJ_TRIGGER;
    area->owner = t;
    read_word(f, word);
    area->w = text_number_in(f, word, 0, MAP_PIXELS_MAX, "trigger width") * scale;
    read_word(f, word);
    area->h = text_number_in(f, word, 0, MAP_PIXELS_MAX, "trigger height") * scale;
    area->frozen = 1;
    for (int32_t &k : t->kinds) k = 0;
    t->silent = 0;
    read_word(f, word);
    if (!strcmp(word, "REDIRECT")) {
        t->type = TRIGGER_REDIRECT;
        read_word(f, word);
        t->value1 = text_number(word);
        read_rest(f, word);
        t->value2 = text_number(word);
    } else if (!strcmp(word, "TELEPORT")) {
        t->type = TRIGGER_TELEPORT;
        read_word(f, word);
        if (!strcmp(word, "SILENT")) {
            t->silent = 1;
            read_word(f, word);  // the opening parenthesis, not examined
        }
        for (;;) {
            read_word(f, word);
            if (word[0] == ')') break;
            if (!strcmp(word, "MONSTER"))
                t->kinds[OBJ_MONSTER] = 1;
            else if (!strcmp(word, "MISSLE"))
                t->kinds[OBJ_MISSLE] = 1;
            else if (!strcmp(word, "PLATFORM"))
                t->kinds[OBJ_PLATFORM] = 1;
            else if (!strcmp(word, "ITEM"))
                t->kinds[OBJ_ITEM] = 1;
            else
                sys_exit(16, "illegal object type \"%s\" in file \"%s\" line %d", word,
                         fs_name(f->handle), f->line);
        }
        read_word(f, word);
        t->value1 = read_map_pixels(f, word, "teleport destination", scale);
        read_rest(f, word);
        t->value2 = read_map_pixels(f, word, "teleport destination", scale);
    } else {
        sys_exit(16, "unknown trigger type \"%s\" in file \"%s\" line %d", word, fs_name(f->handle),
                 f->line);
    }
}

// Drops a list's placeholder: the list begins at the node after it.
list_node *after_placeholder(list_node *placeholder) {
    list_node *first = placeholder->next;
    if (first) first->previous = nullptr;
    return first;
}

void make_platform_records() {
    for (list_node *n = object_list; n; n = n->next) {
        auto *o = static_cast<object *>(n->element);
        if (o->kind != OBJ_PLATFORM) continue;
        auto *p = static_cast<platform *>(ralloc(RMT_GAME, sizeof(platform)));
        p->body = o;
        list_add(&platform_list, p, RMT_GAME);
        o->owner = p;
        object *probe = create_object(nullptr);
        list_unlink(probe->list_node);
        probe->list_node = nullptr;
        probe->w = o->w;
        probe->h = o->h;
        p->probe = probe;
    }
}
