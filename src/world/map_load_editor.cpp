// The editor's map loader: the same file grammar as the game's, with the map
// kept in 24.8 fixed point. Nothing runs: there are no weapons, creatures,
// spawn memory or grid. Players, monsters and deathmatch starts become items
// of the editor's own kinds, shown with a picture, so that they can be seen,
// removed and written back.
#include <cstdio>
#include <cstring>

#include "core/files.h"
#include "core/realm.h"
#include "frame/sys.h"
#include "gfx/bitmap.h"
#include "world/item.h"
#include "world/map_load.h"
#include "world/text_read.h"
#include "world/weapon.h"

char map_background_name[MAP_NAME_MAX + 1];
char map_music_name[MAP_NAME_MAX + 1];
char map_status_name[MAP_NAME_MAX + 1];

namespace {

// The frame of a monster description that the editor shows: the half-way
// turning frame, the creature looking at the viewer.
constexpr int DESCRIPTION_SHOWN_FRAME_LINE = 14;

void keep_name(char *field, const char *name) { snprintf(field, MAP_NAME_MAX + 1, "%s", name); }

// Objects whose picture comes from the rest of the line.
object *picture_object(text_file *f, int32_t kind) {
    char name[MAP_FIELD_MAX + 1];
    object *o = create_object(nullptr);
    o->kind = kind;
    read_rest(f, name);
    text_require_name(f, name, "sprite");
    o->sprite = find_sprite(name);
    o->w = o->sprite->width * EDITOR_FIXED_ONE;
    o->h = o->sprite->height * EDITOR_FIXED_ONE;
    return o;
}

// An item object of the editor's kind with the named picture.
object *item_object(int32_t kind, int respawns, const char *picture, editor_item **record) {
    object *o = create_object(nullptr);
    *record = editor_add_item(kind, o, respawns);
    o->sprite = find_sprite(picture);
    o->w = o->sprite->width * EDITOR_FIXED_ONE;
    o->h = o->sprite->height * EDITOR_FIXED_ONE;
    o->weightless = 0;
    return o;
}

object *read_creature(text_file *f, int32_t kind, int32_t player) {
    char description[MAP_FIELD_MAX + 1], picture[DESCRIPTION_FIELD_MAX + 1];
    read_rest(f, description);
    text_require_name(f, description, "monster description");
    description_shown_picture(description, picture);
    editor_item *it;
    object *o = item_object(kind, 0, picture, &it);
    keep_name(it->monster_file, description);
    it->player = player;
    return o;
}

object *read_item(text_file *f) {
    char name[MAP_FIELD_MAX + 1];
    read_rest(f, name);
    const item_name *n = find_item_name(name);
    if (!n)
        sys_exit(16, "unknown item type \"%s\" in file \"%s\" line %d", name, fs_name(f->handle), f->line);
    editor_item *it;
    return item_object(n->kind, 1, n->picture, &it);
}

object *read_trigger_line(text_file *f) {
    auto *t = static_cast<trigger *>(ralloc(RMT_GAME, sizeof(trigger)));
    object *area = create_object(nullptr);
    read_trigger(f, t, area, EDITOR_FIXED_ONE);
    list_add(&trigger_list, t, RMT_GAME);
    return area;
}

// Object lines up to the end line (an empty first word).
void read_objects(text_file *f) {
    char x[MAP_FIELD_MAX + 1], y[MAP_FIELD_MAX + 1], kind[MAP_FIELD_MAX + 1];
    char rest[MAP_FIELD_MAX + 1];
    editor_item *it;
    for (f->line = MAP_FIRST_OBJECT_LINE;; f->line++) {
        read_word(f, x);
        if (!x[0]) return;
        read_word(f, y);
        read_word(f, kind);
        object *o;
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
            // The number is kept as the map gives it, to be written back.
            read_word(f, rest);
            o = read_creature(f, ITEM_PLAYER, text_number(rest));
        } else if (!strcmp(kind, "MONSTER")) {
            o = read_creature(f, ITEM_MONSTER, 0);
        } else if (!strcmp(kind, "DM_START")) {
            read_rest(f, rest);
            o = item_object(ITEM_DM_START, 0, "dm_start.png", &it);
        } else {
            sys_exit(16, "unknown object type \"%s\" in file \"%s\" line %d", kind, fs_name(f->handle),
                     f->line);
        }
        o->x = read_map_pixels(f, x, "x", EDITOR_FIXED_ONE);
        o->y = read_map_pixels(f, y, "y", EDITOR_FIXED_ONE);
    }
}

}  // namespace

void description_shown_picture(const char *description, char *picture) {
    char line[DESCRIPTION_FIELD_MAX + 1];
    text_file d = text_open(description, DESCRIPTION_FIELD_MAX, 1);
    for (; d.line < DESCRIPTION_SHOWN_FRAME_LINE; d.line++) read_rest(&d, line);
    read_word(&d, picture);
    text_require_name(&d, picture, "picture");
    text_close(&d);
}

editor_item *editor_add_item(int32_t kind, object *body, int respawns) {
    auto *it = static_cast<editor_item *>(ralloc(RMT_GAME, sizeof(editor_item)));
    it->kind = kind;
    it->body = body;
    it->one_shot = respawns ? 0 : 1;
    it->monster_file[0] = 0;
    it->player = 0;
    body->kind = OBJ_ITEM;
    body->owner = it;
    list_add(&item_list, it, RMT_GAME);
    return it;
}

void load_map(const char *file_name) {
    char field[MAP_FIELD_MAX + 1];
    world_lists_clear();
    item_list = nullptr;

    text_file f = text_open(file_name, MAP_FIELD_MAX, 1);
    f.line_label = "head line";
    read_word(&f, field);
    int32_t width = text_number_in(&f, field, 1, INT16_MAX, "map width");
    read_word(&f, field);
    int32_t height = text_number_in(&f, field, 1, INT16_MAX, "map height");
    map_width = width * EDITOR_FIXED_ONE;
    map_height = height * EDITOR_FIXED_ONE;
    read_rest(&f, field);
    text_require_name(&f, field, "background picture");
    keep_name(map_background_name, field);
    load_background(field);
    f.line = 2;
    read_rest(&f, field);
    keep_name(map_music_name, field);
    f.line = 3;
    // Kept only to be written back: an empty name is the game's to refuse.
    read_rest(&f, field);
    keep_name(map_status_name, field);
    f.line = 4;
    read_rest(&f, field);

    // While the object lines are read, the lists begin with a placeholder,
    // so that every new element goes in right behind it: the lists end up
    // in the reverse of the file's order.
    object placeholder_object{};
    list_node object_head{&placeholder_object, nullptr, nullptr};
    list_node wall_head{nullptr, nullptr, nullptr};
    list_node trigger_head{nullptr, nullptr, nullptr};
    placeholder_object.list_node = &object_head;
    object_list = &object_head;
    wall_list = &wall_head;
    trigger_list = &trigger_head;
    sprite_cache_reset();
    f.line_label = "line";
    read_objects(&f);
    object_list = after_placeholder(&object_head);
    wall_list = after_placeholder(&wall_head);
    trigger_list = after_placeholder(&trigger_head);
    text_close(&f);

    make_platform_records();
    wipe_realm(RMT_SPRITE_NAMES);
}
