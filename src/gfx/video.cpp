// Video parts shared by the game and the editor: SDL start and end, mode
// setting and reporting, the copy of bitmaps to the display.
#include "gfx/video.h"

#include <SDL/SDL.h>

#include <cstring>

#include "frame/log.h"
#include "frame/sys.h"

SDL_Surface *screen_surface = nullptr;
int16_t screen_width = 0;
int16_t screen_height = 0;
int16_t screen_bits = 0;
int16_t bytes_per_pixel = 0;
bool screen_fullscreen = false;
char channel_order[4] = "RGB";
bitmap back_buffer = {0, 0, nullptr, nullptr, nullptr};
int screenshot_number = 0;
void (*video_mode_changed_hook)() = nullptr;

void video_start_sdl(uint32_t sdl_subsystems) {
    if (SDL_Init(sdl_subsystems) < 0)
        sys_exit(1, "SDL initialization failed: \"%s\"", SDL_GetError());
    subsystem_set(SUB_SDL, true);
}

SDL_Surface *video_set_mode(int width, int height, int bits, bool fullscreen) {
    Uint32 flags = SDL_HWSURFACE | SDL_ANYFORMAT;
    if (fullscreen) flags |= SDL_FULLSCREEN;
    SDL_Surface *surface = SDL_SetVideoMode(width, height, bits, flags);
    if (!surface) sys_exit(4, "unable to set video mode: \"%s\"", SDL_GetError());
    // The drawing code copies 2, 3 or 4 bytes a pixel; a palette mode would
    // have every picture drawn as garbage, so it is refused here.
    if (surface->format->BytesPerPixel < 2)
        sys_exit(4, "unable to set video mode: \"%d-bit palette modes are not supported\"",
                 surface->format->BitsPerPixel);
    return surface;
}

SDL_Surface *video_reset_mode(int width, int height) {
    SDL_Surface *surface = video_set_mode(width, height, screen_bits, screen_fullscreen);
    // Every picture holds pixels of the old width; a display that came back
    // with another one would have them copied as garbage past their rows.
    if (surface->format->BytesPerPixel != bytes_per_pixel)
        sys_exit(4, "unable to set video mode: \"%d bytes per pixel instead of %d\"",
                 surface->format->BytesPerPixel, bytes_per_pixel);
    video_record_mode(surface);
    return surface;
}

const char *channel_order_of(const SDL_PixelFormat *format) {
    return format->Rmask < format->Bmask ? "BGR" : "RGB";
}

void video_record_mode(SDL_Surface *surface) {
    screen_surface = surface;
    screen_width = (int16_t)surface->w;
    screen_height = (int16_t)surface->h;
    screen_bits = surface->format->BitsPerPixel;
    bytes_per_pixel = surface->format->BytesPerPixel;
}

void video_log_mode(const char *what) {
    log_write(LOG_INFO, "%s [SDL %s] %dx%d %d-bit %s (%sware surface)", what,
              (screen_surface->flags & SDL_FULLSCREEN) ? "fullscreen" : "window", screen_width,
              screen_height, screen_bits, channel_order,
              (screen_surface->flags & SDL_HWSURFACE) ? "hard" : "soft");
}

void video_log_format() {
    const SDL_PixelFormat *f = screen_surface->format;
    log_write(LOG_NOTE, "shift: r%d g%d b%d", f->Rshift, f->Gshift, f->Bshift);
    log_write(LOG_NOTE, "mask: r%08X g%08X b%08X", f->Rmask, f->Gmask, f->Bmask);
}

void video_shutdown() {
    log_write(LOG_INFO, "shuting down SDL");
    SDL_Quit();
    screen_surface = nullptr;
    subsystem_set(SUB_SDL, false);
}

void sys_draw_bitmap(const bitmap *bmp, int x, int y) {
    SDL_Surface *s = screen_surface;
    if (!s || !bmp->block) return;
    // Clip to the display: a caller's misplaced bitmap must not write past
    // the surface's memory.
    int x0 = x < 0 ? 0 : x;
    int y0 = y < 0 ? 0 : y;
    int x1 = x + bmp->width > s->w ? s->w : x + bmp->width;
    int y1 = y + bmp->height > s->h ? s->h : y + bmp->height;
    if (x0 >= x1 || y0 >= y1) return;

    bool locked = SDL_MUSTLOCK(s);
    if (locked && SDL_LockSurface(s) < 0)
        sys_exit(4, "screen locking failed: \"%s\"", SDL_GetError());
    int bpp = bytes_per_pixel;
    size_t bytes = (size_t)(x1 - x0) * (size_t)bpp;
    for (int row = y0; row < y1; row++) {
        uint8_t *dst = static_cast<uint8_t *>(s->pixels) + (size_t)row * s->pitch + (size_t)x0 * bpp;
        const uint8_t *src = bmp->rows[row - y] + (size_t)(x0 - x) * bpp;
        memcpy(dst, src, bytes);
    }
    if (locked) SDL_UnlockSurface(s);
    SDL_UpdateRect(s, x0, y0, (Uint32)(x1 - x0), (Uint32)(y1 - y0));
}
