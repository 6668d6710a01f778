// Drawing on the back buffer and into views.
#include "gfx/draw.h"

#include <cstring>

#include "core/realm.h"
#include "gfx/font.h"
#include "gfx/video.h"

bitmap start_picture = {0, 0, nullptr, nullptr, nullptr};
bool start_picture_loaded = false;

namespace {

// The offset of the view into a background dimension: the camera's share of
// the map's scroll range, applied to the background's scroll range. A map
// no larger than the view does not scroll its background. Worked out in 64
// bits so that large maps cannot overflow; kept inside the background.
int32_t parallax(int32_t back, int32_t view, int32_t cam, int32_t map) {
    int64_t range = (int64_t)back - view;
    if (range <= 0 || map <= view) return 0;
    int64_t offset = range * cam / ((int64_t)map - view);
    if (offset < 0) offset = 0;
    if (offset > range) offset = range;
    return (int32_t)offset;
}

}  // namespace

void draw_background(bitmap *dest, int32_t cam_x, int32_t cam_y, int32_t map_w, int32_t map_h) {
    const int bpp = bytes_per_pixel;
    const size_t row_bytes = (size_t)dest->width * bpp;
    const bitmap *b = background;
    if (!b || !b->block) {
        for (int32_t i = 0; i < dest->height; i++) memset(dest->rows[i], 0, row_bytes);
        return;
    }
    int32_t bx = parallax(b->width, dest->width, cam_x, map_w);
    int32_t by = parallax(b->height, dest->height, cam_y, map_h);
    // World y grows upwards and picture rows downwards: a camera at the
    // bottom of the map shows the background's bottom rows.
    int32_t top = b->height - by - dest->height;
    size_t copy = (size_t)(b->width - bx < dest->width ? b->width - bx : dest->width) * bpp;
    for (int32_t i = 0; i < dest->height; i++) {
        int32_t row = top + i;
        if (row < 0 || row >= b->height) {  // background shorter than the view
            memset(dest->rows[i], 0, row_bytes);
            continue;
        }
        memcpy(dest->rows[i], b->rows[row] + (size_t)bx * bpp, copy);
        if (copy < row_bytes) memset(dest->rows[i] + copy, 0, row_bytes - copy);
    }
}

void show_bitmap(const bitmap *bmp, int x, int y) {
    bitmap *d = &back_buffer;
    int x0 = x < 0 ? 0 : x;
    int y0 = y < 0 ? 0 : y;
    int x1 = x + bmp->width > d->width ? d->width : x + bmp->width;
    int y1 = y + bmp->height > d->height ? d->height : y + bmp->height;
    const int bpp = bytes_per_pixel;
    for (int row = y0; row < y1 && x0 < x1; row++)
        memcpy(d->rows[row] + (size_t)x0 * bpp, bmp->rows[row - y] + (size_t)(x0 - x) * bpp,
               (size_t)(x1 - x0) * bpp);
    update_screen();
}

void clear_screen() {
    const size_t row_bytes = (size_t)back_buffer.width * bytes_per_pixel;
    for (int32_t i = 0; i < back_buffer.height; i++) memset(back_buffer.rows[i], 0, row_bytes);
}

void update_screen() { sys_draw_bitmap(&back_buffer, 0, 0); }

void show_start_picture() {
    if (!start_picture_loaded) {
        load_bitmap(&start_picture, "start.jpg", RMT_PICTURE);
        start_picture_loaded = true;
    }
    clear_screen();
    show_bitmap(&start_picture, (screen_width - start_picture.width) / 2,
                (screen_height - start_picture.height) / 2);
}

void screen_setup() {
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    show_start_picture();
    load_font(0, "koi8.font");
}
