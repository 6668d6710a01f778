// The world grid: square cells of 512 pixels with a fixed list (walls,
// entered once) and a per-tick list each, four border cells for what reaches
// past the map's edges, and the area query with its recall list.
#pragma once
#include <cstdint>

#include "world/object.h"

enum {
    GRID_CELL_SHIFT = 25,  // a 16.16 coordinate's cell index: value >> 25
    RECALL_MAX = 1024
};

struct grid_cell {
    list_node *fixed;     // nodes in RMT_GAME
    list_node *per_tick;  // nodes in RMT_GRID
};

extern int32_t grid_columns;
extern int32_t grid_rows;
extern grid_cell **grid_row_table;  // grid_row_table[row][column]; row 0 at the bottom
extern grid_cell *grid_left;        // x below 0
extern grid_cell *grid_right;       // x beyond map_width
extern grid_cell *grid_below;       // y below 0
extern grid_cell *grid_above;       // y beyond map_height

extern int32_t recall_ids[RECALL_MAX];
extern int32_t recall_count;

// Makes the empty grid for the current map size in RMT_GAME.
void build_grid();
// Forgets the grid (its memory went with the game's realm).
void grid_forget();
void grid_add_fixed(object *o);
// Enters the object if its kind is entered every tick.
void grid_add_per_tick(object *o);
// Wipes RMT_GRID and empties every per-tick list.
void grid_clear_per_tick();

// Calls `visit` for the objects of the cells under `o`'s box, fixed lists
// before per-tick lists, cell by cell; `visit` returns 0 to stop at once.
// A visitor must not start another query.
void for_objects_near(object *o, int (*visit)(object *other, void *context), void *context);
// 1 if the running query has seen the object already; records it otherwise.
int object_was_recalled(const object *o);
