// Saving on request, the autosave and the status message.
#include "editor/session.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "editor/editor.h"
#include "editor/history.h"
#include "editor/map_save.h"
#include "frame/log.h"
#include "world/map_load.h"
#include "world/object.h"

const char *const EDITOR_MAP_FILE = "editor.fenda";
const char *const AUTOSAVE_FILE = "editor.fenda.autosave";

char status_message[STATUS_MESSAGE_MAX];
bool status_warning = false;
bool map_in_memory = false;
bool autosave_holds_edits = false;

namespace {

enum { PLAYERS = 4, DM_STARTS_NEEDED = 2 };

}  // namespace

void editor_say(bool warning, const char *format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(status_message, sizeof status_message, format, args);
    va_end(args);
    status_warning = warning;
    log_write(warning ? LOG_WARNING : LOG_INFO, "%s", status_message);
    panel_dirty = true;
}

void map_warnings(char *out, int size) {
    bool player[PLAYERS] = {};
    int dm_starts = 0;
    for (list_node *n = object_list; n; n = n->next) {
        auto *o = static_cast<const object *>(n->element);
        if (o->kind != OBJ_ITEM) continue;
        auto *it = static_cast<const editor_item *>(o->owner);
        if (it->kind == ITEM_DM_START) dm_starts++;
        if (it->kind == ITEM_PLAYER && it->player >= 0 && it->player < PLAYERS) player[it->player] = true;
    }
    int n = 0;
    out[0] = 0;
    for (int i = 0; i < PLAYERS; i++)
        if (!player[i] && n < size) n += snprintf(out + n, (size_t)(size - n), "%s %d", n ? "" : "no PLAYER", i);
    if (dm_starts < DM_STARTS_NEEDED && n < size)
        snprintf(out + n, (size_t)(size - n), "%s%s DM start", n ? "; " : "", dm_starts ? "only 1" : "no");
}

namespace {

// Says that the map was saved, with what the game would refuse in it.
void say_saved() {
    char warnings[STATUS_MESSAGE_MAX];
    map_warnings(warnings, sizeof warnings);
    if (warnings[0])
        editor_say(true, "saved %s; warning: %s", EDITOR_MAP_FILE, warnings);
    else
        editor_say(false, "saved %s", EDITOR_MAP_FILE);
}

}  // namespace

bool editor_save() {
    char error[256];
    if (write_map(EDITOR_MAP_FILE, error, sizeof error)) {
        editor_say(true, "not saved: %s", error);
        return false;
    }
    history_mark_saved();
    say_saved();
    return true;
}

void editor_save_and_leave() {
    save_map(EDITOR_MAP_FILE);
    history_mark_saved();
    say_saved();
}

void editor_autosave() {
    if (!map_in_memory || !history_unsaved()) return;
    char error[256];
    if (write_map(AUTOSAVE_FILE, error, sizeof error))
        log_write(LOG_WARNING, "unsaved changes not kept: %s", error);
    else
        autosave_holds_edits = true;
}

const char *editor_rescue() {
    static char note[320];  // a writer's message and a few words
    if (map_in_memory && history_unsaved()) {
        char error[256];
        if (write_map(AUTOSAVE_FILE, error, sizeof error)) {
            snprintf(note, sizeof note, "unsaved changes are lost: %s", error);
            return note;
        }
        autosave_holds_edits = true;
    }
    if (!autosave_holds_edits) return nullptr;
    snprintf(note, sizeof note, "unsaved changes are in \"%s\"", AUTOSAVE_FILE);
    return note;
}
