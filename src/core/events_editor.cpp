// The editor's event poll: keys, the mouse with its three buttons held
// between events, window resizes.
#include "core/events.h"

#include <SDL/SDL.h>

#include "core/realm.h"
#include "frame/sys.h"
#include "gfx/draw.h"
#include "gfx/video.h"

namespace {

// SDL's buttons 1, 3, 2 are left, right, middle; the wheel and any other
// button is none of them (-1).
int button_index(Uint8 sdl_button) {
    switch (sdl_button) {
    case SDL_BUTTON_LEFT: return MOUSE_LEFT;
    case SDL_BUTTON_RIGHT: return MOUSE_RIGHT;
    case SDL_BUTTON_MIDDLE: return MOUSE_MIDDLE;
    default: return -1;
    }
}

void put_mouse(int32_t type, int x, int y, int button) {
    event record{};
    record.type = type;
    record.x = x;
    record.y = y;
    record.left = mouse_held[MOUSE_LEFT];
    record.right = mouse_held[MOUSE_RIGHT];
    record.middle = mouse_held[MOUSE_MIDDLE];
    record.button = button;
    event_put(&record);
}

void window_resized(int width, int height) {
    video_resize(width, height);
    if (!subsystem_is_up(SUB_REALM)) return;
    free_bitmap(&back_buffer);
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    clear_screen();
    if (window_resized_hook) window_resized_hook();
}

}  // namespace

void editor_poll_events() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_KEYDOWN:
            event_put_key(EV_KEY_DOWN, e.key.keysym.sym);
            break;
        case SDL_KEYUP:
            event_put_key(EV_KEY_UP, e.key.keysym.sym);
            break;
        case SDL_MOUSEMOTION:
            put_mouse(EV_MOTION, e.motion.x, e.motion.y, 0);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            // The wheel names none of the three buttons: it changes no state
            // and queues nothing, so no reader mistakes it for a click.
            int b = button_index(e.button.button);
            if (b < 0) break;
            mouse_held[b] = e.type == SDL_MOUSEBUTTONDOWN;
            put_mouse(e.type == SDL_MOUSEBUTTONDOWN ? EV_BUTTON_DOWN : EV_BUTTON_UP, e.button.x,
                      e.button.y, b);
            break;
        }
        case SDL_VIDEORESIZE:
            window_resized(e.resize.w, e.resize.h);
            break;
        case SDL_QUIT:
            sys_exit(0, "QUIT event caught");
        default:
            break;
        }
    }
}
