// Drawing on the back buffer and into views: clearing, presenting, the
// start picture and the map background with parallax; the screen set-up.
#pragma once
#include <cstdint>

#include "gfx/bitmap.h"

extern bitmap start_picture;       // "start.jpg", loaded on first use
extern bool start_picture_loaded;

// Fills `dest` from `background` for a camera at (cam_x, cam_y), the map
// pixel at the picture's bottom-left corner, on a map of map_w x map_h
// pixels: the background scrolls across its whole extent while the camera
// crosses the map. Callers pass the integer parts of their fixed-point
// camera and map size.
void draw_background(bitmap *dest, int32_t cam_x, int32_t cam_y, int32_t map_w, int32_t map_h);
// Copies the bitmap into the back buffer at (x, y), then presents the back
// buffer. What would fall outside the back buffer is left out.
void show_bitmap(const bitmap *bmp, int x, int y);
void clear_screen();                // black back buffer, not presented
void update_screen();               // presents the back buffer
void show_start_picture();
// The back buffer, the start picture on the display and the font.
void screen_setup();
