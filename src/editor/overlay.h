// What the map area shows over the map for the map maker alone: the
// 16-pixel grid, the world's bounds, outlines of triggers and platforms,
// and a mark on every object that reaches outside the world.
#pragma once

#include "gfx/bitmap.h"

struct object;

// Draws over the map area's bitmap, after the objects.
void draw_overlay(bitmap *dest);
// True when the object's box reaches outside the world (0 to the map's
// width and height).
bool outside_world(const object *o);
