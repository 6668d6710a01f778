// The map maker's overlay on the map area.
#include "editor/overlay.h"

#include <SDL/SDL.h>

#include <cstdint>

#include "editor/editor.h"
#include "editor/widgets.h"
#include "gfx/video.h"
#include "world/object.h"

namespace {

enum { GRID = 16 };

struct colour {
    int r, g, b;
};
const colour GRID_COLOUR = {170, 170, 170}, BOUNDS_COLOUR = {255, 60, 60}, OUTSIDE_COLOUR = {255, 60, 60};
const colour REDIRECT_COLOUR = {255, 255, 0}, TELEPORT_COLOUR = {0, 255, 255}, PLATFORM_COLOUR = {0, 255, 0};

// A one-pixel frame round a box given in map pixels (x, y its bottom-left
// corner), in the map area's screen rows, which grow downward.
void frame(bitmap *dest, int64_t x, int64_t y, int64_t w, int64_t h, colour c) {
    const int64_t left = x - view_origin_x, bottom = map_area.height - (y - view_origin_y);
    const int64_t top = bottom - h;
    if (w <= 0 || h <= 0 || left > dest->width || left + w < 0 || top > dest->height || bottom < 0) return;
    const int l = (int)left, t = (int)top, wi = (int)w, hi = (int)h;
    fill_rect(dest, l, t, wi, 1, c.r, c.g, c.b);
    fill_rect(dest, l, t + hi - 1, wi, 1, c.r, c.g, c.b);
    fill_rect(dest, l, t, 1, hi, c.r, c.g, c.b);
    fill_rect(dest, l + wi - 1, t, 1, hi, c.r, c.g, c.b);
}

// Dotted lines on every map x and y that is a multiple of 16 pixels.
void draw_grid(bitmap *dest) {
    const int bpp = bytes_per_pixel;
    uint8_t dot[4];
    pixel_store(dot, SDL_MapRGB(screen_surface->format, GRID_COLOUR.r, GRID_COLOUR.g, GRID_COLOUR.b), bpp);
    const int w = dest->width, h = dest->height;
    // The first screen column and row on a grid line: column c shows map x
    // origin + c, row r map y origin + h - 1 - r. The & keeps negative
    // origins on the grid too.
    const int first_x = -view_origin_x & (GRID - 1);
    const int first_row = (view_origin_y + h - 1) & (GRID - 1);
    for (int row = 0; row < h; row += 2)
        for (int col = first_x; col < w; col += GRID) memcpy(dest->rows[row] + (size_t)col * bpp, dot, (size_t)bpp);
    for (int row = first_row; row < h; row += GRID)
        for (int col = 0; col < w; col += 2) memcpy(dest->rows[row] + (size_t)col * bpp, dot, (size_t)bpp);
}

}  // namespace

bool outside_world(const object *o) {
    return o->x < 0 || o->y < 0 || (int64_t)o->x + o->w > map_width || (int64_t)o->y + o->h > map_height;
}

void draw_overlay(bitmap *dest) {
    if (show_grid) draw_grid(dest);
    frame(dest, 0, 0, map_width >> 8, map_height >> 8, BOUNDS_COLOUR);
    for (list_node *n = object_list; n; n = n->next) {
        auto *o = static_cast<const object *>(n->element);
        if (o->kind == OBJ_WIPE) continue;
        const int64_t x = o->x >> 8, y = o->y >> 8, w = o->w >> 8, h = o->h >> 8;
        if (show_outlines && o->kind == OBJ_TRIGGER) {
            auto *t = static_cast<const trigger *>(o->owner);
            frame(dest, x, y, w, h, t->type == TRIGGER_REDIRECT ? REDIRECT_COLOUR : TELEPORT_COLOUR);
        } else if (show_outlines && o->kind == OBJ_PLATFORM) {
            frame(dest, x, y, w, h, PLATFORM_COLOUR);
        }
        // A mark a pixel wider than the box, so that it shows beside an outline.
        if (outside_world(o) && (o->sprite || show_outlines)) frame(dest, x - 1, y - 1, w + 2, h + 2, OUTSIDE_COLOUR);
    }
}
