// The tool panel: the WALL and ITEM pages with their widgets, and what a
// click does: switch pages, select, place an object on the map's 16-pixel
// grid or remove the object under the pointer.
#pragma once
#include <cstdint>

#include "editor/widgets.h"

struct object;
struct sprite;

enum {
    PAGE_WALL = 0,
    PAGE_ITEM = 1,
    TAB_HEIGHT = 18,          // clicks above this row of the panel pick a page
    TAB_SPLIT = 40,           // up to this panel x the WALL tab, then ITEM
    PALETTE_ROWS = 16,        // the twelve things of every map and the four player starts
    GRID_MASK = ~0xFFF        // 16 pixels in 24.8 fixed point
};

// One row of the ITEM page: what a placement of it creates.
struct palette_row {
    const char *line;          // the list box's line
    const char *picture;       // null: the description's half-way turn
    int32_t item_kind;
    int respawns;
    const char *monster_file;  // for the monster and the players
    int32_t player;            // for the players
};

extern const palette_row item_palette[PALETTE_ROWS];
// The pictures that placements use, all loaded before the first edit:
// one per palette row and one per line of the wall list.
extern sprite *palette_pictures[PALETTE_ROWS];
extern sprite *wall_pictures[LIST_BOX_LINES];

extern int panel_page;         // PAGE_WALL or PAGE_ITEM; starts on ITEM
extern list_box wall_list_box;
extern list_box item_list_box;
extern check_box decoration_box;
extern check_box ladder_box;

// Builds both pages (the wall list from "editor.walls") and loads every
// picture they offer; the panel's first layout calls it, so that a missing
// picture ends the editor before anything was edited.
void panel_build_pages();
// Loads the wall list from the file and the picture of each line.
void load_wall_list(const char *file_name);
// Fits the list boxes to the panel's height after every layout.
void panel_fit_pages();
void draw_panel();
// A mouse button pressed (1) or released (0) at screen point (x, y).
void panel_click(int x, int y, int pressed, int button);

// A map coordinate (24.8) moved down to the 16-pixel grid.
inline int32_t snap_to_grid(int32_t v) { return v & GRID_MASK; }
// Places what the current page has selected at map point (mx, my), snapped
// to the grid, and records the edit; returns the object, or null when
// nothing is selected or the point lies beyond what maps can hold. A player
// start already on the map is moved there instead.
object *place_selected(int32_t mx, int32_t my);
// Marks the first object of the list that the user can see (an invisible
// trigger only while outlines are shown) and whose box holds (mx, my),
// edges included, as WIPE and records the edit; returns it, or null.
object *remove_object_at(int32_t mx, int32_t my);
