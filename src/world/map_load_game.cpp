// The game's map loader: builds the world's objects and records from a map
// file, then the creatures' start, the items' spawn memory, the platforms'
// records and the grid.
#include <cstring>

#include "core/files.h"
#include "core/realm.h"
#include "frame/sys.h"
#include "gfx/bitmap.h"
#include "sim/creature.h"
#include "sim/view.h"
#include "sound/sound.h"
#include "world/grid.h"
#include "world/item.h"
#include "world/map_load.h"
#include "world/text_read.h"
#include "world/weapon.h"

namespace {

// Objects whose picture comes from the rest of the line.
object *picture_object(text_file *f, int32_t kind) {
    char name[MAP_FIELD_MAX + 1];
    object *o = create_object(nullptr);
    o->kind = kind;
    read_rest(f, name);
    text_require_name(f, name, "sprite");
    o->sprite = find_sprite(name);
    o->w = o->sprite->width * FIXED_ONE;
    o->h = o->sprite->height * FIXED_ONE;
    return o;
}

object *read_item(text_file *f) {
    char name[MAP_FIELD_MAX + 1];
    object *o = create_object(nullptr);
    read_rest(f, name);
    const item_name *n = find_item_name(name);
    if (!n)
        sys_exit(16, "unknown item type \"%s\" in file \"%s\" line %d", name, fs_name(f->handle), f->line);
    add_item(n->kind, o, 1);
    if (n->kind >= ITEM_PLASMABOLT && n->kind <= ITEM_SHOTGUN)
        o->sprite = weapons[n->kind - 1].picture;  // the weapon's own picture
    else
        o->sprite = find_sprite(n->picture);
    o->w = o->sprite->width * FIXED_ONE;
    o->h = o->sprite->height * FIXED_ONE;
    o->weightless = 0;
    return o;
}

object *read_player(text_file *f) {
    char field[MAP_FIELD_MAX + 1];
    read_word(f, field);
    // The player table has four slots; any other number is refused.
    int32_t n = text_number_in(f, field, 0, VIEW_SLOTS - 1, "player number");
    if (!view_in_use(n)) {
        read_rest(f, field);
        return nullptr;
    }
    creature *c = views[n].creature;
    if (c->body)
        sys_exit(16, "player %d encoutered on fenda \"%s\" line %d more than once", n,
                 fs_name(f->handle), f->line);
    object *o = create_object(nullptr);
    c->body = o;
    o->kind = OBJ_MONSTER;
    o->owner = c;
    read_rest(f, field);
    text_require_name(f, field, "monster description");
    load_monster(c, field);
    o->sprite = nullptr;
    o->weightless = 0;
    return o;
}

object *read_monster(text_file *f) {
    char name[MAP_FIELD_MAX + 1];
    auto *c = static_cast<creature *>(ralloc(RMT_GAME, sizeof(creature)));
    memset(c, 0, sizeof *c);
    c->view = nullptr;
    c->player_id = next_monster_id++;
    object *o = create_object(nullptr);
    c->body = o;
    o->kind = OBJ_MONSTER;
    o->owner = c;
    read_rest(f, name);
    text_require_name(f, name, "monster description");
    load_monster(c, name);
    o->weightless = 0;
    o->sprite = c->frames[0].picture;
    list_add(&creature_list, c, RMT_GAME);
    return o;
}

object *read_trigger_line(text_file *f) {
    auto *t = static_cast<trigger *>(ralloc(RMT_GAME, sizeof(trigger)));
    object *area = create_object(nullptr);
    read_trigger(f, t, area, FIXED_ONE);
    list_add(&trigger_list, t, RMT_GAME);
    return area;
}

// Object lines up to the end line (an empty first word).
void read_objects(text_file *f) {
    char x[MAP_FIELD_MAX + 1], y[MAP_FIELD_MAX + 1], kind[MAP_FIELD_MAX + 1];
    char rest[MAP_FIELD_MAX + 1];
    for (f->line = MAP_FIRST_OBJECT_LINE;; f->line++) {
        read_word(f, x);
        if (!x[0]) return;
        read_word(f, y);
        read_word(f, kind);
        object *o = nullptr;
        if (!strcmp(kind, "WALL")) {
            o = picture_object(f, OBJ_WALL);
            o->frozen = 1;
            list_add(&wall_list, o, RMT_GAME);
        } else if (!strcmp(kind, "PLATFORM")) {
            char vx[MAP_FIELD_MAX + 1], vy[MAP_FIELD_MAX + 1];
            read_word(f, vx);
            read_word(f, vy);
            o = picture_object(f, OBJ_PLATFORM);
            o->vx = text_number(vx);
            o->vy = text_number(vy);
        } else if (!strcmp(kind, "DECORATION")) {
            o = picture_object(f, OBJ_DECORATION);
            o->frozen = 1;
        } else if (!strcmp(kind, "LADDER")) {
            o = picture_object(f, OBJ_DECORATION);
            o->frozen = 1;
            o->kind = OBJ_LADDER;
        } else if (!strcmp(kind, "TRIGGER")) {
            o = read_trigger_line(f);
        } else if (!strcmp(kind, "ITEM")) {
            o = read_item(f);
        } else if (!strcmp(kind, "PLAYER")) {
            o = read_player(f);
        } else if (!strcmp(kind, "MONSTER")) {
            o = read_monster(f);
        } else if (!strcmp(kind, "DM_START")) {
            read_rest(f, rest);
            add_dm_start(read_map_pixels(f, x, "x", FIXED_ONE), read_map_pixels(f, y, "y", FIXED_ONE));
        } else {
            sys_exit(16, "unknown object type \"%s\" in file \"%s\" line %d", kind, fs_name(f->handle),
                     f->line);
        }
        if (o) {
            o->x = read_map_pixels(f, x, "x", FIXED_ONE);
            o->y = read_map_pixels(f, y, "y", FIXED_ONE);
        }
    }
}

}  // namespace

void load_map(const char *file_name) {
    char field[MAP_FIELD_MAX + 1];
    world_lists_clear();
    item_list = nullptr;
    missile_list = explosion_list = spark_list = nullptr;
    grid_forget();

    text_file f = text_open(file_name, MAP_FIELD_MAX, 1);
    f.line_label = "head line";
    read_word(&f, field);
    int32_t width = text_number_in(&f, field, 1, INT16_MAX, "map width");
    read_word(&f, field);
    int32_t height = text_number_in(&f, field, 1, INT16_MAX, "map height");
    map_width = width * FIXED_ONE;
    map_height = height * FIXED_ONE;
    read_rest(&f, field);
    text_require_name(&f, field, "background picture");
    load_background(field);
    f.line = 2;
    read_rest(&f, field);
    if (field[0]) music_load(field);
    f.line = 3;
    read_rest(&f, field);
    text_require_name(&f, field, "status picture");
    load_status_picture(field);
    f.line = 4;
    read_rest(&f, field);

    weapon_setup();

    // While the object lines are read, the four lists begin with a
    // placeholder, so that every new element goes in right behind it: the
    // lists end up in the reverse of the file's order.
    object placeholder_object{};
    list_node object_head{&placeholder_object, nullptr, nullptr};
    list_node wall_head{nullptr, nullptr, nullptr};
    list_node trigger_head{nullptr, nullptr, nullptr};
    list_node creature_head{nullptr, nullptr, nullptr};
    placeholder_object.list_node = &object_head;
    object_list = &object_head;
    wall_list = &wall_head;
    trigger_list = &trigger_head;
    creature_list = &creature_head;
    sprite_cache_reset();
    f.line_label = "line";
    read_objects(&f);
    object_list = after_placeholder(&object_head);
    wall_list = after_placeholder(&wall_head);
    trigger_list = after_placeholder(&trigger_head);
    creature_list = after_placeholder(&creature_head);
    text_close(&f);

    // A player in the game whose map gave no body would have nothing to move.
    for (int i = 0; i < VIEW_SLOTS; i++)
        if (view_in_use(i) && !views[i].creature->body)
            sys_exit(16, "no PLAYER line for player %d in file \"%s\"", i, file_name);

    start_creatures();
    remember_spawn_positions();
    make_platform_records();
    build_grid();
    for (list_node *n = object_list; n; n = n->next) {
        auto *o = static_cast<object *>(n->element);
        if (o->kind == OBJ_WALL) grid_add_fixed(o);
    }
    wipe_realm(RMT_SPRITE_NAMES);
}
