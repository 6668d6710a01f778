// Bitmaps and sprites: loading through the file layer and SDL_image,
// conversion to the display's pixel format, run-length coding of sprites,
// clipped sprite drawing and the padded map background.
#include "gfx/bitmap.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include "core/files.h"
#include "core/realm.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "gfx/video.h"

bitmap *background = nullptr;
int32_t view_width = GAME_VIEW_WIDTH;
int32_t view_height = GAME_VIEW_HEIGHT;

namespace {

// The pointer tables inside a block follow texts and byte arrays; pad those
// so the tables are aligned.
size_t pad_to_pointer(size_t n) {
    return (n + alignof(void *) - 1) / alignof(void *) * alignof(void *);
}

SDL_Surface *read_image(const char *file_name, const char *what, int tag) {
    log_write(LOG_SPRITE, "loading %s \"%s\" rmtag %02Xh", what, file_name, tag);
    uint8_t handle = fs_open(file_name, "rb", 1);
    SDL_RWops *rw = fs_rwops(handle);
    SDL_Surface *surface = IMG_Load_RW(rw, 0);
    SDL_FreeRW(rw);
    fs_close(handle);
    if (!surface) sys_exit(3, "Unable to load image \"%s\"", file_name);
    return surface;
}

// The colour of one source pixel, as the source format reads it.
void source_rgb(const SDL_Surface *s, int x, int y, Uint8 *r, Uint8 *g, Uint8 *b) {
    int bpp = s->format->BytesPerPixel;
    const uint8_t *p = static_cast<const uint8_t *>(s->pixels) + (size_t)y * s->pitch + (size_t)x * bpp;
    SDL_GetRGB(pixel_load(p, bpp), s->format, r, g, b);
}

bool source_transparent(const SDL_Surface *s, int x, int y) {
    Uint8 r, g, b;
    source_rgb(s, x, y, &r, &g, &b);
    return r == TRANSPARENT_R && g == TRANSPARENT_G && b == TRANSPARENT_B;
}

uint32_t source_to_screen(const SDL_Surface *s, int x, int y) {
    Uint8 r, g, b;
    source_rgb(s, x, y, &r, &g, &b);
    return SDL_MapRGB(screen_surface->format, r, g, b);
}

// Realm blocks are counted in 32 bits: a picture whose block would be
// larger ends the program rather than get a block cut short.
uint32_t block_size(size_t size, const char *what, const char *name, int32_t width, int32_t height) {
    if (size > UINT32_MAX) sys_exit(2, "%s \"%s\" of %dx%d is too large", what, name, width, height);
    return (uint32_t)size;
}

}  // namespace

void alloc_bitmap(bitmap *bmp, int32_t width, int32_t height, int tag, const char *name) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    size_t name_size = pad_to_pointer(strlen(name) + 1);
    size_t row_bytes = (size_t)width * (size_t)bytes_per_pixel;
    size_t size = name_size + (size_t)height * sizeof(uint8_t *) + row_bytes * (size_t)height;
    auto *block = static_cast<uint8_t *>(ralloc(tag, block_size(size, "bitmap", name, width, height)));
    bmp->width = width;
    bmp->height = height;
    bmp->block = block;
    bmp->name = reinterpret_cast<char *>(block);
    strcpy(bmp->name, name);
    bmp->rows = reinterpret_cast<uint8_t **>(block + name_size);
    uint8_t *pixels = block + name_size + (size_t)height * sizeof(uint8_t *);
    for (int32_t y = 0; y < height; y++) bmp->rows[y] = pixels + (size_t)y * row_bytes;
}

void free_bitmap(bitmap *bmp) {
    if (!bmp->block) return;
    rfree(bmp->block);
    bmp->block = nullptr;
}

void load_bitmap(bitmap *bmp, const char *file_name, int tag) {
    SDL_Surface *s = read_image(file_name, "bitmap", tag);
    alloc_bitmap(bmp, s->w, s->h, tag, file_name);
    int bpp = bytes_per_pixel;
    for (int y = 0; y < s->h; y++) {
        uint8_t *dst = bmp->rows[y];
        for (int x = 0; x < s->w; x++, dst += bpp) pixel_store(dst, source_to_screen(s, x, y), bpp);
    }
    SDL_FreeSurface(s);
}

sprite *load_sprite(const char *file_name, int tag) {
    SDL_Surface *s = read_image(file_name, "sprite", tag);
    sprite *spr = sprite_from_surface(s, file_name, tag);
    SDL_FreeSurface(s);
    return spr;
}

sprite *sprite_from_surface(const SDL_Surface *s, const char *file_name, int tag) {
    const int w = s->w, h = s->h;
    const size_t row_cap = 2 * (size_t)w + 2;  // entries a row can append

    // Scratch for the first pass: every row's entries, entry counts and
    // opaque counts. It lives in a realm of its own; should none be free,
    // it comes straight from the system instead.
    size_t scratch_size = (size_t)h * row_cap + 2 * (size_t)h * sizeof(int32_t);
    uint32_t scratch_bytes = block_size(scratch_size, "sprite", file_name, w, h);
    int scratch_tag = create_realm();
    auto *scratch = static_cast<uint8_t *>(scratch_tag >= 0 ? ralloc(scratch_tag, scratch_bytes)
                                                            : sys_malloc(scratch_bytes));
    auto *entry_counts = reinterpret_cast<int32_t *>(scratch);
    int32_t *opaque_counts = entry_counts + h;
    uint8_t *entries = scratch + 2 * (size_t)h * sizeof(int32_t);

    size_t total_pairs = 0, total_opaque = 0;
    for (int y = 0; y < h; y++) {
        uint8_t *e = entries + (size_t)y * row_cap;
        int n = 0, opaque = 0, length = 0;
        bool in_opaque = false;
        for (int x = 0; x < w; x++) {
            bool transparent = source_transparent(s, x, y);
            if (!transparent) opaque++;
            if (transparent == !in_opaque) {  // the run goes on
                if (++length == SPRITE_RUN_MAX) {
                    e[n++] = SPRITE_RUN_MAX;
                    in_opaque = !in_opaque;
                    length = 0;
                }
            } else {
                e[n++] = (uint8_t)length;
                in_opaque = !in_opaque;
                length = 1;
            }
        }
        e[n++] = (uint8_t)length;
        int pairs = n / 2;  // drops a final skip
        if (pairs > SPRITE_RUN_MAX)
            sys_exit(16, "sprite \"%s\" row %d needs %d runs, more than %d", file_name, y, pairs,
                     SPRITE_RUN_MAX);
        entry_counts[y] = pairs * 2;
        opaque_counts[y] = opaque;
        total_pairs += (size_t)pairs;
        total_opaque += (size_t)opaque;
    }

    const int bpp = bytes_per_pixel;
    size_t name_size = strlen(file_name) + 1;
    size_t counts_end = pad_to_pointer(name_size + (size_t)h);
    size_t runs_end = pad_to_pointer(counts_end + (size_t)h * sizeof(uint8_t *) + 2 * total_pairs);
    size_t size = runs_end + (size_t)h * sizeof(uint8_t *) + total_opaque * (size_t)bpp;
    uint32_t bytes = block_size(size, "sprite", file_name, w, h);
    auto *spr = static_cast<sprite *>(ralloc(tag, sizeof(sprite)));
    auto *block = static_cast<uint8_t *>(ralloc(tag, bytes));
    spr->width = w;
    spr->height = h;
    spr->dx = spr->dy = 0;
    spr->block = block;
    spr->name = reinterpret_cast<char *>(block);
    memcpy(spr->name, file_name, name_size);
    spr->run_counts = block + name_size;
    spr->runs = reinterpret_cast<uint8_t **>(block + counts_end);
    spr->rows = reinterpret_cast<uint8_t **>(block + runs_end);
    uint8_t *run_bytes = block + counts_end + (size_t)h * sizeof(uint8_t *);
    uint8_t *pixels = block + runs_end + (size_t)h * sizeof(uint8_t *);

    for (int y = 0; y < h; y++) {
        const uint8_t *e = entries + (size_t)y * row_cap;
        int n = entry_counts[y];
        spr->run_counts[y] = (uint8_t)(n / 2);
        spr->runs[y] = run_bytes;
        spr->rows[y] = pixels;
        memcpy(run_bytes, e, (size_t)n);
        run_bytes += n;
        int x = 0;
        for (int i = 0; i < n; i += 2) {
            x += e[i];
            for (int c = 0; c < e[i + 1]; c++, x++, pixels += bpp)
                pixel_store(pixels, source_to_screen(s, x, y), bpp);
        }
    }

    if (scratch_tag >= 0)
        destroy_realm(scratch_tag);
    else
        sys_free(scratch);
    return spr;
}

namespace {

// Moves N bytes at src + at to dst + at in one load and one store.
template <size_t N> [[gnu::always_inline]] inline void move(uint8_t *dst, const uint8_t *src, size_t at) {
    typedef uint8_t chunk __attribute__((vector_size(N)));
    chunk c;
    memcpy(&c, src + at, N);
    memcpy(dst + at, &c, N);
}

// Copies n bytes between two distinct buffers, touching nothing outside
// [dst, dst + n): sprite runs end next to pixels that must stay as they
// are. Runs are mostly short and a call of memcpy costs more than the copy,
// so they are moved inline: 32 bytes a step and a last 32 that ends at the
// run's end, and below 32 bytes two overlapping moves of 16, 8, 4 or 2.
// The moves are 16 bytes wide, the widest every x86-64 has; a 32-byte
// vector would go through the stack without AVX.
[[gnu::always_inline]] inline void copy_run(uint8_t *dst, const uint8_t *src, size_t n) {
    if (n >= 32) {
        for (size_t at = 0; at < n - 32; at += 32) {
            move<16>(dst, src, at);
            move<16>(dst, src, at + 16);
        }
        move<16>(dst, src, n - 32);
        move<16>(dst, src, n - 16);
    } else if (n >= 16) {
        move<16>(dst, src, 0);
        move<16>(dst, src, n - 16);
    } else if (n >= 8) {
        move<8>(dst, src, 0);
        move<8>(dst, src, n - 8);
    } else if (n >= 4) {
        move<4>(dst, src, 0);
        move<4>(dst, src, n - 4);
    } else if (n >= 2) {
        move<2>(dst, src, 0);
        move<2>(dst, src, n - 2);
    } else if (n) {
        *dst = *src;
    }
}

// Rows first..last of the sprite, wholly inside `dest` horizontally: each
// pair moves the destination by its skip and copies its run. The tables are
// read through locals, since every byte stored could otherwise alias them.
template <int BPP> void draw_rows_fast(bitmap *dest, const sprite *spr, int x, int y, int first, int last) {
    uint8_t *const *dest_rows = dest->rows;
    const uint8_t *const *pixel_rows = spr->rows;
    const uint8_t *const *run_rows = spr->runs;
    const uint8_t *counts = spr->run_counts;
    for (int r = first; r <= last; r++) {
        uint8_t *dst = dest_rows[y + r] + (size_t)x * BPP;
        const uint8_t *src = pixel_rows[r];
        const uint8_t *run = run_rows[r];
        const uint8_t *end = run + 2 * counts[r];
        for (; run != end; run += 2) {
            dst += (size_t)run[0] * BPP;
            size_t bytes = (size_t)run[1] * BPP;
            copy_run(dst, src, bytes);
            dst += bytes;
            src += bytes;
        }
    }
}

// The same rows where the sprite passes the left or the right edge of
// `dest`, cut to the columns 0 .. width - 1. Each row goes in three steps:
// the pairs wholly left of the edge only move the source on, the one pair
// across the left edge is copied from its first visible pixel, and the rest
// are copied as on the fast path until one reaches the right edge.
template <int BPP> void draw_rows_clipped(bitmap *dest, const sprite *spr, int x, int y, int first, int last) {
    const int dw = dest->width;
    uint8_t *const *dest_rows = dest->rows;
    const uint8_t *const *pixel_rows = spr->rows;
    const uint8_t *const *run_rows = spr->runs;
    const uint8_t *counts = spr->run_counts;
    for (int r = first; r <= last; r++) {
        uint8_t *row = dest_rows[y + r];
        const uint8_t *src = pixel_rows[r];
        const uint8_t *run = run_rows[r];
        const uint8_t *end = run + 2 * counts[r];
        int column = x;  // destination column where the next pair starts
        for (; run != end && column + run[0] + run[1] <= 0; run += 2) {
            column += run[0] + run[1];
            src += (size_t)run[1] * BPP;
        }
        if (run != end && column + run[0] < 0) {
            int cut = -(column + run[0]);  // pixels left of the edge
            int visible = run[1] - cut;
            copy_run(row, src + (size_t)cut * BPP, (size_t)(visible < dw ? visible : dw) * BPP);
            column += run[0] + run[1];
            src += (size_t)run[1] * BPP;
            run += 2;
        }
        for (; run != end; run += 2) {
            int c = column + run[0];
            if (c >= dw) break;  // the rest of the row is right of the edge
            int copy = run[1];
            if (c + copy > dw) {
                copy_run(row + (size_t)c * BPP, src, (size_t)(dw - c) * BPP);
                break;
            }
            copy_run(row + (size_t)c * BPP, src, (size_t)copy * BPP);
            column = c + copy;
            src += (size_t)copy * BPP;
        }
    }
}

template <int BPP> void draw_rows(bitmap *dest, const sprite *spr, int x, int y, int first, int last) {
    if (x >= 0 && x + spr->width <= dest->width)
        draw_rows_fast<BPP>(dest, spr, x, y, first, last);
    else
        draw_rows_clipped<BPP>(dest, spr, x, y, first, last);
}

}  // namespace

void draw_sprite(bitmap *dest, const sprite *spr, int x, int y) {
    const int dw = dest->width, dh = dest->height;
    if (x >= dw || x + spr->width <= 0) return;
    int first = y < 0 ? -y : 0;
    int last = y + spr->height <= dh ? spr->height - 1 : dh - y - 1;
    if (first > last) return;
    // One loop per pixel size, so that every run's byte count is a shift or
    // a small multiply the compiler knows.
    switch (bytes_per_pixel) {
    case 2: draw_rows<2>(dest, spr, x, y, first, last); break;
    case 3: draw_rows<3>(dest, spr, x, y, first, last); break;
    case 4: draw_rows<4>(dest, spr, x, y, first, last); break;
    default: break;
    }
}

void load_background(const char *file_name) {
    auto *picture = static_cast<bitmap *>(ralloc(RMT_GAME, sizeof(bitmap)));
    load_bitmap(picture, file_name, RMT_GAME);
    if (picture->width >= view_width && picture->height >= view_height) {
        background = picture;
        return;
    }
    // Too small for a view: pad it with black, never stretch it.
    auto *padded = static_cast<bitmap *>(ralloc(RMT_GAME, sizeof(bitmap)));
    int32_t w = picture->width > view_width ? picture->width : view_width;
    int32_t h = picture->height > view_height ? picture->height : view_height;
    alloc_bitmap(padded, w, h, RMT_GAME, "scaled background");
    const int bpp = bytes_per_pixel;
    size_t used = (size_t)picture->width * bpp, full = (size_t)w * bpp;
    for (int32_t y = 0; y < h; y++) {
        if (y < picture->height) {
            memcpy(padded->rows[y], picture->rows[y], used);
            memset(padded->rows[y] + used, 0, full - used);
        } else {
            memset(padded->rows[y], 0, full);
        }
    }
    free_bitmap(picture);
    rfree(picture);
    background = padded;
}
