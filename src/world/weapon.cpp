// Weapon table, ".missle" files and the direction tables.
#include "world/weapon.h"

#include "core/files.h"
#include "core/realm.h"
#include "frame/sys.h"
#include "gfx/bitmap.h"
#include "sound/sound.h"
#include "world/text_read.h"

weapon_entry weapons[WEAPON_SLOTS];
missile_definition missile_definitions[MISSILE_TYPES];
explosion_definition explosion_definitions[EXPLOSION_KINDS];
sprite *spark_pictures[SPARK_PICTURES];

object pellet;
missile pellet_missile;
object blast_probe;

list_node *missile_list = nullptr;
list_node *explosion_list = nullptr;
list_node *spark_list = nullptr;

// The numbers are shipped as constants so that no library's cos or sin can
// change the game; a test recomputes them from their radius and angle.
// Rays: radius 140000, start angle 0 (ray 0 right, ray 8 straight up).
const velocity blast_rays[BLAST_RAYS] = {
    {140000, 0}, {137309, 27312}, {129343, 53575}, {116405, 77779},
    {98994, 98994}, {77779, 116405}, {53575, 129343}, {27312, 137309},
    {0, 140000}, {-27312, 137309}, {-53575, 129343}, {-77779, 116405},
    {-98994, 98994}, {-116405, 77779}, {-129343, 53575}, {-137309, 27312},
    {-140000, 0}, {-137309, -27312}, {-129343, -53575}, {-116405, -77779},
    {-98994, -98994}, {-77779, -116405}, {-53575, -129343}, {-27312, -137309},
    {0, -140000}, {27312, -137309}, {53575, -129343}, {77779, -116405},
    {98994, -98994}, {116405, -77779}, {129343, -53575}, {137309, -27312},
};

// Plasma sparks: (140000, 0.03), (130000, 0.35), (137000, pi / 8).
const velocity plasma_sparks[SPARK_PATTERNS][PLASMA_SPARKS] = {
    {{139937, 4199}, {115452, 79188}, {54312, 129035}, {-24071, 137915},
     {-94812, 103007}, {-135451, 35395}, {-133085, -43454}, {-88465, -108507},
     {-15758, -139110}, {61951, -125546}, {119992, -72122}},
    {{122118, 44576}, {78632, 103522}, {10181, 129600}, {-61502, 114531},
     {-113659, 63099}, {-129730, -8366}, {-104613, -77175}, {-46281, -121482},
     {26743, -127219}, {91278, -92565}, {126832, -28521}},
    {{126571, 52427}, {78134, 112534}, {4889, 136912}, {-69906, 117821},
     {-122508, 61323}, {-136215, -14644}, {-106673, -85963}, {-43264, -129989},
     {33880, -132744}, {100269, -93354}, {134823, -24324}},
};

// Shell sparks: (140000, 0.07), (130000, 0.35), (120000, pi / 11).
const velocity shell_sparks[SPARK_PATTERNS][SHELL_SPARKS] = {
    {{139657, 9791}, {79419, 115293}, {-40623, 133976}, {-130075, 51772},
     {-121578, -69417}, {-21530, -138334}, {94730, -103083}},
    {{122118, 44576}, {41288, 123269}, {-70632, 109137}, {-129366, 12822},
     {-90683, -93147}, {16285, -128975}, {110991, -67682}},
    {{115139, 33807}, {45356, 111098}, {-58581, 104729}, {-118405, 19497},
     {-89068, -80416}, {7339, -119775}, {98220, -68940}},
};

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

    weapons[1].fire_delay = 20;
    weapons[1].missile_type = 0;
    load_missile_file(&missile_definitions[0], &explosion_definitions[0], "plasma.missle");
    missile_definitions[0].type = 0;
    missile_definitions[0].explosion_kind = 0;
    weapons[1].pickup_sound = pickup;
    weapons[1].picture = load_sprite("plasmabolt.png", RMT_RESIDENT);

    weapons[2].fire_delay = 80;
    weapons[2].missile_type = 1;
    load_missile_file(&missile_definitions[1], &explosion_definitions[1], "rocket.missle");
    missile_definitions[1].type = 1;
    missile_definitions[1].explosion_kind = 1;
    weapons[2].pickup_sound = pickup;
    weapons[2].picture = load_sprite("rocket_launcher.png", RMT_RESIDENT);

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
