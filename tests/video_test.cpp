// The full-screen switch and its refusal, the copy of bitmaps to the display,
// and screenshots. (The video mode's failed starts: process_start_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "gfx_fixture.h"

namespace {

// The switch itself and its redraw: process_game_test.cpp.
TEST(Video, FullScreenSwitchRefusesAnotherDepth) {
    gfx_env env(24);
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    // Pictures of 2 bytes a pixel cannot go to a display of 3.
    bytes_per_pixel = 2;
    EXPECT_EXIT(video_toggle_fullscreen(), ::testing::ExitedWithCode(4),
                "sys_exit\\(4\\): unable to set video mode: \"3 bytes per pixel instead of 2\"");
    bytes_per_pixel = 3;
}

TEST(Video, BitmapsReachTheDisplayAndAreCutAtItsEdges) {
    gfx_env env(16);
    bitmap b;
    alloc_bitmap(&b, 30, 20, RMT_PICTURE, "b");
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 30; x++) pixel_store(b.rows[y] + x * 2, screen_pixel({(Uint8)(x * 8), (Uint8)(y * 8), 0}), 2);
    SDL_FillRect(screen_surface, nullptr, 0);
    sys_draw_bitmap(&b, 625, 470);
    EXPECT_EQ(display_pixel(639, 479), screen_pixel({14 * 8, 9 * 8, 0}));
    sys_draw_bitmap(&b, -25, -15);
    EXPECT_EQ(display_pixel(0, 0), screen_pixel({25 * 8, 15 * 8, 0}));
    EXPECT_EQ(display_pixel(5, 5), 0u);
}

TEST(Video, ScreenshotsAreNumberedInDecimalAndHoldTheDisplay) {
    gfx_env env(32);
    SDL_Rect r = {10, 20, 5, 5};
    SDL_FillRect(screen_surface, nullptr, 0);
    SDL_FillRect(screen_surface, &r, SDL_MapRGB(screen_surface->format, 250, 120, 5));
    screenshot_number = 0;
    write_file("fenda_screenshot_10.bmp", "old");  // an earlier run's is replaced
    for (int i = 0; i < 11; i++) save_screenshot();
    SDL_Surface *s = SDL_LoadBMP("fenda_screenshot_10.bmp");
    ASSERT_NE(s, nullptr);
    rgb c;
    SDL_GetRGB(pixel_load(static_cast<Uint8 *>(s->pixels) + 22 * s->pitch + 12 * s->format->BytesPerPixel, s->format->BytesPerPixel),
               s->format, &c.r, &c.g, &c.b);
    EXPECT_TRUE((c == rgb{250, 120, 5}));
    SDL_FreeSurface(s);
}

}  // namespace
