// The editor's video: a display of the configured size, remade at the new
// size when the window is resized.
#include "gfx/video.h"

#include <SDL/SDL.h>

#include <cstdio>

#include "frame/config.h"
#include "frame/log.h"

void video_init() {
    log_write(LOG_INFO, "initializing SDL");
    video_start_sdl(SDL_INIT_VIDEO);
    screen_fullscreen = config.fullscreen;
    SDL_Surface *surface = video_set_mode(config.editor_screen_wid, config.editor_screen_hgt,
                                          config.colour, screen_fullscreen);
    video_record_mode(surface);
    snprintf(channel_order, sizeof channel_order, "%s", channel_order_of(surface->format));
    SDL_WM_SetCaption("Fenda Editor", "Fenda Editor");
    video_log_mode("video mode");
    video_log_format();
}

void video_resize(int width, int height) {
    // SDL 1.2 keeps the old surface until the mode is set again; without
    // this the back buffer of the new size would not match the display.
    video_reset_mode(width, height);
    video_log_mode("video mode change");
}
