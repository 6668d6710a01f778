// The text log: numbered channels, each with a name and a switch, written
// line by line to one unbuffered file created by the first line.
#pragma once

enum {
    LOG_ERROR = 0,
    LOG_WARNING,
    LOG_LOG,
    LOG_INFO,
    LOG_NOTE,
    LOG_SYSTEM,
    LOG_ALLOC,
    LOG_FILE,
    LOG_PALETTE,
    LOG_SPRITE,
    LOG_GRAPHICS,
    LOG_NETWORK,
    LOG_SOUND,
    LOG_CHANNELS_MAX
};

enum { LOG_CHANNELS_GAME = 13, LOG_CHANNELS_EDITOR = 11, LOG_NAME_MAX = 1023 };

extern bool log_enabled;
extern char log_file_name[LOG_NAME_MAX + 1];

// Puts the log in its start state: on, not yet opened, the channel switches
// at their defaults, `channels` channels, the file name `default_name`.
void log_reset(int channels, const char *default_name);

void log_write(int channel, const char *format, ...) __attribute__((format(printf, 2, 3)));
void log_warning(const char *format, ...) __attribute__((format(printf, 1, 2)));
void log_set_channel(int channel, bool on);
bool log_channel_on(int channel);

// Closes the file and clears SUB_LOG; only sys_exit calls it.
void log_close();
