// Bitmaps and sprites: conversion to every display format, the run coding of
// sprite rows, clipped sprite drawing against a per-pixel reference, the
// padded background and the loaders' fatal ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "gfx_fixture.h"

namespace {

// Colour of the test picture: a mix of opaque colours and transparent
// pixels, fixed by a seed.
rgb noisy(unsigned seed, int x, int y) {
    unsigned v = (unsigned)(x * 7919 + y * 104729) ^ seed;
    v = v * 2654435761u;
    if ((v >> 28) < 6) return CLEAR;
    return rgb{(Uint8)(v >> 3), (Uint8)(v >> 11), (Uint8)(v >> 19)};
}

std::vector<std::pair<int, int>> pairs_of(const sprite *s, int row) {
    std::vector<std::pair<int, int>> out;
    for (int i = 0; i < s->run_counts[row]; i++) out.push_back({s->runs[row][2 * i], s->runs[row][2 * i + 1]});
    return out;
}

using P = std::vector<std::pair<int, int>>;

TEST(Sprite, RowsAreCodedInRunsOfAtMost255) {
    gfx_env env;
    // Row 0 opaque; row 1: 255 clear, 45 opaque; row 2: 256 clear, 44 opaque;
    // row 3: short opaque and clear runs, then clear; row 4 all clear.
    save_picture("runs.bmp", 300, 5, [](int x, int y) -> rgb {
        switch (y) {
        case 0: return {10, 20, 30};
        case 1: return x < 255 ? CLEAR : rgb{1, 2, 3};
        case 2: return x < 256 ? CLEAR : rgb{1, 2, 3};
        case 3: return (x < 3 || (x >= 5 && x < 9)) ? rgb{200, 0, 0} : CLEAR;
        default: return CLEAR;
        }
    });
    sprite *s = load_sprite("runs.bmp", RMT_GAME);
    EXPECT_EQ(s->width, 300);
    EXPECT_EQ(s->height, 5);
    EXPECT_STREQ(s->name, "runs.bmp");
    EXPECT_EQ(s->dx, 0);
    EXPECT_EQ(pairs_of(s, 0), (P{{0, 255}, {0, 45}}));
    EXPECT_EQ(pairs_of(s, 1), (P{{255, 45}}));
    EXPECT_EQ(pairs_of(s, 2), (P{{255, 0}, {1, 44}}));
    // A clear run of 255 closes with an empty copy even at the row's end.
    EXPECT_EQ(pairs_of(s, 3), (P{{0, 3}, {2, 4}, {255, 0}}));
    EXPECT_EQ(pairs_of(s, 4), (P{{255, 0}}));
    // Only opaque pixels are stored: each row's pixels follow the previous.
    EXPECT_EQ(s->rows[1] - s->rows[0], 300 * bytes_per_pixel);
    EXPECT_EQ(s->rows[2] - s->rows[1], 45 * bytes_per_pixel);
    EXPECT_EQ(s->rows[4] - s->rows[3], 7 * bytes_per_pixel);
    EXPECT_EQ(pixel_load(s->rows[1], bytes_per_pixel), screen_pixel({1, 2, 3}));

    save_picture("clear.bmp", 20, 4, [](int, int) { return CLEAR; });
    sprite *c = load_sprite("clear.bmp", RMT_GAME);
    EXPECT_EQ(c->width, 20);
    EXPECT_EQ(c->height, 4);
    for (int y = 0; y < 4; y++) EXPECT_EQ(c->run_counts[y], 0);
    EXPECT_EQ(c->rows[3], c->rows[0]);
}

// Draws a sprite at many places, in every display depth, and compares each
// destination pixel with what a per-pixel copy of the picture gives.
TEST(Sprite, DrawingMatchesPerPixelReferenceEverywhere) {
    for (int colour : {16, 24, 32}) {
        SCOPED_TRACE(colour);
        gfx_env env(colour);
        const int sw = 300, sh = 9;  // wider than a run, so runs of 255 occur
        auto at = [](int x, int y) { return (y == 4 && x < 280) ? rgb{9, 9, 9} : noisy(77, x, y); };
        save_picture("s.bmp", sw, sh, at);
        sprite *s = load_sprite("s.bmp", RMT_GAME);
        bitmap dest;
        alloc_bitmap(&dest, 320, 20, RMT_PICTURE, "dest");
        const uint32_t marker = screen_pixel({255, 255, 255});
        const int xs[] = {-400, -300, -299, -3, 0, 1, 19, 20, 21, 319, 320};
        const int ys[] = {-9, -8, -3, 0, 5, 11, 12, 19, 20};
        for (int x : xs)
            for (int y : ys) {
                fill_bitmap(dest, marker);
                draw_sprite(&dest, s, x, y);
                int wrong = 0;
                for (int dy = 0; dy < dest.height; dy++)
                    for (int dx = 0; dx < dest.width; dx++) {
                        int sx = dx - x, sy = dy - y;
                        uint32_t want = marker;
                        if (sx >= 0 && sx < sw && sy >= 0 && sy < sh && !(at(sx, sy) == CLEAR))
                            want = screen_pixel(at(sx, sy));
                        wrong += pixel_at(dest, dx, dy) != want;
                    }
                EXPECT_EQ(wrong, 0) << "sprite at " << x << "," << y;
            }
    }
}

TEST(Sprite, ClippedAtTheLeftEdgeCopiesTheRunsTail) {
    gfx_env env;
    save_picture("ten.bmp", 10, 1, [](int x, int) { return rgb{(Uint8)(x * 20), 0, 0}; });
    sprite *s = load_sprite("ten.bmp", RMT_GAME);
    ASSERT_EQ(pairs_of(s, 0), (P{{0, 10}}));
    bitmap dest;
    alloc_bitmap(&dest, 8, 1, RMT_PICTURE, "dest");
    fill_bitmap(dest, 0);
    draw_sprite(&dest, s, -3, 0);
    for (int x = 0; x < 7; x++) EXPECT_EQ(pixel_at(dest, x, 0), screen_pixel({(Uint8)((x + 3) * 20), 0, 0}));
    EXPECT_EQ(pixel_at(dest, 7, 0), 0u);
}

TEST(Sprite, PictureNeedingMoreThan255PairsInARowIsRefused) {
    gfx_env env;
    save_picture("stripes.bmp", 520, 1, [](int x, int) { return x % 2 ? CLEAR : rgb{5, 5, 5}; });
    EXPECT_EXIT(load_sprite("stripes.bmp", RMT_GAME), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): sprite \"stripes.bmp\" row 0 needs 260 runs, more than 255");
}

TEST(Sprite, LoadsWhenNoRealmIsFreeForScratch) {
    gfx_env env;
    save_picture("a.bmp", 3, 2, [](int x, int y) { return x == y ? CLEAR : rgb{100, 0, 0}; });
    std::vector<int> taken;
    for (int tag; (tag = create_realm()) >= 0;) taken.push_back(tag);
    ASSERT_FALSE(taken.empty());
    sprite *s = load_sprite("a.bmp", RMT_GAME);
    EXPECT_EQ(pairs_of(s, 0), (P{{1, 2}}));
    EXPECT_EQ(pairs_of(s, 1), (P{{0, 1}, {1, 1}}));
    for (int tag : taken) destroy_realm(tag);
}

TEST(Bitmap, PixelsAreConvertedToTheDisplaysFormat) {
    for (int colour : {16, 24, 32}) {
        SCOPED_TRACE(colour);
        gfx_env env(colour);
        save_picture("p.bmp", 5, 3, [](int x, int y) { return noisy(3, x, y); });
        bitmap b;
        load_bitmap(&b, "p.bmp", RMT_PICTURE);
        EXPECT_EQ(b.width, 5);
        EXPECT_EQ(b.height, 3);
        EXPECT_STREQ(b.name, "p.bmp");
        EXPECT_EQ(b.rows[1] - b.rows[0], 5 * bytes_per_pixel);
        for (int y = 0; y < 3; y++)
            for (int x = 0; x < 5; x++) EXPECT_EQ(pixel_at(b, x, y), screen_pixel(noisy(3, x, y)));
        free_bitmap(&b);
        EXPECT_EQ(b.block, nullptr);
        free_bitmap(&b);  // a second free is harmless
    }
}

TEST(Bitmap, PalettePictureAndRedInTheLowByteDisplay) {
    gfx_env env;
    // An 8-bit picture: each pixel is a palette index.
    SDL_Surface *pal = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 1, 8, 0, 0, 0, 0);
    SDL_Color colours[4] = {{250, 0, 0, 0}, {0, 250, 0, 0}, {0, 0, 250, 0}, {12, 34, 56, 0}};
    SDL_SetColors(pal, colours, 0, 4);
    for (int x = 0; x < 4; x++) static_cast<Uint8 *>(pal->pixels)[x] = (Uint8)(3 - x);
    SDL_SaveBMP(pal, "pal.bmp");
    SDL_FreeSurface(pal);

    // A display whose red mask is below its blue mask stores red first.
    SDL_Surface *bgr = SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    SDL_Surface *display = screen_surface;
    int16_t bpp = bytes_per_pixel;
    video_record_mode(bgr);
    EXPECT_STREQ(channel_order_of(bgr->format), "BGR");
    EXPECT_STREQ(channel_order_of(display->format), "RGB");
    bitmap b;
    load_bitmap(&b, "pal.bmp", RMT_PICTURE);
    const uint8_t want[4][3] = {{12, 34, 56}, {0, 0, 250}, {0, 250, 0}, {250, 0, 0}};
    for (int x = 0; x < 4; x++)
        for (int i = 0; i < 3; i++) EXPECT_EQ(b.rows[0][x * 3 + i], want[x][i]) << x << "/" << i;
    video_record_mode(display);
    bytes_per_pixel = bpp;
    SDL_FreeSurface(bgr);
}

TEST(Bitmap, SmallBackgroundIsPaddedWithBlackLargeOneKept) {
    gfx_env env;
    save_picture("small.bmp", 300, 100, [](int x, int y) { return rgb{(Uint8)x, (Uint8)y, 1}; });
    load_background("small.bmp");
    ASSERT_NE(background, nullptr);
    EXPECT_STREQ(background->name, "scaled background");
    EXPECT_EQ(background->width, 480);
    EXPECT_EQ(background->height, 240);
    EXPECT_EQ(pixel_at(*background, 0, 0), screen_pixel({0, 0, 1}));
    EXPECT_EQ(pixel_at(*background, 299, 99), screen_pixel({43, 99, 1}));
    EXPECT_EQ(pixel_at(*background, 300, 0), 0u);
    EXPECT_EQ(pixel_at(*background, 479, 239), 0u);
    EXPECT_EQ(pixel_at(*background, 0, 100), 0u);

    save_picture("big.bmp", 800, 600, [](int, int) { return rgb{1, 2, 3}; });
    load_background("big.bmp");
    EXPECT_STREQ(background->name, "big.bmp");
    EXPECT_EQ(background->width, 800);
    EXPECT_EQ(background->height, 600);

    // Wide but low: only the height is padded.
    save_picture("wide.bmp", 600, 10, [](int, int) { return rgb{1, 2, 3}; });
    load_background("wide.bmp");
    EXPECT_EQ(background->width, 600);
    EXPECT_EQ(background->height, 240);
}

TEST(Bitmap, UnreadablePicturesEndTheProgram) {
    gfx_env env;
    write_file("broken.png", "this is not a picture");
    bitmap b;
    EXPECT_EXIT(load_bitmap(&b, "broken.png", RMT_PICTURE), ::testing::ExitedWithCode(3),
                "sys_exit\\(3\\): Unable to load image \"broken.png\"");
    EXPECT_EXIT(load_sprite("broken.png", RMT_GAME), ::testing::ExitedWithCode(3),
                "sys_exit\\(3\\): Unable to load image \"broken.png\"");
    EXPECT_EXIT(load_bitmap(&b, "missing.png", RMT_PICTURE), ::testing::ExitedWithCode(3),
                "sys_exit\\(3\\): .*missing.png");
}

}  // namespace
