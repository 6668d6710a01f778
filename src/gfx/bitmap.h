// Bitmaps and sprites: pictures loaded once, converted to the display's
// pixel format and kept in realm memory, so that every later copy is a plain
// byte copy. Sprites are run-length coded; their transparent parts cost
// nothing to store or draw.
#pragma once
#include <cstdint>
#include <cstring>

// An opaque rectangle of pixels. The record belongs to whoever declares it;
// `block` (name, row table, pixels) is one realm block, null once freed.
struct bitmap {
    int32_t width;
    int32_t height;
    void *block;
    char *name;
    uint8_t **rows;  // rows[y] is the first pixel of row y; row 0 is the top
};

// A picture with transparent parts, coded per row as (skip, copy) byte
// pairs; only the opaque pixels are stored. Allocated by its loader.
struct sprite {
    int32_t width;
    int32_t height;
    void *block;
    char *name;
    uint8_t **rows;       // packed opaque pixels of each row
    uint8_t *run_counts;  // (skip, copy) pairs of each row
    uint8_t **runs;       // runs[y]: 2 * run_counts[y] bytes skip, copy, ...
    int16_t dx;           // drawing offsets set by description loaders
    int16_t dy;
};

enum {
    SPRITE_RUN_MAX = 255,    // longest run, and most pairs in one row
    TRANSPARENT_R = 0,       // the colour that sprites leave out
    TRANSPARENT_G = 47,
    TRANSPARENT_B = 47,
    GAME_VIEW_WIDTH = 480,   // one player's view of the map
    GAME_VIEW_HEIGHT = 240
};

// The current map's background picture, at least view_width x view_height.
extern bitmap *background;
// The size of the picture a map view draws: 480 x 240 in the game; the
// editor sets its map area here. Backgrounds are padded up to it.
extern int32_t view_width;
extern int32_t view_height;

void alloc_bitmap(bitmap *bmp, int32_t width, int32_t height, int tag, const char *name);
// Frees the block and clears `block`; the record stays. Freeing twice is harmless.
void free_bitmap(bitmap *bmp);
void load_bitmap(bitmap *bmp, const char *file_name, int tag);
sprite *load_sprite(const char *file_name, int tag);
// load_sprite's work once the picture is decoded: the run-coded sprite of
// the surface in the display's format, named `file_name`. A picture whose
// blocks would pass 4 GiB ends the program (code 2).
sprite *sprite_from_surface(const struct SDL_Surface *s, const char *file_name, int tag);
// Copies the sprite's opaque pixels with its top-left corner at (x, y) of
// `dest`; whatever falls outside `dest` is clipped.
void draw_sprite(bitmap *dest, const sprite *spr, int x, int y);
// Loads the map's background in RMT_GAME, padded with black up to the view
// size, and makes it `background`.
void load_background(const char *file_name);

// A pixel is the low `bpp` bytes of a mapped colour value, in machine order.
// The byte order comes from the compiler rather than SDL, so that the
// headless world and simulation code can hold bitmaps and sprites.
inline void pixel_store(uint8_t *dst, uint32_t value, int bpp) {
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    memcpy(dst, reinterpret_cast<uint8_t *>(&value) + 4 - bpp, (size_t)bpp);
#else
    memcpy(dst, &value, (size_t)bpp);
#endif
}

inline uint32_t pixel_load(const uint8_t *src, int bpp) {
    uint32_t value = 0;
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    memcpy(reinterpret_cast<uint8_t *>(&value) + 4 - bpp, src, (size_t)bpp);
#else
    memcpy(&value, src, (size_t)bpp);
#endif
    return value;
}
