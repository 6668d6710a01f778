// The bitmap font: loading through the file layer, drawing glyph masks in
// the current colour.
#include "gfx/font.h"

#include <SDL/SDL.h>

#include <cstdarg>
#include <cstdio>

#include "core/files.h"
#include "core/realm.h"
#include "frame/log.h"
#include "gfx/video.h"

glyph glyphs[FONT_GLYPHS];
uint16_t colour16 = 0;
uint32_t colour32 = 0;

void set_colour(int red, int green, int blue) {
    if (!screen_surface) return;
    colour32 = SDL_MapRGB(screen_surface->format, (Uint8)red, (Uint8)green, (Uint8)blue);
    colour16 = (uint16_t)colour32;
}

// There is one glyph table; every font index names it.
void load_font(int font, const char *file_name) {
    (void)font;
    log_write(LOG_GRAPHICS, "loading font \"%s\"", file_name);
    uint8_t handle = fs_open(file_name, "rb", 1);
    int w = fs_read_byte(handle);
    int h = fs_read_byte(handle);
    uint32_t glyph_size = (uint32_t)(w * h);
    auto *data = static_cast<uint8_t *>(ralloc(RMT_RESIDENT, FONT_GLYPHS * glyph_size));
    for (int code = 0; code < FONT_GLYPHS; code++) {
        glyphs[code].width = (int16_t)w;
        glyphs[code].height = (int16_t)h;
        glyphs[code].data = data + code * glyph_size;
        fs_read_block(handle, glyph_size, glyphs[code].data);
    }
    fs_close(handle);
}

void draw_text(bitmap *dest, int font, int x, int y, const char *text) {
    (void)font;
    const int bpp = bytes_per_pixel;
    if (bpp < 2 || bpp > 4) return;
    uint8_t ink[4];
    if (bpp == 2)
        memcpy(ink, &colour16, 2);
    else
        pixel_store(ink, colour32, bpp);
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; p++) {
        const glyph &g = glyphs[*p];
        int r0 = y < 0 ? -y : 0;
        int r1 = y + g.height > dest->height ? dest->height - y : g.height;
        int c0 = x < 0 ? -x : 0;
        int c1 = x + g.width > dest->width ? dest->width - x : g.width;
        for (int r = r0; r < r1; r++) {
            const uint8_t *mask = g.data + r * g.width;
            uint8_t *dst = dest->rows[y + r];
            for (int c = c0; c < c1; c++)
                if (mask[c]) memcpy(dst + (size_t)(x + c) * bpp, ink, (size_t)bpp);
        }
        x += g.width;
    }
}

void draw_textf(bitmap *dest, int font, int x, int y, const char *format, ...) {
    char text[TEXTF_BUFFER];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    draw_text(dest, font, x, y, text);
}

int text_width(int font, const char *text) {
    (void)font;
    int width = 0;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; p++)
        width += glyphs[*p].width;
    return width;
}

int font_height(int font) {
    (void)font;
    return glyphs[0].height;
}
