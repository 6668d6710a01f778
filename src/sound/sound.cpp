// Sound effects and music through SDL_mixer.
//
// SDL_mixer calls the music-finished hook from its audio thread. The hook
// only raises a flag; the main thread releases the finished music the next
// time it loads, plays or shuts down music. So the music pointer is only
// ever read and written by the main thread, and the hook never calls back
// into the mixer from inside its own thread.
#include "sound/sound.h"

#include <atomic>

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include "frame/config.h"
#include "frame/log.h"
#include "frame/sys.h"

namespace {

Mix_Chunk *sounds[SOUND_SLOTS];
Mix_Music *music = nullptr;
std::atomic<bool> music_done{false};

// Frees the music if the hook has reported it finished.
void release_finished_music() {
    if (!music_done.exchange(false)) return;
    if (music) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
        music = nullptr;
    }
}

}  // namespace

bool sound_init() {
    if (config.silent) return true;
    log_write(LOG_INFO, "initializing sound");
    log_write(LOG_SOUND, "requesting freq %d, format %Xh, %d channels, buffer %d", SOUND_FREQUENCY,
              SOUND_FORMAT, SOUND_CHANNELS, SOUND_BUFFER);
    if (Mix_OpenAudio(SOUND_FREQUENCY, AUDIO_S16LSB, SOUND_CHANNELS, SOUND_BUFFER) != 0) {
        log_write(LOG_SOUND, "unable to initialize sound, playing silently");
        config.silent = true;
        return false;
    }
    subsystem_set(SUB_SOUND, true);
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    log_write(LOG_INFO, "freq %d, format %Xh, %d channels", frequency, format, channels);
    music = nullptr;
    music_done = false;
    Mix_HookMusicFinished(music_finished);
    for (Mix_Chunk *&s : sounds) s = nullptr;
    return true;
}

void sound_shutdown() {
    log_write(LOG_INFO, "shuting down sound");
    Mix_HookMusicFinished(nullptr);
    if (music) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
        music = nullptr;
    }
    music_done = false;
    Mix_CloseAudio();
    subsystem_set(SUB_SOUND, false);
    for (Mix_Chunk *&s : sounds) {
        if (s) Mix_FreeChunk(s);
        s = nullptr;
    }
}

int16_t sound_load(const char *file_name) {
    if (!subsystem_is_up(SUB_SOUND)) return SOUND_NONE;
    log_write(LOG_SOUND, "loading sound \"%s\"", file_name);
    int slot = 0;
    while (slot < SOUND_SLOTS && sounds[slot]) slot++;
    if (slot == SOUND_SLOTS) sys_exit(7, "can't load any more sounds");
    // SDL_RWFromFile gives null for a missing file, which Mix_LoadWAV_RW
    // refuses; the stream is closed by the loader.
    sounds[slot] = Mix_LoadWAV_RW(SDL_RWFromFile(file_name, "rb"), 1);
    if (!sounds[slot]) sys_exit(7, "unable to load sound \"%s\"", file_name);
    return (int16_t)slot;
}

void sound_play(int16_t handle) {
    if (!subsystem_is_up(SUB_SOUND)) return;
    // Only handles from sound_load reach here; anything else is ignored
    // rather than indexing outside the table.
    if (handle < 0 || handle >= SOUND_SLOTS || !sounds[handle]) return;
    Mix_PlayChannelTimed(-1, sounds[handle], 0, -1);
}

void music_load(const char *file_name) {
    if (!subsystem_is_up(SUB_SOUND)) return;
    log_write(LOG_SOUND, "loading music \"%s\"", file_name);
    if (music) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
        music = nullptr;
    }
    // Halted above, the old music can no longer report its end.
    music_done = false;
    music = Mix_LoadMUS(file_name);
    if (!music) sys_exit(7, "unable to load music \"%s\"", file_name);
}

void music_play(int loop) {
    if (!subsystem_is_up(SUB_SOUND)) return;
    release_finished_music();
    if (!music) return;
    Mix_PlayMusic(music, loop ? -1 : 0);
}

void music_finished() { music_done = true; }

bool music_loaded() { return subsystem_is_up(SUB_SOUND) && music != nullptr && !music_done; }
