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

}  // namespace

void alloc_bitmap(bitmap *bmp, int32_t width, int32_t height, int tag, const char *name) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    size_t name_size = pad_to_pointer(strlen(name) + 1);
    size_t row_bytes = (size_t)width * (size_t)bytes_per_pixel;
    size_t size = name_size + (size_t)height * sizeof(uint8_t *) + row_bytes * (size_t)height;
    if (size > UINT32_MAX) sys_exit(2, "bitmap \"%s\" of %dx%d is too large", name, width, height);
    auto *block = static_cast<uint8_t *>(ralloc(tag, (uint32_t)size));
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
    const int w = s->w, h = s->h;
    const size_t row_cap = 2 * (size_t)w + 2;  // entries a row can append

    // Scratch for the first pass: every row's entries, entry counts and
    // opaque counts. It lives in a realm of its own; should none be free,
    // it comes straight from the system instead.
    size_t scratch_size = (size_t)h * row_cap + 2 * (size_t)h * sizeof(int32_t);
    int scratch_tag = create_realm();
    auto *scratch = static_cast<uint8_t *>(scratch_tag >= 0 ? ralloc(scratch_tag, (uint32_t)scratch_size)
                                                            : sys_malloc(scratch_size));
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

    auto *spr = static_cast<sprite *>(ralloc(tag, sizeof(sprite)));
    const int bpp = bytes_per_pixel;
    size_t name_size = strlen(file_name) + 1;
    size_t counts_end = pad_to_pointer(name_size + (size_t)h);
    size_t runs_end = pad_to_pointer(counts_end + (size_t)h * sizeof(uint8_t *) + 2 * total_pairs);
    size_t size = runs_end + (size_t)h * sizeof(uint8_t *) + total_opaque * (size_t)bpp;
    auto *block = static_cast<uint8_t *>(ralloc(tag, (uint32_t)size));
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

    SDL_FreeSurface(s);
    if (scratch_tag >= 0)
        destroy_realm(scratch_tag);
    else
        sys_free(scratch);
    return spr;
}

void draw_sprite(bitmap *dest, const sprite *spr, int x, int y) {
    const int dw = dest->width, dh = dest->height;
    if (x >= dw || x + spr->width <= 0) return;
    int first = y < 0 ? -y : 0;
    int last = y + spr->height <= dh ? spr->height - 1 : dh - y - 1;
    if (first > last) return;
    const int bpp = bytes_per_pixel;

    if (x >= 0 && x + spr->width <= dw) {
        // Wholly inside horizontally: one block copy per run.
        for (int r = first; r <= last; r++) {
            uint8_t *dst = dest->rows[y + r] + (size_t)x * bpp;
            const uint8_t *src = spr->rows[r];
            const uint8_t *run = spr->runs[r];
            for (int p = 0; p < spr->run_counts[r]; p++, run += 2) {
                dst += (size_t)run[0] * bpp;
                size_t bytes = (size_t)run[1] * bpp;
                memcpy(dst, src, bytes);
                dst += bytes;
                src += bytes;
            }
        }
        return;
    }

    for (int r = first; r <= last; r++) {
        uint8_t *row = dest->rows[y + r];
        uint8_t *dst = row + (size_t)(x > 0 ? x : 0) * bpp;
        const uint8_t *src = spr->rows[r];
        const uint8_t *run = spr->runs[r];
        int column = x;
        for (int p = 0; p < spr->run_counts[r]; p++, run += 2) {
            int c = column + run[0];
            int copy = run[1];
            if (c > dw) break;
            if (c > 0) dst = row + (size_t)c * bpp;
            if (c + copy > dw) copy = dw - c;
            column = c + copy;
            if (column < 1) {  // wholly left of the edge
                src += (size_t)copy * bpp;
            } else if (c >= 0) {
                memcpy(dst, src, (size_t)copy * bpp);
                dst += (size_t)copy * bpp;
                src += (size_t)copy * bpp;
            } else {
                src += (size_t)(-c) * bpp;
                size_t bytes = (size_t)(c + copy) * bpp;
                memcpy(dst, src, bytes);
                dst += bytes;
                src += bytes;
            }
        }
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
