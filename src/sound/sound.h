// Sound effects and music. Everything is optional: while sound is off every
// call succeeds and does nothing, and loading hands out SOUND_NONE.
#pragma once
#include <cstdint>

enum {
    SOUND_NONE = -1,
    SOUND_SLOTS = 128,
    SOUND_FREQUENCY = 22050,
    SOUND_FORMAT = 0x8010,  // signed 16-bit little-endian samples
    SOUND_CHANNELS = 2,
    SOUND_BUFFER = 4096
};

// Opens the audio device unless the configuration keeps the game silent.
// When the device refuses, the game falls back to silence and this returns
// false, so that the start-up can tell the user; true otherwise.
bool sound_init();
void sound_shutdown();

// Loads one effect into the next free slot; SOUND_NONE while sound is off.
int16_t sound_load(const char *file_name);
// Plays an effect once on the first free mixing channel.
void sound_play(int16_t handle);

// Makes the file the current music, freeing the one before.
void music_load(const char *file_name);
// Starts the current music, repeating without end when `loop` is not 0.
void music_play(int loop);
// SDL_mixer's hook, called from the audio thread when the music stops.
void music_finished();
// True while a music is loaded and has not finished; changes nothing.
bool music_loaded();
