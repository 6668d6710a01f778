// The tool panel's two pages, their drawing with the status lines, and
// placement and removal of objects on the map.
#include "editor/panel.h"

#include <cstdio>
#include <cstring>

#include "core/events.h"
#include "core/realm.h"
#include "editor/editor.h"
#include "editor/history.h"
#include "editor/session.h"
#include "frame/sys.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "world/item.h"
#include "world/map_load.h"
#include "world/object.h"
#include "world/weapon.h"

const palette_row item_palette[PALETTE_ROWS] = {
    {"DeathMatch start", "dm_start.png", ITEM_DM_START, 0, nullptr, 0},
    {"Hrack", "hrack_f_front.png", ITEM_MONSTER, 0, "hrack.monster", 0},
    {"medic kit", "medic_kit.png", ITEM_HEALTH, 1, nullptr, 0},
    {"plasmabolt", "plasmabolt.png", ITEM_PLASMABOLT, 1, nullptr, 0},
    {"small cell box", "cell_smallbox.png", ITEM_CELL_SMALL, 1, nullptr, 0},
    {"big cell box", "cell_bigbox.png", ITEM_CELL_BIG, 1, nullptr, 0},
    {"rocket launcher", "rocket_launcher.png", ITEM_LAUNCHER, 1, nullptr, 0},
    {"one rocket", "rocket_1.png", ITEM_ONE_ROCKET, 1, nullptr, 0},
    {"rocket box", "rocket_box.png", ITEM_ROCKET_BOX, 1, nullptr, 0},
    {"shotgun", "shotgun.png", ITEM_SHOTGUN, 1, nullptr, 0},
    {"shells", "shells_4.png", ITEM_SHELLS_4, 1, nullptr, 0},
    {"shell box", "shell_box.png", ITEM_SHELL_BOX, 1, nullptr, 0},
    {"PLAYER 0 start (blue)", nullptr, ITEM_PLAYER, 0, "fighter_blue.monster", 0},
    {"PLAYER 1 start (red)", nullptr, ITEM_PLAYER, 0, "fighter_red.monster", 1},
    {"PLAYER 2 start (green)", nullptr, ITEM_PLAYER, 0, "fighter_green.monster", 2},
    {"PLAYER 3 start (yellow)", nullptr, ITEM_PLAYER, 0, "fighter_yellow.monster", 3},
};

sprite *palette_pictures[PALETTE_ROWS];
sprite *wall_pictures[LIST_BOX_LINES];
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
// The status lines, between the check boxes and the selected wall name:
// the added keys, the pointer, what a click places, unsaved changes and
// the last message on two lines.
const int STATUS_X = 4, STATUS_Y = 80, STATUS_COLUMNS = 29, MESSAGE_LINES = 2;
const char *const KEY_HELP[] = {"^S save  ^Z undo  ^Y redo", "o outlines g grid p play"};

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

// A new object of the picture's size at the snapped point.
object *new_placed(int32_t x, int32_t y, sprite *picture) {
    object *o = new_object();
    o->x = x;
    o->y = y;
    o->sprite = picture;
    o->w = picture->width * EDITOR_FIXED_ONE;
    o->h = picture->height * EDITOR_FIXED_ONE;
    return o;
}

object *place_wall(int32_t x, int32_t y) {
    const int32_t line = wall_list_box.selected;
    if (line < 0 || line >= wall_list_box.count || !wall_pictures[line]) return nullptr;  // nothing selected
    object *o = new_placed(x, y, wall_pictures[line]);
    if (decoration_box.checked) {
        o->kind = OBJ_DECORATION;
        ladder_box.checked = 0;
    } else if (ladder_box.checked) {
        o->kind = OBJ_LADDER;
    } else {
        o->kind = OBJ_WALL;
    }
    o->frozen = 1;
    history_record(o, OBJ_WIPE, x, y);
    return o;
}

// The start of player n on the map, if there is one.
object *find_player(int32_t n) {
    for (list_node *l = object_list; l; l = l->next) {
        auto *o = static_cast<object *>(l->element);
        if (o->kind != OBJ_ITEM) continue;
        const auto *it = static_cast<const editor_item *>(o->owner);
        if (it->kind == ITEM_PLAYER && it->player == n) return o;
    }
    return nullptr;
}

object *place_item(int32_t x, int32_t y) {
    int32_t row = item_list_box.selected;
    if (row < 0 || row >= PALETTE_ROWS) {
        const char *line = list_box_selected(&item_list_box);
        sys_exit(16, "wrong item type %s", line ? line : "");
    }
    const palette_row &p = item_palette[row];
    if (p.item_kind == ITEM_PLAYER) {
        // A map holds each player once: placing it again moves it.
        if (object *o = find_player(p.player)) {
            const int32_t old_x = o->x, old_y = o->y;
            o->x = x;
            o->y = y;
            history_record(o, o->kind, old_x, old_y);
            return o;
        }
    }
    object *o = new_placed(x, y, palette_pictures[row]);
    editor_item *it = editor_add_item(p.item_kind, o, p.respawns);
    if (p.monster_file) snprintf(it->monster_file, sizeof it->monster_file, "%s", p.monster_file);
    it->player = p.player;
    history_record(o, OBJ_WIPE, x, y);
    return o;
}

// Invisible triggers can be seen, and so removed, only as outlines.
bool visible(const object *o) { return o->sprite || (o->kind == OBJ_TRIGGER && show_outlines); }

// What a left click in the map area makes.
void describe_selection(char *out, size_t size) {
    const char *line;
    if (panel_page == PAGE_ITEM) {
        line = list_box_selected(&item_list_box);
        snprintf(out, size, "place %s", line ? line : "nothing");
        return;
    }
    line = list_box_selected(&wall_list_box);
    const char *kind = decoration_box.checked ? "decoration" : ladder_box.checked ? "ladder" : "wall";
    snprintf(out, size, "place %s %s", kind, line ? line : "(no picture)");
}

// Draws the status message in lines of at most STATUS_COLUMNS characters,
// broken at blanks where it can be.
void draw_message(bitmap *b, int y) {
    const char *p = status_message;
    char line[STATUS_COLUMNS + 1];
    for (int i = 0; i < MESSAGE_LINES && *p; i++, y += font_height(FONT)) {
        size_t n = strlen(p);
        if (n > STATUS_COLUMNS) {
            n = STATUS_COLUMNS;
            while (n > 0 && p[n] != ' ') n--;
            if (n == 0) n = STATUS_COLUMNS;
        }
        memcpy(line, p, n);
        line[n] = 0;
        draw_text(b, FONT, STATUS_X, y, line);
        p += n;
        while (*p == ' ') p++;
    }
}

void set_warning_colour() { set_colour(255, 210, 80); }

void draw_status(bitmap *b) {
    const int h = font_height(FONT);
    int y = STATUS_Y;
    set_colour(190, 190, 210);
    for (const char *help : KEY_HELP) {
        draw_text(b, FONT, STATUS_X, y, help);
        y += h;
    }
    set_colour(255, 255, 255);
    if (pointer_in_map)
        draw_textf(b, FONT, STATUS_X, y, "x %d y %d", pointer_map_x, pointer_map_y);
    else
        draw_text(b, FONT, STATUS_X, y, "x - y -");
    y += h;
    char text[STATUS_MESSAGE_MAX];
    describe_selection(text, sizeof text);
    draw_text(b, FONT, STATUS_X, y, text);
    y += h;
    const bool unsaved = map_in_memory && history_unsaved();
    if (unsaved) set_warning_colour();
    draw_text(b, FONT, STATUS_X, y, unsaved ? "unsaved changes" : "no unsaved changes");
    y += h;
    if (status_warning)
        set_warning_colour();
    else
        set_colour(255, 255, 255);
    draw_message(b, y);
}

}  // namespace

void load_wall_list(const char *file_name) {
    list_box_load(&wall_list_box, file_name);
    for (int32_t i = 0; i < LIST_BOX_LINES; i++)
        wall_pictures[i] = i < wall_list_box.count ? load_sprite(wall_list_box.lines[i], RMT_RESIDENT) : nullptr;
}

void panel_build_pages() {
    const int w = panel_area.width;
    list_box_init(&wall_list_box, LIST_X, LIST_Y, w - LIST_MARGIN, list_height());
    load_wall_list("editor.walls");
    check_box_init(&decoration_box, BOX_X, DECORATION_Y, w - 2 * BOX_X, BOX_HEIGHT, "decoration");
    check_box_init(&ladder_box, BOX_X, LADDER_Y, w - 2 * BOX_X, BOX_HEIGHT, "ladder");
    list_box_init(&item_list_box, LIST_X, LIST_Y, w - LIST_MARGIN, list_height());
    for (int row = 0; row < PALETTE_ROWS; row++) {
        const palette_row &p = item_palette[row];
        list_box_add(&item_list_box, p.line);
        char picture[DESCRIPTION_FIELD_MAX + 1];
        if (!p.picture) description_shown_picture(p.monster_file, picture);
        palette_pictures[row] = load_sprite(p.picture ? p.picture : picture, RMT_RESIDENT);
    }
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
    draw_status(b);
    show_bitmap(b, panel_area.x, panel_area.y);
}

object *place_selected(int32_t mx, int32_t my) {
    const int32_t x = snap_to_grid(mx), y = snap_to_grid(my);
    // The game's loader takes no position beyond what its units hold.
    const int32_t limit = MAP_PIXELS_MAX * EDITOR_FIXED_ONE;
    if (x < -limit - EDITOR_FIXED_ONE || x > limit || y < -limit - EDITOR_FIXED_ONE || y > limit) {
        editor_say(true, "nothing placed: beyond %d pixels", MAP_PIXELS_MAX);
        return nullptr;
    }
    return panel_page == PAGE_WALL ? place_wall(x, y) : place_item(x, y);
}

object *remove_object_at(int32_t mx, int32_t my) {
    for (list_node *n = object_list; n; n = n->next) {
        auto *o = static_cast<object *>(n->element);
        if (o->kind == OBJ_WIPE || !visible(o)) continue;
        if (o->x <= mx && mx <= (int64_t)o->x + o->w && o->y <= my && my <= (int64_t)o->y + o->h) {
            const int32_t kind = o->kind;
            o->kind = OBJ_WIPE;
            history_record(o, kind, o->x, o->y);
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
        if (button == MOUSE_LEFT && place_selected(mx, my)) view_dirty = panel_dirty = true;
        if (button == MOUSE_RIGHT && remove_object_at(mx, my)) view_dirty = panel_dirty = true;
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
