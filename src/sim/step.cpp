// The logical step.
#include "sim/step.h"

#include "sim/control.h"
#include "sim/player.h"
#include "sim/tick.h"
#include "sim/view.h"

int32_t logic_frame = 0;
turn_link net_turn = {nullptr, nullptr, nullptr};

void logic_begin(turn_state *t, int32_t interval, int32_t send_time) {
    for (int i = 0; i < VIEW_SLOTS; i++)
        if (view_in_use(i)) respawn(&views[i]);
    logic_frame = 0;
    t->interval = interval;
    t->send_time = send_time;
    t->countdown = interval;
    t->applied = 0;
    t->filling = 0;
    t->other = 1;
    if (net_turn.begin_turn) net_turn.begin_turn(0, logic_frame + interval);
}

uint32_t logic_step(turn_state *t) {
    uint32_t waited = 0;
    if (t->countdown == 0) {
        if (net_turn.wait_turn) waited = net_turn.wait_turn();
        run_commands(t->applied);
        t->applied = t->filling;
        if (net_turn.begin_turn) net_turn.begin_turn(t->applied, logic_frame + t->interval);
        t->countdown = t->interval;
    }
    if (t->countdown == t->send_time) {
        if (net_turn.send_controls) net_turn.send_controls(t->filling);
        int32_t filled = t->filling;
        t->filling = t->other;
        t->other = filled;
    }
    world_tick();
    views_tick();
    creatures_tick();
    logic_frame++;
    t->countdown--;
    return waited;
}
