// The game's event poll.
#include "core/events.h"

#include <SDL/SDL.h>

#include "frame/sys.h"
#include "gfx/video.h"

void events_poll() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_KEYDOWN:
            // Alt-Enter switches the display and still reaches the queue
            // as a Return key.
            if (e.key.keysym.sym == SDLK_RETURN && (e.key.keysym.mod & KMOD_ALT))
                video_toggle_fullscreen();
            event_put_key(EV_KEY_DOWN, e.key.keysym.sym);
            break;
        case SDL_KEYUP:
            event_put_key(EV_KEY_UP, e.key.keysym.sym);
            break;
        case SDL_QUIT:
            sys_exit(0, "QUIT event caught");
        default:
            break;
        }
    }
}
