// The game loop and its frame timing.
#include "game/game_loop.h"

#include "core/events.h"
#include "frame/config.h"
#include "frame/log.h"
#include "game/view_draw.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/video.h"
#include "net/net.h"
#include "sim/player.h"
#include "sound/sound.h"

double screen_fps = 0.0;
uint32_t (*loop_clock)() = sys_ticks;
void (*loop_view_update)() = refresh_next_view;

namespace {

// Input taken after every logical step, paused or not.
void take_events(loop_state *s) {
    events_poll();
    net_receive(0);
    event e;
    while (event_get(&e)) {
        if (e.type == EV_KEY_DOWN) {
            if (e.key == KEY_ESCAPE)
                s->quit = true;
            else if (e.key == KEY_PAUSE)
                s->paused = !s->paused;
            else if (e.key == KEY_PRINT_SCREEN)
                save_screenshot();
            else
                key_event(e.key, 1, s->turn.filling);
        } else if (e.type == EV_KEY_UP) {
            key_event(e.key, 0, s->turn.filling);
        }
    }
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
    net_turn = {net_wait_turn, net_send_controls, net_begin_turn};
    logic_begin(&s->turn, config.net_control_interval, config.net_control_send_time);
    music_play(1);
    s->start_time = s->fps_window_start = loop_clock();
}

void loop_logic_steps(loop_state *s) {
    // A run of catch-up steps is finished before the quit flag is looked at.
    while (s->lag >= LOGIC_STEP_MS) {
        uint32_t noted = loop_clock();
        // The wait for other computers is not game time. Unsigned sums wrap
        // and unwrap: the step's own duration, added below, includes it.
        if (!s->paused) s->lag -= logic_step(&s->turn);
        take_events(s);
        s->lag -= LOGIC_STEP_MS;
        s->lag += loop_clock() - noted;
    }
}

void loop_view_update_step(loop_state *s) {
    uint32_t noted = loop_clock();
    loop_view_update();
    s->view_updates++;
    uint32_t took = loop_clock() - noted;
    s->lag += took;
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
