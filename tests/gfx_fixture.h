// Shared set-up of the graphics and event tests: SDL's dummy display at a
// chosen depth, realm memory and files in a temporary directory, pixels.
#pragma once
#include <SDL/SDL.h>

#include <functional>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/realm.h"
#include "frame/config.h"
#include "gfx/draw.h"
#include "gfx/video.h"
#include "test_util.h"

struct rgb {
    Uint8 r, g, b;
    bool operator==(const rgb &o) const { return r == o.r && g == o.g && b == o.b; }
};
constexpr rgb CLEAR = {TRANSPARENT_R, TRANSPARENT_G, TRANSPARENT_B};

// Display (640 x 480 in the game, width x height in the editor), realm
// memory and files for the life of the value.
struct gfx_env {
    temp_dir dir;
    scoped_cwd cwd{dir.path};
    explicit gfx_env(int colour = 32, int width = 800, int height = 600) {
        config_defaults(false);
        config.colour = colour;
        config.editor_screen_wid = width;
        config.editor_screen_hgt = height;
        video_init();
        realm_init();
        fs_init();
    }
    ~gfx_env() {
        fs_shutdown();
        realm_shutdown();
        video_shutdown();
        background = nullptr;
        start_picture_loaded = false;
        back_buffer.block = nullptr;
    }
};

// The display's pixel value for a colour, as pictures store it.
inline uint32_t screen_pixel(rgb c) {
    uint32_t v = SDL_MapRGB(screen_surface->format, c.r, c.g, c.b);
    return bytes_per_pixel == 4 ? v : v & ((1u << (8 * bytes_per_pixel)) - 1);
}
inline uint32_t pixel_at(const bitmap &b, int x, int y) { return pixel_load(b.rows[y] + x * bytes_per_pixel, bytes_per_pixel); }
inline uint32_t display_pixel(int x, int y) {
    auto *p = static_cast<uint8_t *>(screen_surface->pixels) + y * screen_surface->pitch + x * bytes_per_pixel;
    return pixel_load(p, bytes_per_pixel);
}
inline void fill_bitmap(bitmap &b, uint32_t value) {
    for (int y = 0; y < b.height; y++)
        for (int x = 0; x < b.width; x++) pixel_store(b.rows[y] + x * bytes_per_pixel, value, bytes_per_pixel);
}

// Events put in SDL's queue: a key, a mouse button at (x, y), a bare type.
inline void push_key(Uint8 type, SDLKey sym, SDLMod mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}
inline void push_button(Uint8 type, Uint8 button, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.x = (Uint16)x;
    e.button.y = (Uint16)y;
    SDL_PushEvent(&e);
}
inline void push_event(Uint8 type) {
    SDL_Event e{};
    e.type = type;
    SDL_PushEvent(&e);
}

// Writes a 24-bit BMP whose pixel (x, y) has the colour `at(x, y)`.
inline void save_picture(const std::string &path, int w, int h, const std::function<rgb(int, int)> &at) {
    SDL_Surface *s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            rgb c = at(x, y);
            pixel_store(static_cast<uint8_t *>(s->pixels) + y * s->pitch + x * 3, SDL_MapRGB(s->format, c.r, c.g, c.b), 3);
        }
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
}

// An 8-bit BMP of w x h pixels whose pixel (x, y) is palette entry
// `index(x, y)`, written by SDL.
inline void save_palette_bmp(const std::string &path, int w, int h, const std::vector<rgb> &palette,
                             const std::function<int(int, int)> &index) {
    SDL_Surface *s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0);
    std::vector<SDL_Color> colours;
    for (const rgb &c : palette) colours.push_back({c.r, c.g, c.b, 0});
    SDL_SetColors(s, colours.data(), 0, (int)colours.size());
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) static_cast<Uint8 *>(s->pixels)[y * s->pitch + x] = (Uint8)index(x, y);
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
}
