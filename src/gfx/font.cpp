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

namespace {

// The ink of every glyph row as bits, eight pixels to a byte (bit p of
// byte g is column 8g + p): made from the byte masks when the font is
// loaded, so that drawing never tests a pixel on its own.
uint8_t *glyph_bits[FONT_GLYPHS];
int bit_bytes;  // bytes a glyph row takes

// For each byte of ink bits, the byte mask of 8 pixels of BPP bytes: all
// ones where the pixel is ink.
template <int BPP> struct ink_table {
    uint8_t mask[256][8 * BPP];
    constexpr ink_table() : mask() {
        for (int bits = 0; bits < 256; bits++)
            for (int i = 0; i < 8 * BPP; i++) mask[bits][i] = (bits >> (i / BPP) & 1) ? 0xFF : 0;
    }
};
template <int BPP> constexpr ink_table<BPP> ink_masks{};

// dst = ink where mask, else dst, for the N bytes at `a` and the N bytes
// at `b`. The two pieces may overlap, since a byte blended twice comes out
// the same; both are read before either is written, so that no read waits
// for a store it overlaps.
template <size_t N>
[[gnu::always_inline]] inline void blend_two(uint8_t *dst, const uint8_t *mask, const uint8_t *ink, size_t a, size_t b) {
    typedef uint8_t chunk __attribute__((vector_size(N)));
    chunk da, db, ma, mb, ia, ib;
    memcpy(&da, dst + a, N);
    memcpy(&db, dst + b, N);
    memcpy(&ma, mask + a, N);
    memcpy(&mb, mask + b, N);
    memcpy(&ia, ink + a, N);
    memcpy(&ib, ink + b, N);
    da = (da & ~ma) | (ia & ma);
    db = (db & ~mb) | (ib & mb);
    memcpy(dst + a, &da, N);
    memcpy(dst + b, &db, N);
}

// Blends n bytes, 2 <= n <= 32.
[[gnu::always_inline]] inline void blend_bytes(uint8_t *dst, const uint8_t *mask, const uint8_t *ink, size_t n) {
    if (n >= 16)
        blend_two<16>(dst, mask, ink, 0, n - 16);
    else if (n >= 8)
        blend_two<8>(dst, mask, ink, 0, n - 8);
    else if (n >= 4)
        blend_two<4>(dst, mask, ink, 0, n - 4);
    else
        blend_two<2>(dst, mask, ink, 0, n - 2);
}

// One glyph wholly inside `dest` horizontally, rows r0 .. r1 - 1 of it,
// eight pixels at a time; blending a group without ink changes nothing and
// costs less than testing for it. `ink` holds the current colour 8 times.
template <int BPP>
void draw_glyph(bitmap *dest, const glyph &g, const uint8_t *bits, int x, int y, int r0, int r1, const uint8_t *ink) {
    uint8_t *const *rows = dest->rows;
    const int stride = bit_bytes;
    if (g.width <= 8) {  // one group a row, as in the data set's font
        const size_t bytes = (size_t)g.width * BPP;
        for (int r = r0; r < r1; r++)
            blend_bytes(rows[y + r] + (size_t)x * BPP, ink_masks<BPP>.mask[bits[r * stride]], ink, bytes);
        return;
    }
    for (int r = r0; r < r1; r++) {
        uint8_t *dst = rows[y + r] + (size_t)x * BPP;
        const uint8_t *row_bits = bits + (size_t)r * stride;
        for (int c = 0; c < g.width; c += 8) {
            int pixels = g.width - c < 8 ? g.width - c : 8;
            blend_bytes(dst + (size_t)c * BPP, ink_masks<BPP>.mask[row_bits[c / 8]], ink, (size_t)pixels * BPP);
        }
    }
}

// A glyph that passes an edge of `dest`: only its pixels inside are drawn.
void draw_glyph_clipped(bitmap *dest, const glyph &g, int x, int y, int r0, int r1, const uint8_t *ink, int bpp) {
    int c0 = x < 0 ? -x : 0;
    int c1 = x + g.width > dest->width ? dest->width - x : g.width;
    for (int r = r0; r < r1; r++) {
        const uint8_t *mask = g.data + r * g.width;
        uint8_t *dst = dest->rows[y + r];
        for (int c = c0; c < c1; c++)
            if (mask[c]) memcpy(dst + (size_t)(x + c) * bpp, ink, (size_t)bpp);
    }
}

template <int BPP> void draw_line(bitmap *dest, int x, int y, const unsigned char *text) {
    uint8_t ink[8 * BPP];
    if (BPP == 2) {
        for (int i = 0; i < 8; i++) memcpy(ink + 2 * i, &colour16, 2);
    } else {
        for (int i = 0; i < 8; i++) pixel_store(ink + BPP * i, colour32, BPP);
    }
    for (; *text; text++) {
        const glyph &g = glyphs[*text];
        int r0 = y < 0 ? -y : 0;
        int r1 = y + g.height > dest->height ? dest->height - y : g.height;
        // A glyph of no width (a font file may say so) has nothing to draw.
        if (g.width > 0 && r0 < r1 && x < dest->width && x + g.width > 0) {
            if (x >= 0 && x + g.width <= dest->width && glyph_bits[*text])
                draw_glyph<BPP>(dest, g, glyph_bits[*text], x, y, r0, r1, ink);
            else
                draw_glyph_clipped(dest, g, x, y, r0, r1, ink, BPP);
        }
        x += g.width;
    }
}

}  // namespace

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

    bit_bytes = (w + 7) / 8;
    uint32_t bits_size = (uint32_t)(bit_bytes * h);
    auto *bits = static_cast<uint8_t *>(ralloc(RMT_RESIDENT, FONT_GLYPHS * bits_size));
    memset(bits, 0, FONT_GLYPHS * bits_size);
    for (int code = 0; code < FONT_GLYPHS; code++) {
        glyph_bits[code] = bits + code * bits_size;
        for (int r = 0; r < h; r++)
            for (int c = 0; c < w; c++)
                if (glyphs[code].data[r * w + c]) glyph_bits[code][r * bit_bytes + c / 8] |= (uint8_t)(1 << (c % 8));
    }
}

void draw_text(bitmap *dest, int font, int x, int y, const char *text) {
    (void)font;
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    switch (bytes_per_pixel) {
    case 2: draw_line<2>(dest, x, y, p); break;
    case 3: draw_line<3>(dest, x, y, p); break;
    case 4: draw_line<4>(dest, x, y, p); break;
    default: break;  // no other pixel size is drawn
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
