// Text in the bitmap font in every depth, the parallax background and a
// picture shown on the screen.
#include <gtest/gtest.h>

#include <string>

#include "gfx/font.h"
#include "gfx_fixture.h"

namespace {

// Glyph `code` of a test font inks about half of its pixels, in a pattern
// of its own.
bool ink(int code, int x, int y) { return ((unsigned)(code * 7919 + x * 104729 + y * 1299709 + 5) * 2654435761u) >> 31; }
bool inked(const std::string &text, int w, int h, int x, int y, int px, int py) {
    for (size_t i = 0; i < text.size(); i++) {
        int gx = px - x - w * (int)i, gy = py - y;
        if (gx >= 0 && gx < w && gy >= 0 && gy < h && ink((unsigned char)text[i], gx, gy)) return true;
    }
    return false;
}
void save_font(const char *name, int w, int h, int glyphs) {
    std::string f = {(char)w, (char)h};
    for (int code = 0; code < glyphs; code++)
        for (int i = 0; i < w * h; i++) f += (char)(ink(code, i % w, i / w) ? 1 + code % 255 : 0);
    write_file(name, f);
}

// Glyphs narrower, wider and exactly 8 pixels in every depth, compared with
// their masks inside the bitmap, flush with its edges and past each edge.
TEST(Font, TextIsDrawnGlyphByGlyphInTheCurrentColour) {
    for (int colour : {16, 24, 32}) {
        SCOPED_TRACE(colour);
        gfx_env env(colour);
        for (auto [w, h] : {std::pair{3, 4}, {8, 3}, {13, 5}}) {
            save_font("koi8.font", w, h, 256);
            load_font(0, "koi8.font");
            bitmap b;
            alloc_bitmap(&b, 6 * w + 3, h + 8, RMT_PICTURE, "b");
            const uint32_t paper = screen_pixel({1, 1, 1});
            set_colour(200, 100, 50);
            const uint32_t pen = screen_pixel({200, 100, 50});
            // Codes above 127 have glyphs of their own; text past an edge is cut.
            const std::string text = "Hi\x80\xFF\xC1 zq~_#";
            for (int x : {-2 * w + 1, 0, 3, 5, b.width - 2 * w - 1})
                for (int y : {-2, 0, 3, b.height - h, b.height - 2}) {
                    fill_bitmap(b, paper);
                    draw_text(&b, 0, x, y, text.c_str());
                    int wrong = 0;
                    for (int py = 0; py < b.height; py++)
                        for (int px = 0; px < b.width; px++)
                            wrong += pixel_at(b, px, py) != (inked(text, w, h, x, y, px, py) ? pen : paper);
                    EXPECT_EQ(wrong, 0) << w << "x" << h << " text at " << x << "," << y;
                }
            free_bitmap(&b);
        }
        // Formatting draws the expansion, cut to the buffer: 300 characters
        // draw as 199, not overrunning it.
        save_font("koi8.font", 3, 4, 256);
        load_font(0, "koi8.font");
        bitmap wide, cut;
        alloc_bitmap(&wide, 3 * 300, 4, RMT_PICTURE, "wide");
        alloc_bitmap(&cut, 3 * 300, 4, RMT_PICTURE, "cut");
        fill_bitmap(wide, 0);
        fill_bitmap(cut, 0);
        draw_textf(&wide, 0, 0, 0, "%s%s", "x", std::string(299, 'x').c_str());
        draw_text(&cut, 0, 0, 0, std::string(TEXTF_BUFFER - 1, 'x').c_str());
        int differ = 0;
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 3 * 300; x++) differ += pixel_at(wide, x, y) != pixel_at(cut, x, y);
        EXPECT_EQ(differ, 0);
    }
}

TEST(Font, ShortFontFileEndsTheProgram) {
    gfx_env env;
    save_font("short.font", 3, 4, 255);
    EXPECT_EXIT(load_font(0, "short.font"), ::testing::ExitedWithCode(3),
                "sys_exit\\(3\\): error reading block fromfile \"short.font\"");
}

// Background pixel (x, y) tells its own position.
rgb spot(int x, int y) { return rgb{(Uint8)x, (Uint8)y, (Uint8)(x / 256 * 16 + y / 256)}; }

TEST(Background, ParallaxScrollsAcrossTheWholePicture) {
    gfx_env env;
    bitmap v;
    alloc_bitmap(&v, 480, 240, RMT_PICTURE, "pl_view");
    auto shows = [&](int bx, int top) {
        for (int i : {0, 117, 239})
            for (int c : {0, 201, 479})
                if (pixel_at(v, c, i) != screen_pixel(spot(bx + c, top + i))) return false;
        return true;
    };
    // Map 1280 x 640: the camera ranges over 800 x 400, the background 400 x 200.
    save_picture("bg.bmp", 880, 440, spot);
    load_background("bg.bmp");
    const int cases[][6] = {
        {0, 0, 1280, 640, 0, 200},      // bottom-left of map and picture
        {5000, -90, 1280, 640, 400, 200},  // outside the range: kept inside the picture
        {0, 0, 480, 240, 0, 200},       // maps no larger than the view do not scroll
    };
    for (const auto &c : cases) {
        draw_background(&v, c[0], c[1], c[2], c[3]);
        EXPECT_TRUE(shows(c[4], c[5])) << "camera " << c[0] << "," << c[1] << " map " << c[2] << "x" << c[3];
    }
}

// A picture larger than the screen, centred at (-30, -10), is cut at every
// edge. (The start picture's centring: process_start_test.cpp.)
TEST(Screen, APictureLargerThanTheScreenIsCut) {
    gfx_env env;
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    bitmap big;
    alloc_bitmap(&big, 700, 500, RMT_PICTURE, "big");
    for (int y = 0; y < 500; y++)
        for (int x = 0; x < 700; x++) pixel_store(big.rows[y] + x * bytes_per_pixel, screen_pixel({(Uint8)x, (Uint8)y, 0}), bytes_per_pixel);
    show_bitmap(&big, -30, -10);
    EXPECT_EQ(display_pixel(0, 0), screen_pixel({30, 10, 0}));
    EXPECT_EQ(display_pixel(639, 479), screen_pixel({(Uint8)669, (Uint8)489, 0}));
}

}  // namespace
