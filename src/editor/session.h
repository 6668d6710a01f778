// Keeping the map maker's work: saving "editor.fenda" on request with the
// warnings the game would give, the autosave that holds unsaved changes
// when something ends the editor, and the message line of the panel.
#pragma once

enum { STATUS_MESSAGE_MAX = 160 };

extern const char *const EDITOR_MAP_FILE;  // "editor.fenda"
extern const char *const AUTOSAVE_FILE;    // "editor.fenda.autosave"

// The last message for the user, shown in the panel; a warning is shown
// in the warning colour. Every message also goes to the log.
extern char status_message[STATUS_MESSAGE_MAX];
extern bool status_warning;
// False while no map is loaded or one is being replaced: the object lists
// are not to be read then.
extern bool map_in_memory;
// The autosave holds the changes that were not saved (it was written
// since the map was loaded).
extern bool autosave_holds_edits;

void editor_say(bool warning, const char *format, ...) __attribute__((format(printf, 2, 3)));

// What the game would refuse in the map in memory: the players 0 to 3
// without a PLAYER line, and fewer than two deathmatch starts. Writes ""
// when there is nothing to say.
void map_warnings(char *out, int size);
// Writes "editor.fenda" with the map writer, then says so and warns as
// above. A failed write is said too and ends nothing; returns whether the
// file was written.
bool editor_save();
// The save of Escape: as editor_save, but a failed write ends the program
// (the rescue keeps the changes then).
void editor_save_and_leave();
// Writes the unsaved changes, if any, to the autosave file; the editor
// calls it before a step that may end it.
void editor_autosave();
// For sys_exit: writes unsaved changes to the autosave file while the map
// is in memory and returns the note for the final message that says where
// they are, or null when nothing was unsaved.
const char *editor_rescue();
