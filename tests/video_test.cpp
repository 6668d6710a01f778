// The video mode at each depth, its refusals and failures, the full-screen
// switch with its log lines, the copy to the display and screenshots.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "frame/log.h"
#include "frame/sys.h"
#include "gfx_fixture.h"

namespace {

uint32_t display_pixel(int x, int y) {
    SDL_Surface *s = screen_surface;
    return pixel_load(static_cast<uint8_t *>(s->pixels) + y * s->pitch + x * bytes_per_pixel, bytes_per_pixel);
}

TEST(Video, ModeAtTheConfiguredDepth) {
    const int want_bytes[] = {2, 3, 4};
    int i = 0;
    for (int colour : {16, 24, 32}) {
        SCOPED_TRACE(colour);
        {
            gfx_env env(colour);
            EXPECT_TRUE(subsystem_is_up(SUB_SDL));
            EXPECT_EQ(screen_width, 640);
            EXPECT_EQ(screen_height, 480);
            EXPECT_EQ(screen_bits, colour);
            EXPECT_EQ(bytes_per_pixel, want_bytes[i++]);
            char *title = nullptr, *icon = nullptr;
            SDL_WM_GetCaption(&title, &icon);
            EXPECT_STREQ(title, "Trelm2D: Fenda");
            EXPECT_STREQ(icon, "Fenda 2D");
        }
        EXPECT_FALSE(subsystem_is_up(SUB_SDL));
    }
}

TEST(Video, PaletteDepthAndFailedStartEndTheProgram) {
    config_defaults(false);
    config.colour = 8;
    EXPECT_EXIT(video_init(), ::testing::ExitedWithCode(4),
                "sys_exit\\(4\\): unable to set video mode: \"8-bit palette modes are not supported\"");
    config.colour = 24;
    EXPECT_EXIT({
        setenv("SDL_VIDEODRIVER", "no_such_driver", 1);
        video_init();
    }, ::testing::ExitedWithCode(1), "sys_exit\\(1\\): SDL initialization failed: \".+\"");
}

TEST(Video, FullScreenSwitchKeepsDepthRedrawsAndLogs) {
    temp_dir logdir;
    std::string log_path = logdir.file("video.log");
    log_reset(LOG_CHANNELS_GAME, log_path.c_str());
    static int redraws;
    redraws = 0;
    video_mode_changed_hook = [] { redraws++; };
    {
        gfx_env env(24);
        alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
        fill_bitmap(back_buffer, screen_pixel({10, 20, 30}));
        EXPECT_FALSE(screen_fullscreen);
        video_toggle_fullscreen();
        EXPECT_TRUE(screen_fullscreen);
        EXPECT_EQ(bytes_per_pixel, 3);
        EXPECT_EQ(display_pixel(639, 479), screen_pixel({10, 20, 30}));
        video_toggle_fullscreen();
        EXPECT_FALSE(screen_fullscreen);
        EXPECT_EQ(display_pixel(0, 0), screen_pixel({10, 20, 30}));
        EXPECT_EQ(redraws, 2);
    }
    video_mode_changed_hook = nullptr;
    log_close();
    log_enabled = false;
    std::string log = read_file(log_path);
    EXPECT_NE(log.find(": initializing SDL\n"
                       ": video mode [SDL window] 640x480 24-bit RGB (")
                  , std::string::npos) << log;
    EXPECT_NE(log.find("note: shift: r16 g8 b0\nnote: mask: r00FF0000 g0000FF00 b000000FF\n"),
              std::string::npos) << log;
    size_t on = log.find(": video mode change [SDL fullscreen] 640x480 24-bit RGB (");
    size_t off = log.find(": video mode change [SDL window] 640x480 24-bit RGB (");
    EXPECT_NE(on, std::string::npos) << log;
    EXPECT_NE(off, std::string::npos) << log;
    EXPECT_LT(on, off);
    EXPECT_NE(log.find(": shuting down SDL\n"), std::string::npos);
}

TEST(Video, BitmapsReachTheDisplayRowByRowAndAreCutAtItsEdges) {
    gfx_env env(16);
    bitmap b;
    alloc_bitmap(&b, 30, 20, RMT_PICTURE, "b");
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 30; x++) pixel_store(b.rows[y] + x * 2, screen_pixel({(Uint8)(x * 8), (Uint8)(y * 8), 0}), 2);
    SDL_FillRect(screen_surface, nullptr, 0);
    sys_draw_bitmap(&b, 100, 50);
    EXPECT_EQ(display_pixel(100, 50), screen_pixel({0, 0, 0}));
    EXPECT_EQ(display_pixel(129, 69), screen_pixel({29 * 8, 19 * 8, 0}));
    EXPECT_EQ(display_pixel(115, 57), screen_pixel({15 * 8, 7 * 8, 0}));
    EXPECT_EQ(display_pixel(130, 69), 0u);
    EXPECT_EQ(display_pixel(129, 70), 0u);
    sys_draw_bitmap(&b, 625, 470);  // reaches past the right and bottom edges
    EXPECT_EQ(display_pixel(639, 479), screen_pixel({14 * 8, 9 * 8, 0}));
    sys_draw_bitmap(&b, -25, -15);  // and past the left and top edges
    EXPECT_EQ(display_pixel(0, 0), screen_pixel({25 * 8, 15 * 8, 0}));
    EXPECT_EQ(display_pixel(5, 5), 0u);
}

TEST(Video, ScreenshotsAreNumberedAndHoldTheDisplay) {
    gfx_env env(32);
    SDL_Rect r = {10, 20, 5, 5};
    SDL_FillRect(screen_surface, nullptr, 0);
    SDL_FillRect(screen_surface, &r, SDL_MapRGB(screen_surface->format, 250, 120, 5));
    screenshot_number = 0;
    write_file("fenda_screenshot_3.bmp", "old");
    for (int i = 0; i < 11; i++) save_screenshot();
    for (int i = 0; i <= 10; i++) {
        std::string name = "fenda_screenshot_" + std::to_string(i) + ".bmp";
        SDL_Surface *s = SDL_LoadBMP(name.c_str());
        ASSERT_NE(s, nullptr) << name;
        EXPECT_EQ(s->w, 640);
        EXPECT_EQ(s->h, 480);
        Uint8 red, green, blue;
        const Uint8 *p = static_cast<Uint8 *>(s->pixels) + 22 * s->pitch + 12 * s->format->BytesPerPixel;
        SDL_GetRGB(pixel_load(p, s->format->BytesPerPixel), s->format, &red, &green, &blue);
        EXPECT_EQ(red, 250);
        EXPECT_EQ(green, 120);
        EXPECT_EQ(blue, 5);
        SDL_FreeSurface(s);
    }
    EXPECT_FALSE(file_exists("fenda_screenshot_:.bmp"));
}

}  // namespace
