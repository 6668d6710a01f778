// Keys, command sets, the views' tick and respawning.
#include "sim/player.h"

#include "frame/sys.h"
#include "sim/control.h"
#include "sim/creature.h"
#include "sim/random.h"
#include "sim/step.h"
#include "world/map_load.h"

int32_t last_dm_start = 0;

void queue_key_commands(view *v, int32_t key, int pressed, int set) {
    for (int32_t control = 0; control < VIEW_CONTROLS; control++)
        if (v->keys[control] == key)
            control_append(&v->creature->queues[set], control + (pressed ? 0 : CONTROL_RELEASE),
                           logic_frame);
}

void key_event(int32_t key, int pressed, int set) {
    for (int i = 0; i < VIEW_SLOTS; i++)
        if (view_in_use(i) && !views[i].remote) queue_key_commands(&views[i], key, pressed, set);
}

void run_commands(int set) {
    for (int i = 0; i < VIEW_SLOTS; i++)
        if (view_in_use(i)) run_command_ring(views[i].creature, set);
}

void views_tick() {
    for (int i = 0; i < VIEW_SLOTS; i++) {
        if (!view_in_use(i)) continue;
        view &v = views[i];
        creature *c = v.creature;
        if (c->state == CREATURE_DEAD && c->jump)
            respawn(&v);
        else if (c->state == CREATURE_DYING)
            c->jump = c->jump_held = 0;  // a jump during the death does not count
        if (c->look == 0) {
            if (v.look_offset > LOOK_STEP)
                v.look_offset -= LOOK_STEP;
            else if (v.look_offset < -LOOK_STEP)
                v.look_offset += LOOK_STEP;
            else
                v.look_offset = 0;
        } else if (c->look == 1) {
            if (v.look_offset < LOOK_UP_MAX) v.look_offset += LOOK_STEP;
        } else if (c->look == 2) {
            if (v.look_offset > LOOK_DOWN_MIN) v.look_offset -= LOOK_STEP;
        }
    }
}

void respawn(view *v) {
    creature *c = v->creature;
    reset_creature(c);
    v->panel_dirty = 1;
    v->look_offset = 0;
    if (!c->keep_position) choose_start(v);
    c->keep_position = 0;
}

void choose_start(view *v) {
    if (dm_start_count < 2) sys_exit(16, "There should be at least two DM_START objects in level");
    int32_t start = draw((uint16_t)dm_start_count);
    // A table that keeps giving the same start for a whole round of draws
    // can never give another: then the next start in order is taken.
    for (int tries = 1; start == last_dm_start; tries++)
        start = tries < RANDOM_TABLE_SIZE ? draw((uint16_t)dm_start_count) : (last_dm_start + 1) % dm_start_count;
    last_dm_start = start;
    v->creature->body->x = dm_starts[start].x;
    v->creature->body->y = dm_starts[start].y;
}
