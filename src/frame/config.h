// The settings read from "fenda2.config".
#pragma once

enum { CONFIG_NAME_MAX = 15, CONFIG_SERVER_MAX = 59, CONFIG_LINE_MAX = 80 };

struct config_record {
    bool fullscreen;
    int colour;
    bool silent;
    char player_name[4][CONFIG_NAME_MAX + 1];
    char server[CONFIG_SERVER_MAX + 1];
    int net_packet_interval;
    int net_control_interval;
    int net_control_send_time;
    int editor_screen_wid;
    int editor_screen_hgt;
};

extern config_record config;

// Puts every setting at its default; the editor's player names are "Nameless".
void config_defaults(bool editor);

// Reads the file once; every error ends the program, a line of more than
// CONFIG_LINE_MAX characters too.
void config_read(const char *file_name);
