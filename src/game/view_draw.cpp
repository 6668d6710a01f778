// Drawing of the players' views and status panels.
#include "game/view_draw.h"

#include <cstring>

#include "core/events.h"
#include "game/game_loop.h"
#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/video.h"
#include "sim/creature.h"
#include "world/object.h"
#include "world/weapon.h"

uint32_t draw_bitmap_ms = 0;
int last_refreshed_view = VIEW_SLOTS - 1;

namespace {

const int64_t VIEW_W = (int64_t)GAME_VIEW_WIDTH * FIXED_ONE;
const int64_t VIEW_H = (int64_t)GAME_VIEW_HEIGHT * FIXED_ONE;

// Raised to 0 first, then lowered to the map's last camera position; a map
// smaller than the view thus gets a negative camera rather than a shift past
// its far edge.
int32_t clamp_camera(int64_t cam, int64_t map_size, int64_t view_size) {
    if (cam < 0) cam = 0;
    if (cam > map_size - view_size) cam = map_size - view_size;
    return (int32_t)cam;
}

void timed_draw(const bitmap *bmp, int x, int y) {
    uint32_t start = sys_ticks();
    sys_draw_bitmap(bmp, x, y);
    draw_bitmap_ms += sys_ticks() - start;
}

void draw_health(bitmap *panel, int32_t health) {
    if (health > HEALTH_SHOWN_MAX) health = HEALTH_SHOWN_MAX;
    const sprite *one = status_digits[1];
    int cell = one ? one->width : 0;
    // Right-aligned: the cells advance whether or not a digit is drawn.
    const int32_t digit[3] = {health / 100 % 10, health / 10 % 10, health % 10};
    const int32_t needed[3] = {100, 10, 1};
    for (int i = 0; i < 3; i++)
        if (health >= needed[i] && status_digits[digit[i]])
            draw_sprite(panel, status_digits[digit[i]], HEALTH_X + i * cell, HEALTH_Y);
}

}  // namespace

void place_camera(view *v) {
    const object *body = v->creature ? v->creature->body : nullptr;
    if (!body) return;
    // 64-bit sums: a body far outside the world must not wrap the camera.
    v->cam_x = clamp_camera((int64_t)body->x - (VIEW_W - body->w) / 2, map_width, VIEW_W);
    v->cam_y = clamp_camera((int64_t)body->y + v->look_offset - (int64_t)CAMERA_FEET_HEIGHT * FIXED_ONE,
                            map_height, VIEW_H);
}

void draw_view_map(view *v) {
    bitmap *pic = &v->picture;
    draw_background(pic, v->cam_x >> 16, v->cam_y >> 16, map_width >> 16, map_height >> 16);
    for (list_node *n = object_list; n; n = n->next) {
        const object *o = static_cast<const object *>(n->element);
        const sprite *s = o->sprite;
        if (!s) continue;
        // Whole pixels, rounded toward minus infinity, in 64 bits so that
        // objects far outside the map cannot overflow.
        int64_t column = (((int64_t)o->x - v->cam_x) >> 16) + s->dx;
        int64_t height = (((int64_t)o->y - v->cam_y) >> 16) + s->dy;
        if (column > GAME_VIEW_WIDTH || column + s->width < 0) continue;
        if (height > GAME_VIEW_HEIGHT || height + s->height < 0) continue;
        draw_sprite(pic, s, (int)column, (int)(GAME_VIEW_HEIGHT - height - s->height));
    }
    draw_textf(pic, 0, 2, 2, "FPS %.2f", screen_fps);
}

void draw_status_panel(view *v) {
    bitmap *panel = &v->panel;
    const creature *c = v->creature;
    set_colour(0, 0, 0);
    const size_t row_bytes = (size_t)PANEL_WIDTH * bytes_per_pixel;
    for (int32_t r = 0; r < PANEL_HEIGHT; r++) {
        if (status_picture.block)
            memcpy(panel->rows[r], status_picture.rows[r], row_bytes);
        else
            memset(panel->rows[r], 0, row_bytes);
    }
    draw_health(panel, c->health);
    int32_t w = c->weapon >= 0 && c->weapon < WEAPON_SLOTS ? c->weapon : 0;
    if (const sprite *icon = weapons[w].picture)
        draw_sprite(panel, icon, (PANEL_WIDTH - icon->width) / 2, WEAPON_ICON_CENTRE_Y - icon->height / 2);
    draw_text(panel, 0, WEAPON_NAME_X, PANEL_TEXT_Y, weapon_names[w]);
    if (w != 0) {
        int32_t ammunition = c->weapons[w].ammunition;
        if (ammunition < 1) {
            set_colour(180, 0, 0);
            draw_text(panel, 0, NO_AMMO_X, PANEL_TEXT_Y, "NO AMMO");
            set_colour(0, 0, 0);
        } else {
            draw_textf(panel, 0, AMMUNITION_X, PANEL_TEXT_Y, "[%d]", ammunition);
        }
    }
    draw_textf(panel, 0, FRAGS_X, FRAGS_Y, "FRAGS %d", c->frags);
}

void refresh_next_view() {
    int i = last_refreshed_view;
    int tries = 0;
    do {
        i = (i + 1) % VIEW_SLOTS;
    } while (!view_in_use(i) && ++tries < VIEW_SLOTS);
    if (!view_in_use(i)) return;
    last_refreshed_view = i;
    view *v = &views[i];
    if (v->panel_dirty && !v->panel_was_last) {
        draw_status_panel(v);
        timed_draw(&v->panel, v->panel_x, v->panel_y);
        v->panel_dirty = 0;
        v->panel_was_last = 1;
        return;
    }
    place_camera(v);
    draw_view_map(v);
    timed_draw(&v->picture, v->screen_x, v->screen_y);
    v->panel_was_last = 0;
}

void request_panel_redraw_all() {
    for (view &v : views) v.panel_dirty = 1;
}
