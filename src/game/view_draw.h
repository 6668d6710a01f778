// Drawing of the players' views: the camera that follows a player, the map
// drawn over its parallax background, the status panel, and the round-robin
// that puts one view or one panel on the display per screen frame.
#pragma once
#include <cstdint>

#include "sim/view.h"

enum {
    CAMERA_FEET_HEIGHT = 93,  // pixels from the picture's bottom to the feet, looking level
    HEALTH_X = 25,            // first of the three health digit cells
    HEALTH_Y = 13,
    HEALTH_SHOWN_MAX = 999,   // three cells; more is shown as 999
    WEAPON_ICON_CENTRE_Y = 86,
    PANEL_TEXT_Y = 118,
    WEAPON_NAME_X = 10,
    AMMUNITION_X = 110,
    NO_AMMO_X = 90,
    FRAGS_X = 10,
    FRAGS_Y = 156
};

// Milliseconds spent inside sys_draw_bitmap by refresh_next_view.
extern uint32_t draw_bitmap_ms;
// The view refreshed last; the next refresh starts after it.
extern int last_refreshed_view;

// Puts the camera so the player's body is centred across and its feet sit
// 93 pixels above the picture's bottom (shifted by looking), kept inside
// the map.
void place_camera(view *v);
// The background, every object with a sprite in list order, the FPS line.
void draw_view_map(view *v);
// The status picture with health, weapon icon and name, ammunition, frags.
void draw_status_panel(view *v);
// Puts the next view in use on the display: its panel when that waits to
// be redrawn and was not drawn last time, its picture otherwise.
void refresh_next_view();
// Every panel is drawn again at its view's next turn (after a mode change).
void request_panel_redraw_all();
