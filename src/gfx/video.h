// Video: SDL's start and end, the video mode and its pixel format, the back
// buffer, and the one path by which pixels reach the display.
#pragma once
#include <cstdint>

#include "gfx/bitmap.h"

struct SDL_Surface;
struct SDL_PixelFormat;

enum { GAME_SCREEN_WIDTH = 640, GAME_SCREEN_HEIGHT = 480 };

extern SDL_Surface *screen_surface;  // SDL's display surface
extern int16_t screen_width;
extern int16_t screen_height;
extern int16_t screen_bits;          // bits per pixel
extern int16_t bytes_per_pixel;      // 2, 3 or 4: every picture is stored so
extern bool screen_fullscreen;       // the game's current full-screen state
extern char channel_order[4];        // "BGR" or "RGB", worked out at start
extern bitmap back_buffer;           // "screen", as large as the display
extern int screenshot_number;        // number in the next screenshot's name

// Called after the game switched between window and full screen, so that
// what is not kept in the back buffer (the player panels) is drawn again.
extern void (*video_mode_changed_hook)();

// Starts SDL and sets the first mode: 640 x 480 in the game, the configured
// size in the editor. Each program has its own variant. Fatal on failure.
void video_init();
void video_shutdown();
// Copies the whole bitmap to the display at (x, y) and updates that
// rectangle. What would fall outside the display is left out.
void sys_draw_bitmap(const bitmap *bmp, int x, int y);

// Game only: Alt-Enter and Print Screen.
void video_toggle_fullscreen();
void save_screenshot();
// Editor only: the window was resized; sets the mode at the new size.
void video_resize(int width, int height);

// Shared by the two variants of video_init.
void video_start_sdl(uint32_t sdl_subsystems);
SDL_Surface *video_set_mode(int width, int height, int bits, bool fullscreen);
void video_record_mode(SDL_Surface *surface);
// Sets the mode again at the current depth and records it; fatal if the
// display's bytes per pixel would change under the loaded pictures.
SDL_Surface *video_reset_mode(int width, int height);
const char *channel_order_of(const SDL_PixelFormat *format);
void video_log_mode(const char *what);
void video_log_format();
