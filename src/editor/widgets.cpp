// List boxes, check boxes and filled rectangles of the tool panel.
#include "editor/widgets.h"

#include <SDL/SDL.h>

#include <cstring>

#include "core/realm.h"
#include "frame/sys.h"
#include "gfx/font.h"
#include "gfx/video.h"
#include "world/text_read.h"

namespace {

const int FONT = 0;

bool inside(int px, int py, int x, int y, int width, int height) {
    return px - x >= 0 && px - x <= width && py - y >= 0 && py - y <= height;
}

int line_height() {
    int h = font_height(FONT);
    return h > 0 ? h : 1;
}

void keep_selection_in_lines(list_box *box) {
    if (box->selected >= box->count) box->selected = box->count - 1;
    if (box->first > box->selected) box->first = box->selected;
}

char *copy_line(list_box *box, const char *text) {
    size_t n = strlen(text) + 1;
    auto *copy = static_cast<char *>(ralloc(box->realm, (uint32_t)n));
    memcpy(copy, text, n);
    return copy;
}

// Lines the box draws: each needs its whole height inside the box.
int32_t lines_shown(const list_box *box) { return box->height > 0 ? (box->height - 1) / line_height() : 0; }

}  // namespace

void list_box_init(list_box *box, int x, int y, int width, int height) {
    box->x = (uint16_t)x;
    box->y = (uint16_t)y;
    box->width = (uint16_t)width;
    box->height = (uint16_t)height;
    box->selected = 0;
    box->first = 0;
    box->count = 0;
    for (char *&line : box->lines) line = nullptr;
    box->realm = create_realm();
    if (box->realm < 0) sys_exit(2, "list_box_init(): no free realm for the list's lines");
}

void list_box_load(list_box *box, const char *file_name) {
    char line[LIST_BOX_LINE_MAX + 1];
    wipe_realm(box->realm);
    box->count = 0;
    text_file f = text_open(file_name, LIST_BOX_LINE_MAX, 1);
    while (box->count < LIST_BOX_LINES) {
        read_rest(&f, line);
        if (!line[0]) break;
        box->lines[box->count++] = copy_line(box, line);
        f.line++;
    }
    text_close(&f);
    for (int32_t i = box->count; i < LIST_BOX_LINES; i++) box->lines[i] = nullptr;
    keep_selection_in_lines(box);
}

void list_box_add(list_box *box, const char *text) {
    if (box->count >= LIST_BOX_LINES) sys_exit(16, "only %d lines are allowed in listboxes", LIST_BOX_LINES);
    box->lines[box->count++] = copy_line(box, text);
}

int list_box_click(list_box *box, int px, int py) {
    if (!inside(px, py, box->x, box->y, box->width, box->height)) return 0;
    // A click below the lines drawn takes the last line drawn: a line that
    // is not shown is never selected.
    const int32_t shown = lines_shown(box);
    if (shown == 0) return 1;
    int32_t line = (py - box->y) / line_height();
    if (line > shown - 1) line = shown - 1;
    line += box->first;
    box->selected = line < box->count - 1 ? line : box->count - 1;
    return 1;
}

const char *list_box_selected(const list_box *box) {
    if (box->selected < 0 || box->selected >= box->count) return nullptr;
    return box->lines[box->selected];
}

void draw_list_box(bitmap *dest, const list_box *box) {
    fill_rect(dest, box->x, box->y, box->width, box->height, 128, 128, 180);
    const int h = line_height();
    int offset = 0;
    for (int32_t i = box->first < 0 ? box->count : box->first; i < box->count && offset + h < box->height;
         i++, offset += h) {
        if (i == box->selected)
            set_colour(220, 220, 220);
        else
            set_colour(0, 0, 0);
        draw_text(dest, FONT, box->x, box->y + offset, box->lines[i]);
    }
}

void check_box_init(check_box *box, int x, int y, int width, int height, const char *label) {
    box->x = (uint16_t)x;
    box->y = (uint16_t)y;
    box->width = (uint16_t)width;
    box->height = (uint16_t)height;
    box->checked = 0;
    box->label = label;
}

int check_box_click(check_box *box, int px, int py) {
    if (!inside(px, py, box->x, box->y, box->width, box->height)) return 0;
    box->checked = !box->checked;
    return 1;
}

void draw_check_box(bitmap *dest, const check_box *box) {
    set_colour(0, 0, 0);
    draw_textf(dest, FONT, box->x, box->y, "(%c) %s", box->checked ? '*' : ' ', box->label);
}

void fill_rect(bitmap *dest, int x, int y, int width, int height, int red, int green, int blue) {
    const int bpp = bytes_per_pixel;
    uint32_t value = SDL_MapRGB(screen_surface->format, (Uint8)red, (Uint8)green, (Uint8)blue);
    uint8_t pixel[4];
    pixel_store(pixel, value, bpp);
    int x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
    int x1 = x + width > dest->width ? dest->width : x + width;
    int y1 = y + height > dest->height ? dest->height : y + height;
    for (int row = y0; row < y1; row++)
        for (int col = x0; col < x1; col++) memcpy(dest->rows[row] + (size_t)col * bpp, pixel, (size_t)bpp);
}
