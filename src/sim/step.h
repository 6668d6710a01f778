// The logical step: one 10 ms frame of the game as the game loop and the
// headless driver both run it. At the end of a control turn the collected
// set of commands is applied; at the turn's send frame the set being filled
// is handed on and the keys go on into a fresh set; then the world, the
// views and the creatures advance and the frame is counted.
#pragma once
#include <cstdint>

// Logical frames since the game loop began; the game's clock.
extern int32_t logic_frame;

// What a network game does at the turn's edges. Left empty, the game is
// local: nothing is waited for or sent, and every set is applied here. The
// game loop fills it with the network's turn calls.
struct turn_link {
    // Waits until every computer holds every set of the turn; returns the
    // milliseconds worth taking off the game loop's lag.
    uint32_t (*wait_turn)();
    // Sends the local players' commands of `set`.
    void (*send_controls)(int set);
    // Commands arriving from now on go into `set`, stamped `stamp`.
    void (*begin_turn)(int set, int32_t stamp);
};
extern turn_link net_turn;

// The loop's control-set bookkeeping.
struct turn_state {
    int32_t interval;   // logical frames per turn
    int32_t send_time;  // countdown value at which the filling set is sent
    int32_t countdown;  // frames until the turn ends
    int32_t applied;    // the set applied last
    int32_t filling;    // the set the local keys go into
    int32_t other;
};

// Before the first frame: every player in use respawns, the clock starts at
// 0 and the first turn opens with set 0.
void logic_begin(turn_state *t, int32_t interval, int32_t send_time);
// One logical step; returns the milliseconds spent waiting for other computers.
uint32_t logic_step(turn_state *t);
