// The editor's screen: a scrolling map area on the left and the tool panel
// on the right, the main loop that scrolls the map and hands clicks to the
// panel, and the drawing of the map area.
#pragma once
#include <cstdint>

#include "gfx/bitmap.h"
#include "sim/view.h"

struct event;

enum {
    PANEL_REGION_WIDTH = 180,  // the tool panel is this wide at any window size
    MAP_FILE_NAME_MAX = 200,   // the map name buffer, with its terminating zero
    SCROLL_STEP = 16,          // pixels a scroll step moves the map area
    SCROLL_STEP_FAST = 80,     // the same with Shift held
    SCROLL_INTERVAL = 80,      // milliseconds between scroll steps
    SCROLL_CATCH_UP = 25       // most steps one late pass makes up (two seconds)
};

// One region of the window with the off-screen bitmap it is drawn in.
struct editor_region {
    int16_t x, y, width, height;
    bitmap picture;         // "view" or "panel", in RMT_PICTURE
    bool first_layout;      // its first layout neither frees nor draws
};

// What the main loop keeps between events: the movement keys held, Ctrl
// held, the quit request, the time of the next scroll step, and whether a
// first `l` asked to confirm that unsaved changes may go.
struct editor_keys {
    int32_t up, down, left, right, fast;
    int32_t quit;
    uint32_t next_scroll;
    int32_t ctrl;
    int32_t confirm_load;
};

extern editor_region map_area;
extern editor_region panel_area;
// The map pixel shown at the map area's bottom-left corner; negative on a
// map smaller than the area.
extern int16_t view_origin_x;
extern int16_t view_origin_y;
// Drawn at the end of the loop's pass when set.
extern bool view_dirty;
extern bool panel_dirty;
// The map being edited; the chooser overwrites it.
extern char map_file_name[MAP_FILE_NAME_MAX];
// The map area is drawn through a view record whose picture is "view".
extern view editor_view;
// Outlines of triggers and platforms (key `o`, shown at start) and the
// 16-pixel grid (key `g`, hidden at start) over the map area.
extern bool show_outlines;
extern bool show_grid;
// The map pixel under the mouse pointer, while it is over the map area.
extern bool pointer_in_map;
extern int32_t pointer_map_x;
extern int32_t pointer_map_y;

// The editor's run: chooser, map load, then the loop until Escape.
void editor_main_loop();
// Sets both regions up for the current screen size (also after a resize).
void editor_layout();
// Redraws the map area (background and objects) and shows it.
void draw_view();
// Keeps the map area over the map; a map smaller than the area is shown
// from a negative origin.
void clamp_view_origin();

// One event record of the main loop: movement keys and Ctrl on press and
// release, Ctrl+S, Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z on press, Escape and the
// letter keys on release, mouse buttons to the panel, motion to the status.
void editor_handle_event(editor_keys *keys, const event *e);
// The scroll steps whose time has come: move the origin by the keys held.
// Steps keep their planned times, so a late pass does not slow the
// scrolling down.
void editor_scroll(editor_keys *keys, uint32_t now);
// The map point, in 24.8, under a screen point of the map area.
void screen_to_map(int sx, int sy, int32_t *mx, int32_t *my);
// Runs the chooser, then loads the chosen map in place of the current one;
// unsaved changes go to the autosave first.
void editor_load_other_map();
// Loads the named map as the one being edited, with no edits to undo.
void editor_load(const char *file_name);
