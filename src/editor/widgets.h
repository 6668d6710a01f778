// The tool panel's widgets: list boxes of text lines, check boxes, and the
// filled rectangle they are drawn on.
#pragma once
#include <cstdint>

#include "gfx/bitmap.h"

enum {
    LIST_BOX_LINES = 2000,   // lines a list box holds
    LIST_BOX_LINE_MAX = 80   // a line read from a file is shorter than this
};

struct list_box {
    uint16_t x, y, width, height;  // panel pixels
    int32_t selected;              // the selected line; -1 in an empty list
    int32_t first;                 // the first line shown
    char *lines[LIST_BOX_LINES];   // copies in the box's own realm
    int32_t count;
    int realm;
};

struct check_box {
    uint16_t x, y, width, height;  // panel pixels
    int32_t checked;
    const char *label;
};

void list_box_init(list_box *box, int x, int y, int width, int height);
// Replaces the lines with those of a text file, up to its first empty line
// (the file must have one); keeps the selection within the new lines.
void list_box_load(list_box *box, const char *file_name);
// Appends a copy of the text; a list box that is full ends the program.
void list_box_add(list_box *box, const char *text);
// A click at panel point (px, py): inside the box (edges included) selects
// the line under it, or the last line below them, and returns 1; else 0.
int list_box_click(list_box *box, int px, int py);
// The selected line, or null when there is none.
const char *list_box_selected(const list_box *box);
void draw_list_box(bitmap *dest, const list_box *box);

void check_box_init(check_box *box, int x, int y, int width, int height, const char *label);
// A click inside the box (edges included) toggles it and returns 1; else 0.
int check_box_click(check_box *box, int px, int py);
void draw_check_box(bitmap *dest, const check_box *box);

// Fills width x height pixels from (x, y) with a colour; the part that
// falls outside the bitmap is left out.
void fill_rect(bitmap *dest, int x, int y, int width, int height, int red, int green, int blue);
