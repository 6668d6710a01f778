// Collision: does a moving object, put at its new position, run into
// something that stops it? Which kinds stop which is a fixed table by the
// moving kind; ladders stop only what falls onto them; missiles and
// platforms also learn what stopped them.
#pragma once

#include "world/object.h"

// 1 when the object at its current position is blocked, 0 when free. For a
// MISSLE or PLATFORM the blocker goes into `hit_object`. A kind without a
// rule (a wall, decoration, ladder, trigger, explosion or wiped object) ends
// the program.
int collides(object *o);
