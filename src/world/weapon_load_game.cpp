// The game's weapon set-up: the weapon table and the missile and explosion
// definitions filled from the ".missle" files, with their pictures and
// sounds.
#include "world/weapon.h"

#include <cstdint>

#include "core/files.h"
#include "core/realm.h"
#include "frame/sys.h"
#include "gfx/bitmap.h"
#include "sound/sound.h"
#include "world/text_read.h"

namespace {

// A picture of a description line, with its drawing offsets.
sprite *read_offset_picture(text_file *f, const char *name, int tag) {
    char field[DESCRIPTION_FIELD_MAX + 1];
    text_require_name(f, name, "picture");
    sprite *s = load_sprite(name, tag);
    read_word(f, field);
    s->dx = (int16_t)text_number_in(f, field, INT16_MIN, INT16_MAX, "drawing offset");
    read_word(f, field);
    s->dy = (int16_t)text_number_in(f, field, INT16_MIN, INT16_MAX, "drawing offset");
    return s;
}

void clear_directions(missile_definition *m) {
    for (missile_direction &d : m->directions) d = {nullptr, 0, 0};
}

// A weapon slot that fires missile `type`, whose missile and explosion
// definitions come from the ".missle" file.
void missile_weapon(int slot, int16_t fire_delay, int16_t type, const char *file_name, const char *picture,
                    int16_t pickup_sound) {
    weapons[slot].fire_delay = fire_delay;
    weapons[slot].missile_type = type;
    load_missile_file(&missile_definitions[type], &explosion_definitions[type], file_name);
    missile_definitions[type].type = type;
    missile_definitions[type].explosion_kind = type;
    weapons[slot].pickup_sound = pickup_sound;
    weapons[slot].picture = load_sprite(picture, RMT_RESIDENT);
}

}  // namespace

void load_missile_file(missile_definition *m, explosion_definition *e, const char *file_name) {
    char field[DESCRIPTION_FIELD_MAX + 1];
    text_file f = text_open(file_name, DESCRIPTION_FIELD_MAX, 1);
    for (int d = 0; d < DIRECTIONS; d++, f.line++) {
        read_word(&f, field);
        m->directions[d].picture = read_offset_picture(&f, field, RMT_RESIDENT);
        read_word(&f, field);
        m->directions[d].vx = text_number(field);
        read_rest(&f, field);
        m->directions[d].vy = text_number(field);
    }
    read_rest(&f, field);
    m->fire_sound = sound_load(field);
    f.line++;
    read_rest(&f, field);
    e->sound = sound_load(field);
    f.line++;
    int frames = 0;
    for (;; f.line++) {
        read_word(&f, field);
        if (!field[0]) break;
        // The definition holds a fixed number of frames; a longer animation
        // is refused rather than cut without a word.
        if (frames == EXPLOSION_FRAMES)
            sys_exit(16, "too many explosion frames in file \"%s\" line %d (at most %d)",
                     fs_name(f.handle), f.line, EXPLOSION_FRAMES);
        e->frames[frames].picture = read_offset_picture(&f, field, RMT_RESIDENT);
        read_rest(&f, field);
        // An animation advances when a frame's count runs out; a frame of
        // less than one tick would never start the next one in time.
        e->frames[frames].ticks = text_number_in(&f, field, 1, INT32_MAX, "frame duration");
        frames++;
    }
    e->frame_count = frames;
    text_close(&f);
}

void weapon_setup() {
    int16_t pickup = sound_load("weapon.wav");

    weapons[0] = {0, 0, SOUND_NONE, nullptr};

    missile_weapon(1, 20, 0, "plasma.missle", "plasmabolt.png", pickup);
    missile_weapon(2, 80, 1, "rocket.missle", "rocket_launcher.png", pickup);

    missile_definition &shot = missile_definitions[2];
    clear_directions(&shot);
    shot.fire_sound = sound_load("shot.wav");
    explosion_definitions[2].sound = SOUND_NONE;
    explosion_definitions[2].frame_count = 0;
    shot.type = 2;
    shot.explosion_kind = 2;
    weapons[3] = {60, 2, pickup, load_sprite("shotgun.png", RMT_RESIDENT)};
    pellet_missile.body = &pellet;
    pellet_missile.definition = &shot;

    missile_definition &unused = missile_definitions[3];
    clear_directions(&unused);
    unused.type = 3;
    unused.explosion_kind = 3;
    unused.fire_sound = SOUND_NONE;
    weapons[4] = {30, 3, SOUND_NONE, nullptr};

    const char *const spark_names[SPARK_PICTURES] = {"spark.png", "spark_3.png", "shell_spark.png"};
    for (int i = 0; i < SPARK_PICTURES; i++) spark_pictures[i] = load_sprite(spark_names[i], RMT_RESIDENT);
}
