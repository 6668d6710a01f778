// Bitmaps and sprites: the run coding of sprite rows, sprite drawing in every
// depth against a per-pixel reference, palette pictures, the padded
// background and the loaders' fatal ends.
#include <gtest/gtest.h>

#include <vector>

#include "gfx_fixture.h"

namespace {

// A fixed mix of opaque colours and transparent pixels.
rgb noisy(int x, int y) {
    unsigned v = ((unsigned)(x * 7919 + y * 104729) ^ 77u) * 2654435761u;
    return (v >> 28) < 6 ? CLEAR : rgb{(Uint8)(v >> 3), (Uint8)(v >> 11), (Uint8)(v >> 19)};
}

using pairs = std::vector<std::pair<int, int>>;
pairs pairs_of(const sprite *s, int row) {
    pairs out;
    for (int i = 0; i < s->run_counts[row]; i++) out.push_back({s->runs[row][2 * i], s->runs[row][2 * i + 1]});
    return out;
}

TEST(Sprite, RowsAreCodedInRunsOfAtMost255EvenWithoutAFreeRealm) {
    gfx_env env;
    std::vector<int> taken;  // the loader's scratch then comes from the system
    for (int tag; (tag = create_realm()) >= 0;) taken.push_back(tag);
    save_picture("runs.bmp", 300, 5, [](int x, int y) -> rgb {
        const rgb ink{1, 2, 3};
        switch (y) {
        case 0: return ink;
        case 1: return x < 255 ? CLEAR : ink;
        case 2: return x < 256 ? CLEAR : ink;
        case 3: return (x < 3 || (x >= 5 && x < 9)) ? ink : CLEAR;
        default: return CLEAR;
        }
    });
    sprite *s = load_sprite("runs.bmp", RMT_GAME);
    for (int tag : taken) destroy_realm(tag);
    EXPECT_EQ(pairs_of(s, 0), (pairs{{0, 255}, {0, 45}}));
    EXPECT_EQ(pairs_of(s, 1), (pairs{{255, 45}}));
    EXPECT_EQ(pairs_of(s, 2), (pairs{{255, 0}, {1, 44}}));
    EXPECT_EQ(pairs_of(s, 3), (pairs{{0, 3}, {2, 4}, {255, 0}}));
    EXPECT_EQ(pairs_of(s, 4), (pairs{{255, 0}}));
    // Only opaque pixels are stored, each row's after the previous row's.
    EXPECT_EQ(s->rows[2] - s->rows[1], 45 * bytes_per_pixel);
}

// A sprite drawn at many places in every depth against a per-pixel copy:
// runs of 1 to 255 pixels; the narrow destination is crossed at both edges.
TEST(Sprite, DrawingMatchesPerPixelReferenceEverywhere) {
    for (int colour : {16, 24, 32}) {
        SCOPED_TRACE(colour);
        gfx_env env(colour);
        auto at = [](int x, int y) {
            if (y == 4) return x < 280 ? rgb{9, 9, 9} : CLEAR;
            if (y == 7) {  // opaque runs of 1, 2, 3, ... pixels, one pixel apart
                int start = 0, n = 1;
                while (start + n < x) start += ++n;
                return x == start + n ? CLEAR : rgb{(Uint8)x, 7, 7};
            }
            return noisy(x, y);
        };
        save_picture("s.bmp", 300, 9, at);
        sprite *s = load_sprite("s.bmp", RMT_GAME);
        bitmap wide, narrow;
        alloc_bitmap(&wide, 320, 20, RMT_PICTURE, "dest");
        alloc_bitmap(&narrow, 100, 12, RMT_PICTURE, "narrow");
        const uint32_t marker = screen_pixel({255, 255, 255});
        auto check = [&](bitmap &dest, int x, int y) {
            fill_bitmap(dest, marker);
            draw_sprite(&dest, s, x, y);
            int wrong = 0;
            for (int dy = 0; dy < dest.height; dy++)
                for (int dx = 0; dx < dest.width; dx++) {
                    int sx = dx - x, sy = dy - y;
                    bool ink = sx >= 0 && sx < 300 && sy >= 0 && sy < 9 && !(at(sx, sy) == CLEAR);
                    wrong += pixel_at(dest, dx, dy) != (ink ? screen_pixel(at(sx, sy)) : marker);
                }
            EXPECT_EQ(wrong, 0) << "sprite at " << x << "," << y << " in " << dest.width << "x" << dest.height;
        };
        for (int x : {-300, -299, -3, 0, 21, 319, 320})
            for (int y : {-9, -8, -3, 0, 11, 12, 20}) check(wide, x, y);
        for (int x : {-201, -200, -57, -1, 0, 99})
            for (int y : {-4, 0, 3}) check(narrow, x, y);
    }
}

// A palette picture (converted like any other in every depth, see above):
// the transparent entry is left out of sprites, its neighbours 5 and 6 are not.
TEST(Bitmap, PalettePicturesKeepTheirColoursAndTheirTransparentEntry) {
    gfx_env env;
    std::vector<rgb> palette(256);
    for (int i = 0; i < 256; i++) palette[i] = {(Uint8)i, (Uint8)(255 - i), (Uint8)(i * 7)};
    palette[200] = CLEAR;
    palette[5] = {0, 47, 48};
    palette[6] = {1, 47, 47};
    auto index = [](int x, int y) { return (x + 2 * y) % 7 == 0 ? 200 : (x * 11 + y * 53) % 256; };
    const int w = 37, h = 5;
    bitmap dest, b;
    alloc_bitmap(&dest, w, h, RMT_PICTURE, "dest");
    const uint32_t marker = screen_pixel({255, 255, 254});
    save_palette_bmp("p8.bmp", w, h, palette, index);
    load_bitmap(&b, "p8.bmp", RMT_PICTURE);
    fill_bitmap(dest, marker);
    draw_sprite(&dest, load_sprite("p8.bmp", RMT_GAME), 0, 0);
    int wrong_bitmap = 0, wrong_sprite = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            rgb c = palette[(size_t)index(x, y)];
            wrong_bitmap += pixel_at(b, x, y) != screen_pixel(c);
            wrong_sprite += pixel_at(dest, x, y) != (c == CLEAR ? marker : screen_pixel(c));
        }
    EXPECT_EQ(wrong_bitmap, 0);
    EXPECT_EQ(wrong_sprite, 0);
}

TEST(Bitmap, SmallBackgroundIsPaddedWithBlack) {
    gfx_env env;
    save_picture("small.bmp", 300, 100, [](int x, int y) { return rgb{(Uint8)x, (Uint8)y, 1}; });
    load_background("small.bmp");
    EXPECT_STREQ(background->name, "scaled background");
    EXPECT_EQ(background->width, 480);
    EXPECT_EQ(background->height, 240);
    EXPECT_EQ(pixel_at(*background, 300, 0), 0u);
}

TEST(Bitmap, BadPicturesEndTheProgram) {
    gfx_env env;
    bitmap b;
    write_file("broken.png", "this is not a picture");
    EXPECT_EXIT(load_bitmap(&b, "broken.png", RMT_PICTURE), ::testing::ExitedWithCode(3),
                "sys_exit\\(3\\): Unable to load image \"broken.png\"");
    // Rows of one-pixel stripes need more (skip, copy) pairs than a byte counts.
    save_picture("stripes.bmp", 520, 1, [](int x, int) { return x % 2 ? CLEAR : rgb{5, 5, 5}; });
    EXPECT_EXIT(load_sprite("stripes.bmp", RMT_GAME), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): sprite \"stripes.bmp\" row 0 needs 260 runs, more than 255");
    // A decoded picture so large that its sprite's blocks would pass 4 GiB.
    // No pixel is read before the check, so one row stands for them all.
    static Uint8 row[32768];
    SDL_Surface *huge = SDL_CreateRGBSurfaceFrom(row, 32767, 65535, 8, 0, 0, 0, 0, 0);
    EXPECT_EXIT(sprite_from_surface(huge, "huge.png", RMT_GAME), ::testing::ExitedWithCode(2),
                "sys_exit\\(2\\): sprite \"huge.png\" of 32767x65535 is too large");
    SDL_FreeSurface(huge);
}

}  // namespace
