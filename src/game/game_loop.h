// The game loop: logical steps of 10 ms as real time asks for them, one
// view update between them, input, pause and screenshots, and the timing
// statistics written to the log when the player leaves with Escape.
#pragma once
#include <cstdint>

#include "sim/step.h"

enum {
    LOGIC_STEP_MS = 10,
    FPS_WINDOW_MS = 1000,
    KEY_ESCAPE = 27,
    KEY_PAUSE = 112,         // "p"
    KEY_PRINT_SCREEN = 316,
    KEY_FAST = 102,          // "f", while a replay is watched
    KEY_STEP = 46            // ".", while a watched replay is paused
};

// The display rate shown in every view, refreshed about once a second
// (two view updates count as one screen frame).
extern double screen_fps;

// The loop's clock and its view update. The game uses sys_ticks and
// refresh_next_view; tests put a simulated clock or display here.
extern uint32_t (*loop_clock)();
extern void (*loop_view_update)();

// One run of the loop.
struct loop_state {
    uint32_t lag;             // real milliseconds not yet simulated
    bool quit;
    bool paused;
    bool fast;                // a watched replay runs four times faster
    int32_t steps;            // logical steps a paused replay still runs, one a pass
    bool replay_ended;        // a watched replay has reached its end
    turn_state turn;          // the control countdown and the three set indices
    uint32_t view_updates;
    uint32_t view_update_ms;  // total time spent in view updates
    uint32_t start_time;
    uint32_t fps_window_start;
    uint32_t fps_window_count;
};

// Before the first frame: the settings line, a black screen, every player
// at its start, logic_frame 0 and the first turn, the music, the clocks.
void loop_begin(loop_state *s);
// The logical steps that the lag asks for, each followed by input.
void loop_logic_steps(loop_state *s);
// One view update, and the frames-per-second window.
void loop_view_update_step(loop_state *s);
// The four statistics lines.
void loop_report(const loop_state *s);
// Runs the game until Escape.
void game_loop();
