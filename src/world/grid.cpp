// The world grid and the area query.
#include "world/grid.h"

#include "core/realm.h"
#include "frame/sys.h"

int32_t grid_columns = 0;
int32_t grid_rows = 0;
grid_cell **grid_row_table = nullptr;
grid_cell *grid_left = nullptr;
grid_cell *grid_right = nullptr;
grid_cell *grid_below = nullptr;
grid_cell *grid_above = nullptr;

int32_t recall_ids[RECALL_MAX];
int32_t recall_count = 0;

namespace {

grid_cell *grid_block = nullptr;  // columns * rows cells, then the four border cells

void cell_add(list_node **list, object *o, int tag) { list_add(list, o, tag); }

// Walks the cells under a box in the grid's fixed order: below, above, left
// and right border cells where the box reaches past that edge, then the
// cells row by row from the bottom, each row from the left. `cell` returns
// false to stop the walk.
template <typename F>
void walk_cells(const object *o, F cell) {
    int64_t x0 = o->x, x1 = (int64_t)o->x + o->w;
    int64_t y0 = o->y, y1 = (int64_t)o->y + o->h;
    if (y0 < 0) {
        if (!cell(grid_below)) return;
        if (y1 < 1) return;
        y0 = 0;
    }
    if (y1 > map_height) {
        y1 = map_height;
        if (!cell(grid_above)) return;
        if (y0 >= map_height) return;
    }
    if (x0 < 0) {
        if (!cell(grid_left)) return;
        if (x1 < 1) return;
        x0 = 0;
    }
    if (x1 > map_width) {
        x1 = map_width;
        if (!cell(grid_right)) return;
        if (x0 >= map_width) return;
    }
    int32_t r1 = (int32_t)(y1 >> GRID_CELL_SHIFT), c1 = (int32_t)(x1 >> GRID_CELL_SHIFT);
    for (int32_t r = (int32_t)(y0 >> GRID_CELL_SHIFT); r <= r1; r++)
        for (int32_t c = (int32_t)(x0 >> GRID_CELL_SHIFT); c <= c1; c++)
            if (!cell(&grid_row_table[r][c])) return;
}

}  // namespace

void build_grid() {
    if (map_width < 0 || map_height < 0)
        sys_exit(16, "build_grid(): bad map size %d x %d", map_width, map_height);
    grid_columns = (map_width >> GRID_CELL_SHIFT) + 1;
    grid_rows = (map_height >> GRID_CELL_SHIFT) + 1;
    uint32_t cells = (uint32_t)(grid_columns * grid_rows + 4);
    grid_block = static_cast<grid_cell *>(ralloc(RMT_GAME, cells * sizeof(grid_cell)));
    grid_row_table = static_cast<grid_cell **>(ralloc(RMT_GAME, (uint32_t)grid_rows * sizeof(grid_cell *)));
    for (uint32_t i = 0; i < cells; i++) grid_block[i].fixed = grid_block[i].per_tick = nullptr;
    for (int32_t r = 0; r < grid_rows; r++) grid_row_table[r] = grid_block + r * grid_columns;
    grid_cell *border = grid_block + grid_columns * grid_rows;
    grid_left = border;
    grid_right = border + 1;
    grid_below = border + 2;
    grid_above = border + 3;
}

void grid_forget() {
    grid_block = nullptr;
    grid_row_table = nullptr;
    grid_left = grid_right = grid_below = grid_above = nullptr;
    grid_columns = grid_rows = 0;
}

void grid_add_fixed(object *o) {
    if (!grid_block) return;
    walk_cells(o, [o](grid_cell *c) {
        cell_add(&c->fixed, o, RMT_GAME);
        return true;
    });
}

void grid_add_per_tick(object *o) {
    if (!grid_block || o->kind < 0 || o->kind >= OBJ_KINDS || !kind_per_tick[o->kind]) return;
    walk_cells(o, [o](grid_cell *c) {
        cell_add(&c->per_tick, o, RMT_GRID);
        return true;
    });
}

void grid_clear_per_tick() {
    wipe_realm(RMT_GRID);
    if (!grid_block) return;
    int32_t cells = grid_columns * grid_rows + 4;
    for (int32_t i = 0; i < cells; i++) grid_block[i].per_tick = nullptr;
}

void for_objects_near(object *o, int (*visit)(object *, void *), void *context) {
    recall_ids[0] = o->id;
    recall_count = 1;
    if (!grid_block) return;
    walk_cells(o, [visit, context](grid_cell *c) {
        for (list_node *n = c->fixed; n; n = n->next)
            if (!visit(static_cast<object *>(n->element), context)) return false;
        for (list_node *n = c->per_tick; n; n = n->next)
            if (!visit(static_cast<object *>(n->element), context)) return false;
        return true;
    });
}

int object_was_recalled(const object *o) {
    for (int32_t i = 0; i < recall_count; i++)
        if (recall_ids[i] == o->id) return 1;
    recall_ids[recall_count++] = o->id;
    if (recall_count >= RECALL_MAX) sys_exit(16, "object_was_recalled(): recall list too large");
    return 0;
}
