// The game's video: a 640 x 480 display, the Alt-Enter switch between
// window and full screen, and screenshots.
#include "gfx/video.h"

#include <SDL/SDL.h>

#include <cstdio>

#include "frame/config.h"
#include "frame/log.h"

void video_init() {
    log_write(LOG_INFO, "initializing SDL");
    video_start_sdl(SDL_INIT_VIDEO | (config.silent ? 0 : SDL_INIT_AUDIO));
    screen_fullscreen = config.fullscreen;
    SDL_Surface *surface =
        video_set_mode(GAME_SCREEN_WIDTH, GAME_SCREEN_HEIGHT, config.colour, screen_fullscreen);
    video_record_mode(surface);
    snprintf(channel_order, sizeof channel_order, "%s", channel_order_of(surface->format));
    SDL_WM_SetCaption("Trelm2D: Fenda", "Fenda 2D");
    video_log_mode("video mode");
    video_log_format();
}

void video_toggle_fullscreen() {
    screen_fullscreen = !screen_fullscreen;
    // The depth stays, so every picture already converted stays valid; the
    // size stays too (a game of three or four players has a wider display).
    video_reset_mode(screen_width, screen_height);
    video_log_mode("video mode change");
    sys_draw_bitmap(&back_buffer, 0, 0);
    if (video_mode_changed_hook) video_mode_changed_hook();
}

void save_screenshot() {
    // Numbered in decimal: the first ten are _0 to _9, then _10, _11 and so
    // on, so every name stays a plain file name.
    char name[64];
    snprintf(name, sizeof name, "fenda_screenshot_%d.bmp", screenshot_number);
    log_write(LOG_INFO, "saving screenshot: \"%s\"", name);
    if (screen_surface) SDL_SaveBMP(screen_surface, name);
    screenshot_number++;
}
