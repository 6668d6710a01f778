// The bitmap font and text drawing in the current colour.
#pragma once
#include <cstdint>

#include "gfx/bitmap.h"

enum { FONT_GLYPHS = 256, TEXTF_BUFFER = 200 };

struct glyph {
    int16_t width;
    int16_t height;
    uint8_t *data;  // width x height bytes, top row first; 0 is background
};

// One font (index 0, "koi8.font"); the operations take a font index for it.
extern glyph glyphs[FONT_GLYPHS];
// The current colour as a display pixel: the 16-bit copy serves 2 bytes a
// pixel, the 32-bit copy 3 and 4.
extern uint16_t colour16;
extern uint32_t colour32;

void set_colour(int red, int green, int blue);
// Reads a font file (width byte, height byte, 256 glyphs) into RMT_RESIDENT.
void load_font(int font, const char *file_name);
// Draws the text with the first glyph's top-left corner at (x, y); glyph
// pixels that would fall outside `dest` are left out.
void draw_text(bitmap *dest, int font, int x, int y, const char *text);
void draw_textf(bitmap *dest, int font, int x, int y, const char *format, ...)
    __attribute__((format(printf, 5, 6)));
int text_width(int font, const char *text);
int font_height(int font);
