// The map writer: one line per object in the map file format that both
// programs' loaders read.
#include "editor/map_save.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "frame/sys.h"
#include "gfx/bitmap.h"
#include "world/map_load.h"
#include "world/object.h"

namespace {

struct map_writer {
    FILE *file;
    std::string temp;  // what is written, renamed to `path` when complete
    int code;          // exit code of the first failure, 0 while none
    char error[256];   // its message
};

// The first failure stops the writing: the unfinished file is removed, so
// the file that was there before stays as it was.
__attribute__((format(printf, 3, 4))) void fail(map_writer *w, int code, const char *format, ...) {
    if (w->code) return;
    va_list args;
    va_start(args, format);
    vsnprintf(w->error, sizeof w->error, format, args);
    va_end(args);
    w->code = code;
}

// Whole pixels of a 24.8 value, rounded toward minus infinity.
int32_t pixels(int32_t v) { return v >> 8; }

const char *picture_name(map_writer *w, const object *o) {
    if (o->sprite) return o->sprite->name;
    fail(w, 16, "can not save object %d of type %s: it has no picture", o->id, kind_names[o->kind]);
    return "";
}

void write_trigger(map_writer *w, const object *o) {
    const auto *t = static_cast<const trigger *>(o->owner);
    FILE *f = w->file;
    fprintf(f, "%d %d TRIGGER %d %d ", pixels(o->x), pixels(o->y), pixels(o->w), pixels(o->h));
    if (t->type == TRIGGER_REDIRECT) {
        fprintf(f, "REDIRECT %d %d\n", t->value1, t->value2);
    } else if (t->type == TRIGGER_TELEPORT) {
        fputs("TELEPORT ", f);
        if (t->silent) fputs("SILENT ", f);
        fputs("( ", f);
        if (t->kinds[OBJ_MONSTER]) fputs("MONSTER ", f);
        if (t->kinds[OBJ_MISSLE]) fputs("MISSLE ", f);
        if (t->kinds[OBJ_PLATFORM]) fputs("PLATFORM ", f);
        if (t->kinds[OBJ_ITEM]) fputs("ITEM ", f);
        fprintf(f, ") %d %d\n", pixels(t->value1), pixels(t->value2));
    } else {
        fail(w, 16, "no handler to save trigger kind %02Xh", t->type);
    }
}

void write_item(map_writer *w, const object *o) {
    const auto *it = static_cast<const editor_item *>(o->owner);
    const int32_t x = pixels(o->x), y = pixels(o->y);
    for (const item_name &n : item_names)
        if (n.kind == it->kind) {
            fprintf(w->file, "%d %d ITEM %s\n", x, y, n.name);
            return;
        }
    if (it->kind == ITEM_PLAYER)
        fprintf(w->file, "%d %d PLAYER %d %s\n", x, y, it->player, it->monster_file);
    else if (it->kind == ITEM_MONSTER)
        fprintf(w->file, "%d %d MONSTER %s\n", x, y, it->monster_file);
    else if (it->kind == ITEM_DM_START)
        fprintf(w->file, "%d %d DM_START \n", x, y);
    else
        fail(w, 16, "no handler to save item kind %02Xh", it->kind);
}

void write_object(map_writer *w, const object *o) {
    if (w->code) return;
    const int32_t x = pixels(o->x), y = pixels(o->y);
    switch (o->kind) {
    case OBJ_WIPE:
        break;
    case OBJ_WALL:
        fprintf(w->file, "%d %d WALL %s\n", x, y, picture_name(w, o));
        break;
    case OBJ_DECORATION:
        fprintf(w->file, "%d %d DECORATION %s\n", x, y, picture_name(w, o));
        break;
    case OBJ_LADDER:
        fprintf(w->file, "%d %d LADDER %s\n", x, y, picture_name(w, o));
        break;
    case OBJ_PLATFORM:
        fprintf(w->file, "%d %d PLATFORM %d %d %s\n", x, y, o->vx, o->vy, picture_name(w, o));
        break;
    case OBJ_TRIGGER:
        write_trigger(w, o);
        break;
    case OBJ_ITEM:
        write_item(w, o);
        break;
    default:
        fail(w, 16, "can not save object of type %02X (%d)h", o->kind, o->kind);
    }
}

}  // namespace

int write_map(const char *path, char *error, int error_size) {
    map_writer w;
    w.temp = std::string(path) + ".tmp";
    w.code = 0;
    w.file = fopen(w.temp.c_str(), "w");
    if (!w.file) {
        snprintf(error, (size_t)error_size, "error opening file \"%s\" for writing", w.temp.c_str());
        return 3;
    }

    fprintf(w.file, "%d %d %s\n", pixels(map_width), pixels(map_height), map_background_name);
    fprintf(w.file, "%s\n", map_music_name);
    fprintf(w.file, "%s\n\n", map_status_name);
    // The loader reverses the file's order, so the list is written from
    // its end to give the file back in its own order.
    list_node *last = object_list;
    while (last && last->next) last = last->next;
    for (list_node *n = last; n; n = n->previous) write_object(&w, static_cast<const object *>(n->element));
    fputs(" \n", w.file);

    // Only a file that reached the disk whole replaces the old one.
    bool written = !ferror(w.file) && fflush(w.file) == 0 && fsync(fileno(w.file)) == 0;
    written = fclose(w.file) == 0 && written;
    if (!w.code && (!written || rename(w.temp.c_str(), path) != 0)) fail(&w, 3, "error writing file \"%s\"", path);
    if (w.code) {
        remove(w.temp.c_str());
        snprintf(error, (size_t)error_size, "%s", w.error);
    }
    return w.code;
}

void save_map(const char *path) {
    char error[256];
    if (int code = write_map(path, error, sizeof error)) sys_exit(code, "%s", error);
}
