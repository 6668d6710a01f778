// Reads "fenda2.config": "key=value" lines, "#" comments, an empty line at
// the end. Keys are compared without case; nothing is trimmed.
#include "frame/config.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "core/files.h"
#include "frame/log.h"
#include "frame/sys.h"

config_record config;

namespace {

// The C library's decimal reading (blanks, sign, digits up to the first other
// character, 0 without digits), held to the range of an int.
int read_int(const char *text) {
    long v = strtol(text, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return (int)v;
}

void copy_cut(char *dest, const char *src, size_t max_chars) {
    size_t n = strlen(src);
    if (n > max_chars) n = max_chars;
    memcpy(dest, src, n);
    dest[n] = '\0';
}

void apply(const char *file_name, int line_no, const char *key, const char *value) {
    if (!strcasecmp(key, "fullscreen")) {
        if (!strcasecmp(value, "on")) config.fullscreen = true;
    } else if (!strcasecmp(key, "colour")) {
        config.colour = read_int(value);
    } else if (!strcasecmp(key, "sound")) {
        if (!strcasecmp(value, "on")) config.silent = false;
    } else if (!strncasecmp(key, "player", 6)) {
        // Only the seventh character counts: "player12" names the first player.
        int index = (unsigned char)key[6] - '1';
        if (index < 0 || index > 3)
            sys_exit(16, "\"%s\" line %d wrong player number %d", file_name, line_no, index);
        copy_cut(config.player_name[index], value, CONFIG_NAME_MAX);
    } else if (!strcasecmp(key, "server")) {
        copy_cut(config.server, value, CONFIG_SERVER_MAX);
    } else if (!strcasecmp(key, "packet_interval")) {
        config.net_packet_interval = read_int(value);
    } else if (!strcasecmp(key, "net_control_interval")) {
        config.net_control_interval = read_int(value);
    } else if (!strcasecmp(key, "net_control_send")) {
        config.net_control_send_time = read_int(value);
    } else if (!strcasecmp(key, "editor_screen_wid")) {
        config.editor_screen_wid = read_int(value);
    } else if (!strcasecmp(key, "editor_screen_hgt")) {
        config.editor_screen_hgt = read_int(value);
    } else {
        sys_exit(16, "error parsing \"%s\" line %d", file_name, line_no);
    }
}

}  // namespace

void config_defaults(bool editor) {
    static const char *const game_names[4] = {"First", "Second", "Third", "Fourth"};
    config.fullscreen = false;
    config.colour = 24;
    config.silent = true;
    for (int i = 0; i < 4; i++) copy_cut(config.player_name[i], editor ? "Nameless" : game_names[i], CONFIG_NAME_MAX);
    copy_cut(config.server, "127.0.0.1", CONFIG_SERVER_MAX);
    config.net_packet_interval = 150;
    config.net_control_interval = 20;
    config.net_control_send_time = 16;
    config.editor_screen_wid = 0;
    config.editor_screen_hgt = 0;
}

void config_read(const char *file_name) {
    log_write(LOG_INFO, "parsing \"%s\"", file_name);
    uint8_t h = fs_open(file_name, "rt", 1);
    // One character more than a line may hold is asked for, so that a line
    // of exactly the limit is read with its line feed, and a longer one is
    // known as such rather than read on as a line of its own.
    char line[CONFIG_LINE_MAX + 2];
    for (int line_no = 0;; line_no++) {
        int len = fs_read_line(h, CONFIG_LINE_MAX + 1, line, '\n');
        if (len > CONFIG_LINE_MAX)
            sys_exit(16, "\"%s\" line %d is longer than %d characters", file_name, line_no, CONFIG_LINE_MAX);
        if (len == 0) break;  // the empty line ends the file
        if (line[0] == '#') continue;
        char *eq = strchr(line, '=');
        if (!eq) sys_exit(16, "error parsing \"%s\" line %d", file_name, line_no);
        *eq = '\0';
        apply(file_name, line_no, line, eq + 1);
    }
    fs_close(h);
}
