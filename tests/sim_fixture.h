// Shared set-up of the simulation tests: a loaded world, a fixed random
// table, boxes added by hand, control events and logical frames.
#pragma once
#include <string>
#include <vector>

#include "sim/control.h"
#include "sim/missile.h"
#include "sim/player.h"
#include "sim/random.h"
#include "sim/step.h"
#include "sim/tick.h"
#include "world_fixture.h"

constexpr int32_t PX = FIXED_ONE;

struct sim_env : world_env {
    turn_state turn{};
    sim_env() {
        write_world_data();
        save_box("floor.png", 400, 16);
        logic_frame = 0;
        last_dm_start = 0;
        random_index = 0;
        for (int i = 0; i < RANDOM_TABLE_SIZE; i++) random_table[i] = (uint16_t)(i * 40503u);
    }
    // Loads a map of `lines` with players 0 to n - 1 where it puts them.
    void load(const std::vector<std::string> &lines, int players = 1) {
        write_file("m.fenda", map_text(lines));
        this->players(players);
        load_map("m.fenda");
        logic_begin(&turn, 1, 1);
    }
    creature *player(int i) { return views[i].creature; }
    object *body(int i) { return views[i].creature->body; }
    // A bare object of `kind` in pixels; walls enter the grid at once.
    object *add(int32_t kind, int x, int y, int w, int h) {
        object *o = create_object(nullptr);
        o->kind = kind;
        o->x = x * PX;
        o->y = y * PX;
        o->w = w * PX;
        o->h = h * PX;
        if (kind == OBJ_WALL) {
            o->frozen = 1;
            grid_add_fixed(o);
        }
        if (kind == OBJ_ITEM || kind == OBJ_MONSTER) o->weightless = 0;
        return o;
    }
    // Enters every object in the per-tick grid lists, as a tick begins.
    void enter_all() {
        grid_clear_per_tick();
        for (list_node *n = object_list; n; n = n->next) grid_add_per_tick(static_cast<object *>(n->element));
    }
    // Control events applied at once, as a turn end applies its set.
    void events(int p, std::initializer_list<int32_t> list) {
        for (int32_t e : list) control_append(&player(p)->queues[0], e, logic_frame);
        run_command_ring(player(p), 0);
    }
    // Logical frames without the turn bookkeeping.
    void step(int n = 1) {
        for (int i = 0; i < n; i++) {
            world_tick();
            views_tick();
            creatures_tick();
            logic_frame++;
        }
    }
};

inline size_t list_length(list_node *l) {
    size_t n = 0;
    for (; l; l = l->next) n++;
    return n;
}
