// The text log. Lines are "<channel name>: <message>\n", written unbuffered
// so that a crash or a fatal end loses nothing already logged.
#include "frame/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "frame/subsystem.h"

bool log_enabled = true;
char log_file_name[LOG_NAME_MAX + 1] = "fenda2.log";

namespace {

struct log_channel {
    const char *name;
    bool on;
};

const log_channel channel_defaults[LOG_CHANNELS_MAX] = {
    {"ERROR", true},    {"WARNING", true}, {"log", true},      {"", true},
    {"note", true},     {"system", true},  {"alloc", false},   {"file", false},
    {"palette", true},  {"sprite", false}, {"graphics", true}, {"network", true},
    {"sound", false},
};

log_channel channels[LOG_CHANNELS_MAX];
int channel_count = LOG_CHANNELS_GAME;
bool not_opened = true;
FILE *log_file = nullptr;
bool table_ready = false;

void ensure_table() {
    if (table_ready) return;
    memcpy(channels, channel_defaults, sizeof channels);
    table_ready = true;
}

bool channel_passes(int channel) {
    ensure_table();
    return log_enabled && channel >= 0 && channel < channel_count && channels[channel].on;
}

// Creates the file on the first line; false when the log is (now) off.
bool open_on_first_line() {
    if (!not_opened) return log_file != nullptr;
    not_opened = false;
    log_file = fopen(log_file_name, "w");
    if (!log_file) {
        log_enabled = false;
        log_warning("unable to write logfile");
        return false;
    }
    setvbuf(log_file, nullptr, _IONBF, 0);
    subsystem_set(SUB_LOG, true);
    return true;
}

void write_line(int channel, const char *text) {
    if (!channel_passes(channel)) return;
    if (!open_on_first_line()) return;
    // One fprintf call per line: with an unbuffered stream it still reaches
    // the system before log_write returns.
    fprintf(log_file, "%s: %s\n", channels[channel].name, text);
}

}  // namespace

void log_reset(int count, const char *default_name) {
    log_close();
    memcpy(channels, channel_defaults, sizeof channels);
    table_ready = true;
    channel_count = count < 0 ? 0 : count > LOG_CHANNELS_MAX ? LOG_CHANNELS_MAX : count;
    not_opened = true;
    log_enabled = true;
    snprintf(log_file_name, sizeof log_file_name, "%s", default_name);
}

void log_write(int channel, const char *format, ...) {
    if (!channel_passes(channel)) return;
    char text[256];
    va_list ap;
    va_start(ap, format);
    vsnprintf(text, sizeof text, format, ap);  // longer messages are cut to 255 characters
    va_end(ap);
    write_line(channel, text);
}

void log_warning(const char *format, ...) {
    char text[256];
    va_list ap;
    va_start(ap, format);
    vsnprintf(text, sizeof text, format, ap);
    va_end(ap);
    write_line(LOG_WARNING, text);
}

void log_set_channel(int channel, bool on) {
    ensure_table();
    if (channel < 0 || channel >= channel_count) return;
    if (channels[LOG_LOG].on)
        log_write(LOG_LOG, "loging for \"%s\" %s", channels[channel].name, on ? "enabled" : "disabled");
    channels[channel].on = on;
}

bool log_channel_on(int channel) { return channel_passes(channel); }

void log_close() {
    if (log_file) fclose(log_file);
    log_file = nullptr;
    subsystem_set(SUB_LOG, false);
}
