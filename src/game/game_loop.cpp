// The game loop and its frame timing.
#include "game/game_loop.h"

#include "core/events.h"
#include "frame/config.h"
#include "frame/log.h"
#include "game/recording.h"
#include "game/view_draw.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/video.h"
#include "net/net.h"
#include "sim/player.h"
#include "sim/state_hash.h"
#include "sound/sound.h"

double screen_fps = 0.0;
uint32_t (*loop_clock)() = sys_ticks;
void (*loop_view_update)() = refresh_next_view;

namespace {

loop_state *running = nullptr;

// The turn's end: the other computers' sets, then the set to be applied is
// recorded, or, while a replay is watched, taken from the replay.
uint32_t turn_end() {
    uint32_t waited = net_wait_turn();
    if (replay_watching)
        watch_turn_end(&running->turn);
    else
        record_turn_end(&running->turn);
    return waited;
}

void note_pause(const loop_state *s) {
    if (s->paused) log_write(LOG_NOTE, "paused at logical frame %d", (int)logic_frame);
}

// Keys of a watched replay: the players' keys do nothing; "f" runs four
// times faster while held, "." steps one logical frame while paused (the
// pause's log line comes when the steps asked for are done).
void watch_key(loop_state *s, int32_t key, bool down) {
    if (key == KEY_FAST) s->fast = down;
    if (key == KEY_STEP && down && s->paused) s->steps++;
}

// Input taken after every logical step, paused or not.
void take_events(loop_state *s) {
    events_poll();
    net_receive(0);
    event e;
    while (event_get(&e)) {
        if (e.type == EV_KEY_DOWN) {
            if (e.key == KEY_ESCAPE) {
                s->quit = true;
            } else if (e.key == KEY_PAUSE) {
                s->paused = !s->paused;
                note_pause(s);
            } else if (e.key == KEY_PRINT_SCREEN) {
                save_screenshot();
            } else if (replay_watching) {
                watch_key(s, e.key, true);
            } else {
                key_event(e.key, 1, s->turn.filling);
            }
        } else if (e.type == EV_KEY_UP) {
            if (replay_watching)
                watch_key(s, e.key, false);
            else
                key_event(e.key, 0, s->turn.filling);
        }
    }
}

// Real time spent, as game time: four times as much while a replay runs fast.
void add_time(loop_state *s, uint32_t ms) { s->lag += s->fast ? 4 * ms : ms; }

// A watched replay stops at its end, and says whether it came out right.
bool at_replay_end(loop_state *s) {
    if (!replay_watching || logic_frame < watched.end_frame) return false;
    if (!s->replay_ended) {
        s->replay_ended = true;
        uint64_t digest = world_hash();
        log_write(LOG_NOTE, "replay %s at frame %d", digest == watched.end_digest ? "verified" : "differs",
                  (int)logic_frame);
        log_end_digest(logic_frame, digest);
    }
    return true;
}

double per(double amount, uint32_t count) { return count ? amount / count : 0.0; }

}  // namespace

void loop_begin(loop_state *s) {
    log_write(LOG_INFO, "net_packet_interval = %d, net_control_interval = %d, net_control_send_time = %d",
              config.net_packet_interval, config.net_control_interval, config.net_control_send_time);
    clear_screen();
    update_screen();
    set_colour(0, 0, 0);
    *s = loop_state{};
    running = s;
    net_turn = {turn_end, net_send_controls, net_begin_turn};
    logic_begin(&s->turn, config.net_control_interval, config.net_control_send_time);
    if (!replay_watching) record_start(&s->turn, "testmap.fenda", REPLAY_FILE);
    music_play(1);
    s->start_time = s->fps_window_start = loop_clock();
}

void loop_logic_steps(loop_state *s) {
    // A run of catch-up steps is finished before the quit flag is looked at.
    while (s->lag >= LOGIC_STEP_MS) {
        uint32_t noted = loop_clock();
        // The wait for other computers is not game time. Unsigned sums wrap
        // and unwrap: the step's own duration, added below, includes it.
        if ((!s->paused || s->steps) && !at_replay_end(s)) {
            s->lag -= logic_step(&s->turn);
            if (s->steps && !--s->steps) note_pause(s);
        }
        take_events(s);
        s->lag -= LOGIC_STEP_MS;
        add_time(s, loop_clock() - noted);
    }
}

void loop_view_update_step(loop_state *s) {
    uint32_t noted = loop_clock();
    loop_view_update();
    s->view_updates++;
    uint32_t took = loop_clock() - noted;
    add_time(s, took);
    s->view_update_ms += took;

    uint32_t now = loop_clock();
    if (now - s->fps_window_start >= FPS_WINDOW_MS) {
        screen_fps = s->fps_window_count * 500.0 / (now - s->fps_window_start);
        s->fps_window_start = now;
        s->fps_window_count = 1;
    } else {
        s->fps_window_count++;
    }
}

void loop_report(const loop_state *s) {
    uint32_t elapsed = loop_clock() - s->start_time;
    uint32_t u = s->view_updates;
    log_write(LOG_NOTE, "blit - total %dms (~%.2fms)", (int)s->view_update_ms, per(s->view_update_ms, u));
    log_write(LOG_NOTE, "sys_draw_bitmap - total %dms (~%.2fms)", (int)draw_bitmap_ms, per(draw_bitmap_ms, u));
    log_write(LOG_NOTE, "%d logical frames in %d seconds (%.2ffps)", (int)logic_frame, (int)(elapsed / 1000),
              per(logic_frame * 1000.0, elapsed));
    log_write(LOG_NOTE, "%d screen frames in %d seconds (%.2ffps ~%.2fms [one ~%.2fms])", (int)(u / 2),
              (int)(elapsed / 1000), per(u * 500.0, elapsed), per(2.0 * elapsed, u), per(elapsed, u));
    net_report();
    record_finish();
}

void game_loop() {
    loop_state s;
    loop_begin(&s);
    while (!s.quit) {
        loop_logic_steps(&s);
        loop_view_update_step(&s);
    }
    loop_report(&s);
}
