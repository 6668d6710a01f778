// The editor's screen: layout of the map area and the tool panel, the main
// loop with its scrolling, and the drawing of the map area.
#include "editor/editor.h"

#include <SDL/SDL_keysym.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "core/events.h"
#include "core/realm.h"
#include "editor/chooser.h"
#include "editor/history.h"
#include "editor/overlay.h"
#include "editor/panel.h"
#include "editor/session.h"
#include "editor/test_play.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/video.h"
#include "world/map_load.h"
#include "world/object.h"

editor_region map_area = {0, 0, 0, 0, {0, 0, nullptr, nullptr, nullptr}, true};
editor_region panel_area = {0, 0, 0, 0, {0, 0, nullptr, nullptr, nullptr}, true};
int16_t view_origin_x = 0;
int16_t view_origin_y = 0;
bool view_dirty = true;
bool panel_dirty = true;
char map_file_name[MAP_FILE_NAME_MAX] = "testmap.fenda";
view editor_view;
bool show_outlines = true;
bool show_grid = false;
bool pointer_in_map = false;
int32_t pointer_map_x = 0;
int32_t pointer_map_y = 0;

namespace {

// How long a pass of the loop that found nothing to do waits, so that the
// editor does not keep a processor busy while the user thinks. Far below
// the scroll interval, so scrolling keeps its pace.
constexpr int IDLE_WAIT_MS = 5;

const char *const CHOOSER_PROMPT = "Load fenda:";

// The map area's size: the window less the panel, at least one pixel each
// way so that a very small window still has bitmaps to draw in.
void map_area_size(int16_t *width, int16_t *height) {
    *width = screen_width - PANEL_REGION_WIDTH > 0 ? (int16_t)(screen_width - PANEL_REGION_WIDTH) : 1;
    *height = screen_height > 0 ? screen_height : 1;
}

void set_region(editor_region *r, int16_t x, int16_t width, int16_t height, const char *name) {
    r->x = x;
    r->y = 0;
    r->width = width;
    r->height = height;
    if (!r->first_layout) free_bitmap(&r->picture);
    alloc_bitmap(&r->picture, width, height, RMT_PICTURE, name);
}

void set_movement(editor_keys *keys, int32_t key, int32_t held) {
    switch (key) {
    case SDLK_DOWN:
    case SDLK_KP2: keys->down = held; break;
    case SDLK_LEFT:
    case SDLK_KP4: keys->left = held; break;
    case SDLK_RIGHT:
    case SDLK_KP6: keys->right = held; break;
    case SDLK_UP:
    case SDLK_KP8: keys->up = held; break;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: keys->fast = held; break;
    default: break;
    }
}

int16_t saturate16(int32_t v) { return (int16_t)(v < INT16_MIN ? INT16_MIN : v > INT16_MAX ? INT16_MAX : v); }

// Keys held while the chooser or the game had the input are not released
// here: they count as let go, and scroll steps count from now.
void release_keys(editor_keys *keys) {
    keys->up = keys->down = keys->left = keys->right = keys->fast = keys->ctrl = 0;
    keys->next_scroll = sys_ticks();
}

void track_pointer(int x, int y) {
    bool in_map = x < panel_area.x;
    int32_t mx = 0, my = 0;
    if (in_map) screen_to_map(x, y, &mx, &my);
    mx >>= 8;
    my >>= 8;
    if (in_map == pointer_in_map && mx == pointer_map_x && my == pointer_map_y) return;
    pointer_in_map = in_map;
    pointer_map_x = mx;
    pointer_map_y = my;
    panel_dirty = true;
}

void undo_or_redo(bool redo) {
    if (redo ? history_redo() : history_undo()) {
        editor_say(false, redo ? "redone" : "undone");
        view_dirty = true;
    } else {
        editor_say(false, redo ? "nothing to redo" : "nothing to undo");
    }
}

// Ctrl with a letter, on press.
void control_key(editor_keys *keys, int32_t key) {
    if (key == SDLK_s) editor_save();
    if (key == SDLK_z) undo_or_redo(keys->fast);
    if (key == SDLK_y) undo_or_redo(true);
}

// `l`: with unsaved changes, only a second `l` in a row discards them.
void load_key(editor_keys *keys) {
    if (map_in_memory && history_unsaved() && !keys->confirm_load) {
        keys->confirm_load = 1;
        editor_say(true, "unsaved changes: l again discards them, ^S saves them");
        return;
    }
    keys->confirm_load = 0;
    editor_load_other_map();
    release_keys(keys);
}

// Letter keys, on release.
void letter_key(editor_keys *keys, int32_t key) {
    switch (key) {
    case SDLK_l: load_key(keys); break;
    case SDLK_o:
        show_outlines = !show_outlines;
        editor_say(false, "outlines %s", show_outlines ? "shown" : "hidden");
        view_dirty = true;
        break;
    case SDLK_g:
        show_grid = !show_grid;
        editor_say(false, "grid %s", show_grid ? "shown" : "hidden");
        view_dirty = true;
        break;
    case SDLK_p:
        test_play();
        release_keys(keys);
        view_dirty = panel_dirty = true;
        break;
    default: break;
    }
}

}  // namespace

void editor_layout() {
    int16_t width, height;
    map_area_size(&width, &height);
    // The background loader pads a map's background up to the map area.
    view_width = width;
    view_height = height;

    bool first = map_area.first_layout;
    set_region(&map_area, 0, width, height, "view");
    if (first) {
        view_origin_x = view_origin_y = 0;
    } else {
        draw_view();
    }
    map_area.first_layout = false;

    first = panel_area.first_layout;
    set_region(&panel_area, width, PANEL_REGION_WIDTH, height, "panel");
    if (first) panel_build_pages();
    panel_fit_pages();
    if (!first) draw_panel();
    panel_area.first_layout = false;
}

void clamp_view_origin() {
    int32_t x = view_origin_x, y = view_origin_y;
    int32_t map_w = map_width >> 8, map_h = map_height >> 8;
    if (x < 0) x = 0;
    if (x > map_w - map_area.width) x = map_w - map_area.width;
    if (y < 0) y = 0;
    if (y > map_h - map_area.height) y = map_h - map_area.height;
    view_origin_x = (int16_t)x;
    view_origin_y = (int16_t)y;
}

void draw_view() {
    clamp_view_origin();
    editor_view.picture = map_area.picture;
    editor_view.cam_x = view_origin_x * EDITOR_FIXED_ONE;
    editor_view.cam_y = view_origin_y * EDITOR_FIXED_ONE;
    bitmap *dest = &editor_view.picture;
    draw_background(dest, editor_view.cam_x >> 8, editor_view.cam_y >> 8, map_width >> 8, map_height >> 8);
    const int64_t area_w = map_area.width, area_h = map_area.height;
    for (list_node *n = object_list; n; n = n->next) {
        auto *o = static_cast<object *>(n->element);
        const sprite *s = o->sprite;
        if (o->kind == OBJ_WIPE || !s) continue;
        // In 64 bits: an object far out on the map minus a negative camera
        // must not wrap round onto the screen.
        int64_t sx = (((int64_t)o->x - editor_view.cam_x) >> 8) + s->dx;
        int64_t sy = (((int64_t)o->y - editor_view.cam_y) >> 8) + s->dy;
        if (sx > area_w || sx + s->width < 0 || sy > area_h || sy + s->height < 0) continue;
        draw_sprite(dest, s, (int)sx, (int)(area_h - sy - s->height));
    }
    draw_overlay(dest);
    show_bitmap(dest, map_area.x, map_area.y);
}

void screen_to_map(int sx, int sy, int32_t *mx, int32_t *my) {
    *mx = (view_origin_x + sx - map_area.x) * EDITOR_FIXED_ONE;
    *my = (view_origin_y + map_area.height - (sy - map_area.y)) * EDITOR_FIXED_ONE;
}

void editor_load(const char *file_name) {
    map_in_memory = false;
    wipe_realm(RMT_GAME);
    load_map(file_name);
    history_clear();
    map_in_memory = true;
    autosave_holds_edits = false;
    editor_say(false, "loaded %s", file_name);
    view_dirty = panel_dirty = true;
}

void editor_load_other_map() {
    // The chooser and the load can end the editor.
    editor_autosave();
    map_chooser(CHOOSER_PROMPT, map_file_name);
    editor_load(map_file_name);
}

void editor_handle_event(editor_keys *keys, const event *e) {
    switch (e->type) {
    case EV_KEY_DOWN:
        set_movement(keys, e->key, 1);
        if (e->key != SDLK_l) keys->confirm_load = 0;
        if (e->key == SDLK_LCTRL || e->key == SDLK_RCTRL) keys->ctrl = 1;
        if (keys->ctrl) control_key(keys, e->key);
        break;
    case EV_KEY_UP:
        set_movement(keys, e->key, 0);
        if (e->key == SDLK_LCTRL || e->key == SDLK_RCTRL) keys->ctrl = 0;
        if (e->key == SDLK_ESCAPE)
            keys->quit = 1;
        else if (!keys->ctrl)
            letter_key(keys, e->key);
        break;
    case EV_BUTTON_DOWN:
        keys->confirm_load = 0;
        track_pointer(e->x, e->y);
        panel_click(e->x, e->y, 1, e->button);
        break;
    case EV_BUTTON_UP:
        panel_click(e->x, e->y, 0, e->button);
        break;
    case EV_MOTION:
        track_pointer(e->x, e->y);
        break;
    default:
        break;
    }
}

void editor_scroll(editor_keys *keys, uint32_t now) {
    // Wrap-safe: the clock's 32 bits run over after 49 days.
    const int32_t late = (int32_t)(now - keys->next_scroll);
    if (late < 0) return;
    // Every step is due one interval after the one before was due, however
    // late the pass that makes it comes, so that slow passes do not slow
    // the scrolling: a pass late by whole intervals makes the steps it
    // missed, up to a limit after which the count starts afresh.
    int32_t steps = late / SCROLL_INTERVAL + 1;
    if (steps > SCROLL_CATCH_UP) {
        steps = SCROLL_CATCH_UP;
        keys->next_scroll = now + SCROLL_INTERVAL;
    } else {
        keys->next_scroll += steps * SCROLL_INTERVAL;
    }
    if (!keys->up && !keys->down && !keys->left && !keys->right) return;
    const int32_t step = (keys->fast ? SCROLL_STEP_FAST : SCROLL_STEP) * steps;
    view_origin_x = saturate16(view_origin_x + (keys->right - keys->left) * step);
    view_origin_y = saturate16(view_origin_y + (keys->up - keys->down) * step);
    view_dirty = true;
}

void editor_main_loop() {
    editor_keys keys = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    view_dirty = panel_dirty = true;
    snprintf(map_file_name, sizeof map_file_name, "%s", "testmap.fenda");
    // The first layout builds the panel and loads every picture it offers,
    // so that a missing one ends the editor before any edit.
    editor_layout();
    map_chooser(CHOOSER_PROMPT, map_file_name);
    editor_load(map_file_name);
    window_resized_hook = editor_layout;
    keys.next_scroll = sys_ticks();
    clear_screen();
    update_screen();
    set_colour(0, 0, 0);

    while (!keys.quit) {
        editor_poll_events();
        bool busy = false;
        event e;
        while (event_get(&e)) {
            editor_handle_event(&keys, &e);
            busy = true;
        }
        editor_scroll(&keys, sys_ticks());
        if (view_dirty) {
            draw_view();
            view_dirty = false;
            busy = true;
        }
        if (panel_dirty) {
            draw_panel();
            panel_dirty = false;
            busy = true;
        }
        if (!busy) std::this_thread::sleep_for(std::chrono::milliseconds(IDLE_WAIT_MS));
    }
    window_resized_hook = nullptr;
}
