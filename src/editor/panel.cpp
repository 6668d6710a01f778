// The tool panel's two pages, their drawing, and placement and removal of
// objects on the map.
#include "editor/panel.h"

#include <cstdio>

#include "core/events.h"
#include "core/realm.h"
#include "editor/editor.h"
#include "frame/sys.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "world/item.h"
#include "world/map_load.h"
#include "world/object.h"

const palette_row item_palette[PALETTE_ROWS] = {
    {"DeathMatch start", "dm_start.png", ITEM_DM_START, 0, nullptr},
    {"Hrack", "hrack_f_front.png", ITEM_MONSTER, 0, "hrack.monster"},
    {"medic kit", "medic_kit.png", ITEM_HEALTH, 1, nullptr},
    {"plasmabolt", "plasmabolt.png", ITEM_PLASMABOLT, 1, nullptr},
    {"small cell box", "cell_smallbox.png", ITEM_CELL_SMALL, 1, nullptr},
    {"big cell box", "cell_bigbox.png", ITEM_CELL_BIG, 1, nullptr},
    {"rocket launcher", "rocket_launcher.png", ITEM_LAUNCHER, 1, nullptr},
    {"one rocket", "rocket_1.png", ITEM_ONE_ROCKET, 1, nullptr},
    {"rocket box", "rocket_box.png", ITEM_ROCKET_BOX, 1, nullptr},
    {"shotgun", "shotgun.png", ITEM_SHOTGUN, 1, nullptr},
    {"shells", "shells_4.png", ITEM_SHELLS_4, 1, nullptr},
    {"shell box", "shell_box.png", ITEM_SHELL_BOX, 1, nullptr},
};

int panel_page = PAGE_ITEM;
list_box wall_list_box;
list_box item_list_box;
check_box decoration_box;
check_box ladder_box;

namespace {

const int FONT = 0;
// Widget geometry in panel pixels.
const int LIST_X = 8, LIST_Y = 200, LIST_MARGIN = 16, LIST_BOTTOM_MARGIN = 8;
const int BOX_X = 10, DECORATION_Y = 40, LADDER_Y = 60, BOX_HEIGHT = 18;
const int WALL_TAB_X = 0, ITEM_TAB_X = 40, TAB_WIDTH = 38;
const int SELECTED_NAME_X = 8, SELECTED_NAME_Y = 180;

int list_height() {
    int h = panel_area.height - LIST_Y - LIST_BOTTOM_MARGIN;
    return h > 0 ? h : 0;
}

// A fresh object right after the first of the object list; in a map that
// has no objects yet it becomes the list's only object.
object *new_object() {
    if (object_list) return create_object(nullptr);
    object placeholder{};
    list_node head{&placeholder, nullptr, nullptr};
    placeholder.list_node = &head;
    object_list = &head;
    object *o = create_object(nullptr);
    object_list = o->list_node;
    object_list->previous = nullptr;
    return o;
}

void take_sprite_size(object *o) {
    o->w = o->sprite->width * EDITOR_FIXED_ONE;
    o->h = o->sprite->height * EDITOR_FIXED_ONE;
}

object *place_wall(int32_t mx, int32_t my) {
    const char *picture = list_box_selected(&wall_list_box);
    if (!picture) return nullptr;  // an empty wall list places nothing
    object *o = new_object();
    if (decoration_box.checked) {
        o->kind = OBJ_DECORATION;
        ladder_box.checked = 0;
    } else if (ladder_box.checked) {
        o->kind = OBJ_LADDER;
    } else {
        o->kind = OBJ_WALL;
    }
    o->x = snap_to_grid(mx);
    o->y = snap_to_grid(my);
    o->sprite = load_sprite(picture, RMT_GAME);
    take_sprite_size(o);
    o->frozen = 1;
    return o;
}

object *place_item(int32_t mx, int32_t my) {
    int32_t row = item_list_box.selected;
    if (row < 0 || row >= PALETTE_ROWS) {
        const char *line = list_box_selected(&item_list_box);
        sys_exit(16, "wrong item type %s", line ? line : "");
    }
    const palette_row &p = item_palette[row];
    object *o = new_object();
    o->x = snap_to_grid(mx);
    o->y = snap_to_grid(my);
    o->sprite = load_sprite(p.picture, RMT_GAME);
    editor_item *it = editor_add_item(p.item_kind, o, p.respawns);
    if (p.monster_file) snprintf(it->monster_file, sizeof it->monster_file, "%s", p.monster_file);
    take_sprite_size(o);
    return o;
}

}  // namespace

void panel_build_pages() {
    const int w = panel_area.width;
    list_box_init(&wall_list_box, LIST_X, LIST_Y, w - LIST_MARGIN, list_height());
    list_box_load(&wall_list_box, "editor.walls");
    check_box_init(&decoration_box, BOX_X, DECORATION_Y, w - 2 * BOX_X, BOX_HEIGHT, "decoration");
    check_box_init(&ladder_box, BOX_X, LADDER_Y, w - 2 * BOX_X, BOX_HEIGHT, "ladder");
    list_box_init(&item_list_box, LIST_X, LIST_Y, w - LIST_MARGIN, list_height());
    for (const palette_row &p : item_palette) list_box_add(&item_list_box, p.line);
}

void panel_fit_pages() {
    // A window made smaller must not leave the lists reaching past the
    // panel's bitmap.
    wall_list_box.height = item_list_box.height = (uint16_t)list_height();
}

void draw_panel() {
    bitmap *b = &panel_area.picture;
    fill_rect(b, 0, 0, panel_area.width, panel_area.height, 80, 80, 100);
    set_colour(220, 160, 160);
    fill_rect(b, WALL_TAB_X, 0, TAB_WIDTH, TAB_HEIGHT, 60, 60, 60);
    draw_text(b, FONT, WALL_TAB_X + 3, 0, "WALL");
    fill_rect(b, ITEM_TAB_X, 0, TAB_WIDTH, TAB_HEIGHT, 60, 60, 60);
    draw_text(b, FONT, ITEM_TAB_X + 3, 0, "ITEM");
    if (panel_page == PAGE_WALL) {
        set_colour(255, 255, 255);
        const char *name = list_box_selected(&wall_list_box);
        if (name) draw_text(b, FONT, SELECTED_NAME_X, SELECTED_NAME_Y, name);
        draw_list_box(b, &wall_list_box);
        draw_check_box(b, &decoration_box);
        draw_check_box(b, &ladder_box);
    } else {
        draw_list_box(b, &item_list_box);
    }
    show_bitmap(b, panel_area.x, panel_area.y);
}

object *place_selected(int32_t mx, int32_t my) {
    return panel_page == PAGE_WALL ? place_wall(mx, my) : place_item(mx, my);
}

object *remove_object_at(int32_t mx, int32_t my) {
    for (list_node *n = object_list; n; n = n->next) {
        auto *o = static_cast<object *>(n->element);
        if (o->kind == OBJ_WIPE) continue;
        if (o->x <= mx && mx <= (int64_t)o->x + o->w && o->y <= my && my <= (int64_t)o->y + o->h) {
            o->kind = OBJ_WIPE;
            return o;
        }
    }
    return nullptr;
}

void panel_click(int x, int y, int pressed, int button) {
    if (y < TAB_HEIGHT && x >= panel_area.x) {
        panel_page = x - panel_area.x <= TAB_SPLIT ? PAGE_WALL : PAGE_ITEM;
        panel_dirty = true;
        return;
    }
    if (!pressed) return;
    if (x < panel_area.x) {
        int32_t mx, my;
        screen_to_map(x, y, &mx, &my);
        if (button == MOUSE_LEFT && place_selected(mx, my)) view_dirty = true;
        if (button == MOUSE_RIGHT && remove_object_at(mx, my)) view_dirty = true;
        return;
    }
    const int px = x - panel_area.x, py = y - panel_area.y;
    bool hit;
    if (panel_page == PAGE_WALL) {
        hit = list_box_click(&wall_list_box, px, py);
        if (!hit && (hit = check_box_click(&decoration_box, px, py))) ladder_box.checked = 0;
        if (!hit && (hit = check_box_click(&ladder_box, px, py))) decoration_box.checked = 0;
    } else {
        hit = list_box_click(&item_list_box, px, py);
    }
    if (hit) panel_dirty = true;
}
