// Undo and redo: a ring of the last edits and the place of the saved state
// among them.
#include "editor/history.h"

#include "world/object.h"

namespace {

struct edit {
    object *o;
    int32_t kind[2];  // before, after
    int32_t x[2], y[2];
};

edit edits[HISTORY_STEPS];
// Edits are numbered from the last load on: `oldest` is the first that can
// still be undone, `current` the number of edits in force and `newest` the
// end of what can be redone. The edit numbered n lives at edits[n % size].
int64_t oldest = 0, current = 0, newest = 0;
// The value of `current` when the map was last saved; -1 when that state
// can no longer be reached.
int64_t saved = 0;

void apply(const edit &e, int side) {
    e.o->kind = e.kind[side];
    e.o->x = e.x[side];
    e.o->y = e.y[side];
}

}  // namespace

void history_clear() { oldest = current = newest = saved = 0; }

void history_record(object *o, int32_t kind_before, int32_t x_before, int32_t y_before) {
    if (saved > current) saved = -1;  // the saved state was undone and is now lost
    edits[current % HISTORY_STEPS] = {o, {kind_before, o->kind}, {x_before, o->x}, {y_before, o->y}};
    newest = ++current;
    if (newest - oldest > HISTORY_STEPS) oldest = newest - HISTORY_STEPS;
}

bool history_undo() {
    if (current == oldest) return false;
    apply(edits[--current % HISTORY_STEPS], 0);
    return true;
}

bool history_redo() {
    if (current == newest) return false;
    apply(edits[current++ % HISTORY_STEPS], 1);
    return true;
}

void history_mark_saved() { saved = current; }

bool history_unsaved() { return saved != current; }
