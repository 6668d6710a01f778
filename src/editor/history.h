// The edits of the map loaded in the editor, for undo and redo, and whether
// the map differs from what was last saved. An edit changes one object's
// kind (a placement turns it from WIPE into its kind, a removal back into
// WIPE) or position (a player placed again moves); removed objects stay in
// the object list, so undo and redo only switch those fields back and forth.
#pragma once
#include <cstdint>

struct object;

enum { HISTORY_STEPS = 1000 };  // undo reaches this many edits back

// Forgets every edit; the map as it stands counts as saved (after a load).
void history_clear();
// Records a change just made to `o`, given its kind and position before.
// Edits that were undone can no longer be redone.
void history_record(object *o, int32_t kind_before, int32_t x_before, int32_t y_before);
// Takes back the last edit, or does it again; false when there is none.
bool history_undo();
bool history_redo();
// The map as it stands is what the last save wrote.
void history_mark_saved();
// True when the map differs from what was last saved or loaded.
bool history_unsaved();
