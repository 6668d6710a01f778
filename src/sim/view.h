// Player views: the player table of four slots, each with a picture of the
// map around its player and a status panel, and the status picture with its
// digit sprites that every panel shows.
#pragma once
#include <cstdint>

#include "gfx/bitmap.h"

struct creature;

enum {
    VIEW_SLOTS = 4,
    VIEW_CONTROLS = 8,
    VIEW_NAME_MAX = 15,
    PANEL_WIDTH = 160,
    PANEL_HEIGHT = 240,
    STATUS_DIGITS = 10
};

struct view {
    char name[VIEW_NAME_MAX + 1];  // shown by the network lobby
    struct creature *creature;     // in use while its state is not 0
    int32_t remote;                // a player on another computer
    int32_t keys[VIEW_CONTROLS];   // key bound to each control; -1 unbound
    bitmap picture;                // 480 x 240 "pl_view"
    bitmap panel;                  // 160 x 240 "pl_screen"
    int32_t cam_x, cam_y;          // 16.16, the picture's bottom-left corner
    int32_t look_offset;
    int32_t screen_x, screen_y;
    int32_t panel_x, panel_y;
    int32_t panel_dirty;
    int32_t panel_was_last;
};

extern view views[VIEW_SLOTS];
extern const char *const weapon_names[5];

// The map's status picture, copied into every panel, and the digit sprites.
extern bitmap status_picture;
extern sprite *status_digits[STATUS_DIGITS];

// Makes view i ready for a new game (its creature must exist).
void init_view(int i);
// Takes the view out of play and frees its bitmaps.
void free_view(int i);
// Loads the status picture (at least 160 x 240) and the ten digit sprites
// named after "rn0.png", in the game's realm.
void load_status_picture(const char *file_name);
// True while the view's creature takes part in the game.
bool view_in_use(int i);
