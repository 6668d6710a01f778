// The main menu and the set-up of a game: the choice of one to four players
// on this computer or a network game, the players' records, the map, the
// key bindings and places of the four views, then the game loop.
#pragma once
#include <cstdint>

#include "gfx/bitmap.h"
#include "sim/view.h"

enum {
    MENU_X = 75,                  // where the menu picture goes on the display
    MENU_Y = 70,
    WIDE_SCREEN_WIDTH = 1280,     // the display for three or four local players
    VIEW_ROW_OFFSET = 240,        // view 1 and 3 lie this much lower
    VIEW_COLUMN_OFFSET = 640      // views 2 and 3 lie this much to the right
};

enum { STARTUP_NOTES_MAX = 255 };

// Warnings for the user gathered during start-up, one a line; the menu
// shows them in red.
extern char startup_notes[STARTUP_NOTES_MAX + 1];
// Appends a line; what does not fit is cut.
void startup_note(const char *text);

// What the menu's keys chose.
struct menu_choice {
    int players;    // local players, 1 to 4
    bool network;
    bool server;    // this computer serves the network game
    bool made;      // a choice key has been released
    bool replay = false;     // watch "fenda2.replay"
    bool no_replay = false;  // "r" was released, but there is no replay yet
};

// The keys of the eight controls of each view, as SDL key codes.
extern const int32_t view_key_bindings[VIEW_SLOTS][VIEW_CONTROLS];

// Writes the version, the choices, the server address, the full-screen hint
// and the start-up notes into the menu picture.
void draw_menu_texts(bitmap *picture);
// Takes every queued event: a choice key's release sets the choice (a later
// one replaces an earlier one), Escape's press ends the program.
void menu_take_events(menu_choice *choice);
// The display for the number of local players: 1280 x 480 for three or
// four, so that views 2 and 3 can be seen; 640 x 480 otherwise.
void set_game_display(int players);
// Allocates the four players' creature records, not yet in play.
void make_player_records();
// Binds the keys of the four views and moves them to their places.
void bind_view_keys();
void place_views();
// The menu, the set-up of the chosen game and the game loop.
void main_menu(int argc, char **argv);
