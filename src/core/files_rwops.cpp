// The SDL read stream over a handle's real file, kept apart so that the
// rest of the file layer builds without SDL.
#include <SDL/SDL.h>

#include "core/files.h"
#include "frame/log.h"
#include "frame/sys.h"

SDL_RWops *fs_rwops(uint8_t handle) {
    const char *real_name = nullptr;
    uint32_t base = 0;
    FILE *stream = fs_real_file(handle, &real_name, &base);
    log_write(LOG_FILE, "taking RWops for file \"%s\" [\"%s\" ofs=%Xh]", fs_name(handle),
              real_name, base);
    // autoclose 0: freeing the stream leaves the file to fs_close.
    SDL_RWops *rw = SDL_RWFromFP(stream, 0);
    if (!rw) sys_exit(3, "can't take RWops for file \"%s\"", fs_name(handle));
    return rw;
}
