// Creature descriptions (".monster" files), reset and start of creatures.
#include <climits>

#include "core/realm.h"
#include "frame/sys.h"
#include "gfx/bitmap.h"
#include "sim/creature.h"
#include "sim/view.h"
#include "sound/sound.h"
#include "world/text_read.h"
#include "world/weapon.h"

int16_t next_monster_id = FIRST_MONSTER_ID;

namespace {

// Positions and sizes in pixels that must still fit 16.16.
constexpr int32_t PIXELS_MIN = INT16_MIN, PIXELS_MAX = INT16_MAX;

int32_t read_line_number(text_file *f, int32_t lo, int32_t hi, const char *what) {
    char field[DESCRIPTION_FIELD_MAX + 1];
    read_rest(f, field);
    int32_t value = text_number_in(f, field, lo, hi, what);
    f->line++;
    return value;
}

}  // namespace

void load_monster(creature *c, const char *file_name) {
    char field[DESCRIPTION_FIELD_MAX + 1];
    text_file f = text_open(file_name, DESCRIPTION_FIELD_MAX, 1);
    int32_t width = read_line_number(&f, 1, PIXELS_MAX, "body width");
    int32_t height = read_line_number(&f, 1, PIXELS_MAX, "body height");
    if (c->body) {
        c->body->w = width * FIXED_ONE;
        c->body->h = height * FIXED_ONE;
    }
    for (int i = 0; i < CREATURE_FRAMES; i++, f.line++) {
        read_word(&f, field);
        text_require_name(&f, field, "picture");
        sprite *s = load_sprite(field, RMT_GAME);
        read_word(&f, field);
        s->dx = (int16_t)text_number_in(&f, field, INT16_MIN, INT16_MAX, "drawing offset");
        read_word(&f, field);
        s->dy = (int16_t)text_number_in(&f, field, INT16_MIN, INT16_MAX, "drawing offset");
        read_rest(&f, field);
        c->frames[i].picture = s;
        // Animations advance when a frame's count reaches exactly 0, and a
        // turn lasts frame 11's duration: a frame shorter than one tick
        // would never end.
        c->frames[i].ticks = text_number_in(&f, field, 1, INT32_MAX, "frame duration");
    }
    read_rest(&f, field);
    c->death_sound = sound_load(field);
    f.line++;
    for (int32_t &m : c->muzzle_y) m = read_line_number(&f, PIXELS_MIN, PIXELS_MAX, "muzzle height") * FIXED_ONE;
    c->walk_speed = read_line_number(&f, INT32_MIN, INT32_MAX, "walk speed");
    c->jump_speed = read_line_number(&f, INT32_MIN, INT32_MAX, "jump speed");
    c->max_health = (int16_t)read_line_number(&f, 1, INT16_MAX, "maximum health");
    text_close(&f);
}

void reset_creature(creature *c) {
    c->state = CREATURE_ALIVE;
    c->facing = 0;
    c->look = 0;
    c->frame = FRAME_STAND_RIGHT;
    c->frame_left = c->frames[FRAME_STAND_RIGHT].ticks;
    c->jump = c->fire = 0;
    c->left_held = c->right_held = 0;
    c->moving_left = c->moving_right = 0;
    c->look_up = c->look_down = 0;
    c->turning = c->turn_left = 0;
    c->firing_anim = 0;
    // The command rings are left as they are: they hold the sets of turns
    // still under way, whose contents at this frame depend on when keys
    // were taken and datagrams arrived, so emptying them here would make
    // the computers of a network game apply different commands.
    if (object *b = c->body) {
        b->kind = OBJ_MONSTER;
        b->sprite = c->frames[FRAME_STAND_RIGHT].picture;
        b->hit_side = b->hit_vertical = 0;
        b->vx = b->vy = 0;
        b->push_x = b->fall_v = 0;
        b->carry_x = b->carry_y = 0;
        b->frozen = 0;
        b->weightless = 0;
    }
    for (weapon_slot &w : c->weapons) w = {0, 0};
    c->weapons[0].owned = 1;
    c->weapon = 0;
    c->cooldown = 0;
    c->health = c->max_health;
    c->event_count = 0;
}

void start_creatures() {
    list_node *last = nullptr;
    for (list_node *n = creature_list; n; n = n->next) {
        reset_creature(static_cast<creature *>(n->element));
        last = n;
    }
    for (int i = 0; i < VIEW_SLOTS; i++) {
        if (!view_in_use(i)) continue;
        if (last)
            last = list_insert_after(last, views[i].creature, RMT_GAME);
        else
            last = list_add(&creature_list, views[i].creature, RMT_GAME);
    }
}
