// The font and text in every display depth, the parallax background, the
// back buffer's presentation and the start picture.
#include <gtest/gtest.h>

#include <string>

#include "gfx/font.h"
#include "gfx_fixture.h"

namespace {

// Glyph c of the test font (3 x 4): column c % 3 inked on row c % 4, so
// every code has its own mask; code 0 also has the top-left pixel.
bool test_ink(int code, int x, int y) { return (x == code % 3 && y == code % 4) || (code == 0 && x == 0 && y == 0); }

// Renders `text` at (x, y) by hand from the glyph masks.
bool expected_ink(const std::string &text, int x, int y, int px, int py) {
    for (size_t i = 0; i < text.size(); i++) {
        int gx = px - (x + 3 * (int)i), gy = py - y;
        if (gx >= 0 && gx < 3 && gy >= 0 && gy < 4 && test_ink((unsigned char)text[i], gx, gy)) return true;
    }
    return false;
}

struct FontTest : ::testing::Test {
    void load() {
        save_font("koi8.font", 3, 4, test_ink);
        load_font(0, "koi8.font");
    }
};

TEST_F(FontTest, TextIsDrawnGlyphByGlyphInTheCurrentColourEveryDepth) {
    for (int colour : {16, 24, 32}) {
        SCOPED_TRACE(colour);
        gfx_env env(colour);
        load();
        EXPECT_EQ(font_height(0), 4);
        EXPECT_EQ(text_width(0, "abc\xC1"), 12);
        bitmap b;
        alloc_bitmap(&b, 40, 12, RMT_PICTURE, "b");
        const uint32_t paper = screen_pixel({1, 1, 1});
        set_colour(200, 100, 50);
        const uint32_t ink = screen_pixel({200, 100, 50});
        // Codes above 127 select their own glyphs; the text runs off the
        // right and bottom edges and is cut there.
        const std::string text = "Hi\x80\xFF\xC1 zq~_#";
        for (int x : {0, 5, 30}) {
            for (int y : {0, 3, 10}) {
                fill_bitmap(b, paper);
                draw_text(&b, 0, x, y, text.c_str());
                int wrong = 0;
                for (int py = 0; py < b.height; py++)
                    for (int px = 0; px < b.width; px++)
                        wrong += pixel_at(b, px, py) != (expected_ink(text, x, y, px, py) ? ink : paper);
                EXPECT_EQ(wrong, 0) << "text at " << x << "," << y;
            }
        }
        fill_bitmap(b, paper);
        draw_text(&b, 0, 0, 0, "");
        draw_text(&b, 0, -6, -2, "abcd");  // cut at the left and top edges
        for (int px = 0; px < b.width; px++)
            for (int py = 0; py < b.height; py++)
                EXPECT_EQ(pixel_at(b, px, py) == ink, expected_ink("abcd", -6, -2, px, py)) << px << "," << py;
    }
}

TEST_F(FontTest, FormattedTextDrawsAsItsExpansion) {
    gfx_env env;
    load();
    bitmap a, b;
    alloc_bitmap(&a, 60, 4, RMT_PICTURE, "a");
    alloc_bitmap(&b, 60, 4, RMT_PICTURE, "b");
    fill_bitmap(a, 0);
    fill_bitmap(b, 0);
    set_colour(255, 255, 255);
    draw_textf(&a, 0, 0, 0, "FPS %.2f", 59.5);
    draw_text(&b, 0, 0, 0, "FPS 59.50");
    for (int y = 0; y < 4; y++) EXPECT_EQ(memcmp(a.rows[y], b.rows[y], 60 * bytes_per_pixel), 0);
    // Longer than the buffer: cut to 199 characters, nothing written beyond.
    std::string long_text(300, 'x');
    draw_textf(&a, 0, 0, 0, "%s", long_text.c_str());
}

TEST_F(FontTest, ShortFontFileEndsTheProgram) {
    gfx_env env;
    std::string f = "\x03\x04";
    f += std::string(3 * 4 * 255, '\0');  // one glyph short
    write_file("short.font", f);
    EXPECT_EXIT(load_font(0, "short.font"), ::testing::ExitedWithCode(3),
                "sys_exit\\(3\\): error reading block fromfile \"short.font\"");
}

// A background whose pixel (x, y) tells its own position.
rgb spot(int x, int y) { return rgb{(Uint8)(x % 256), (Uint8)(y % 256), (Uint8)(x / 256 * 16 + y / 256)}; }

TEST(Background, ParallaxScrollsAcrossTheWholePicture) {
    gfx_env env;
    save_picture("bg.bmp", 880, 440, spot);
    load_background("bg.bmp");
    bitmap v;
    alloc_bitmap(&v, 480, 240, RMT_PICTURE, "pl_view");
    auto shows = [&](int bx, int top) {
        for (int i : {0, 117, 239})
            for (int c : {0, 201, 479})
                if (pixel_at(v, c, i) != screen_pixel(spot(bx + c, top + i))) return false;
        return true;
    };
    // Map 1280 x 640: the camera ranges over 800 x 400, the background 400 x 200.
    draw_background(&v, 0, 0, 1280, 640);
    EXPECT_TRUE(shows(0, 200)) << "camera at the bottom-left shows the bottom-left";
    draw_background(&v, 800, 400, 1280, 640);
    EXPECT_TRUE(shows(400, 0)) << "camera at the top-right shows the top-right";
    draw_background(&v, 400, 100, 1280, 640);
    EXPECT_TRUE(shows(200, 150));
    draw_background(&v, 3, 0, 1280, 640);  // 400 * 3 / 800 truncates to 1
    EXPECT_TRUE(shows(1, 200));
    // A camera outside the map's range, and maps no larger than the view,
    // stay inside the background.
    draw_background(&v, 5000, -90, 1280, 640);
    EXPECT_TRUE(shows(400, 200));
    draw_background(&v, 0, 0, 480, 240);
    EXPECT_TRUE(shows(0, 200));
    draw_background(&v, -20, -20, 300, 100);
    EXPECT_TRUE(shows(0, 200));
}

TEST(Background, ExactViewSizeNeverScrolls) {
    gfx_env env;
    save_picture("bg.bmp", 480, 240, spot);
    load_background("bg.bmp");
    bitmap v;
    alloc_bitmap(&v, 480, 240, RMT_PICTURE, "pl_view");
    for (int cx : {0, 700, 1520})
        for (int cy : {0, 333, 760}) {
            draw_background(&v, cx, cy, 2000, 1000);
            EXPECT_EQ(pixel_at(v, 0, 0), screen_pixel(spot(0, 0)));
            EXPECT_EQ(pixel_at(v, 479, 239), screen_pixel(spot(479, 239)));
        }
}

uint32_t display_pixel(int x, int y) {
    SDL_Surface *s = screen_surface;
    return pixel_load(static_cast<uint8_t *>(s->pixels) + y * s->pitch + x * bytes_per_pixel, bytes_per_pixel);
}

TEST(Screen, StartPictureIsLoadedOnceAndShownCentred) {
    gfx_env env;
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    fill_bitmap(back_buffer, screen_pixel({9, 9, 9}));
    save_picture("start.jpg", 101, 51, [](int x, int y) { return rgb{(Uint8)(x + 1), (Uint8)(y + 1), 7}; });
    show_start_picture();
    // (640 - 101) / 2 = 269, (480 - 51) / 2 = 214; black around it, on the
    // back buffer and on the display alike.
    EXPECT_EQ(pixel_at(back_buffer, 269, 214), screen_pixel({1, 1, 7}));
    EXPECT_EQ(pixel_at(back_buffer, 369, 264), screen_pixel({101, 51, 7}));
    EXPECT_EQ(pixel_at(back_buffer, 268, 214), 0u);
    EXPECT_EQ(pixel_at(back_buffer, 0, 0), 0u);
    EXPECT_EQ(display_pixel(269, 214), screen_pixel({1, 1, 7}));
    EXPECT_EQ(display_pixel(370, 265), 0u);
    // The second call shows the kept picture without reading the file.
    remove("start.jpg");
    fill_bitmap(back_buffer, screen_pixel({9, 9, 9}));
    show_start_picture();
    EXPECT_EQ(display_pixel(369, 264), screen_pixel({101, 51, 7}));
    EXPECT_EQ(display_pixel(639, 479), 0u);
}

TEST(Screen, PicturesLargerThanTheScreenAreCut) {
    gfx_env env;
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    save_picture("start.jpg", 700, 500, [](int x, int y) { return rgb{(Uint8)x, (Uint8)y, 0}; });
    show_start_picture();  // centred at (-30, -10)
    EXPECT_EQ(display_pixel(0, 0), screen_pixel({30, 10, 0}));
    EXPECT_EQ(display_pixel(639, 479), screen_pixel({(Uint8)669, (Uint8)489, 0}));
    bitmap small;
    alloc_bitmap(&small, 20, 20, RMT_PICTURE, "small");
    fill_bitmap(small, screen_pixel({1, 2, 3}));
    show_bitmap(&small, 630, -5);
    EXPECT_EQ(display_pixel(639, 0), screen_pixel({1, 2, 3}));
    EXPECT_EQ(display_pixel(629, 0), screen_pixel({(Uint8)659, 10, 0}));
    clear_screen();
    EXPECT_EQ(pixel_at(back_buffer, 639, 0), 0u);
    EXPECT_EQ(display_pixel(639, 0), screen_pixel({1, 2, 3})) << "clearing does not present";
    update_screen();
    EXPECT_EQ(display_pixel(639, 0), 0u);
}

}  // namespace
