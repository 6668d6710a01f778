// The main menu and the set-up of a game.
#include "game/menu.h"

#include <SDL/SDL_keysym.h>
#include <SDL/SDL_timer.h>

#include <cstring>

#include "core/events.h"
#include "core/realm.h"
#include "frame/config.h"
#include "frame/sys.h"
#include "frame/version.h"
#include "game/game_loop.h"
#include "game/recording.h"
#include "game/view_draw.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/video.h"
#include "net/net.h"
#include "sim/creature.h"
#include "world/map_load.h"

// Controls in order: move left, move right, look up, look down, jump, fire,
// previous weapon, next weapon.
const int32_t view_key_bindings[VIEW_SLOTS][VIEW_CONTROLS] = {
    {SDLK_KP4, SDLK_KP6, SDLK_KP8, SDLK_KP2, SDLK_KP0, SDLK_KP5, SDLK_KP7, SDLK_KP9},
    {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_RSHIFT, SDLK_RCTRL, SDLK_COMMA, SDLK_PERIOD},
    {SDLK_a, SDLK_d, SDLK_w, SDLK_s, SDLK_v, SDLK_c, SDLK_q, SDLK_e},
    {SDLK_h, SDLK_k, SDLK_u, SDLK_j, SDLK_l, SDLK_o, SDLK_y, SDLK_i},
};

char startup_notes[STARTUP_NOTES_MAX + 1] = "";

void startup_note(const char *text) {
    size_t used = strlen(startup_notes);
    if (used && used < STARTUP_NOTES_MAX) startup_notes[used++] = '\n';
    size_t room = STARTUP_NOTES_MAX - used;
    strncpy(startup_notes + used, text, room);
    startup_notes[STARTUP_NOTES_MAX] = 0;
}

namespace {

// Draws text that may hold several lines, one under the other.
void draw_lines(bitmap *dest, int x, int y, const char *text) {
    char line[STARTUP_NOTES_MAX + 1];
    while (*text) {
        size_t n = strcspn(text, "\n");
        memcpy(line, text, n);
        line[n] = 0;
        draw_text(dest, 0, x, y, line);
        y += font_height(0);
        text += n;
        if (*text == '\n') text++;
    }
}

void run_local_game_setup(int players) {
    config.net_control_interval = 1;
    config.net_control_send_time = 1;
    for (int i = 0; i < players; i++) init_view(i);
    show_start_picture();
    load_map("testmap.fenda");
}

}  // namespace

void draw_menu_texts(bitmap *picture) {
    set_colour(153, 207, 232);
    draw_text(picture, 0, 195, 90, VERSION_SHORT);
    set_colour(224, 160, 224);
    draw_text(picture, 0, 105, 170, "2: two players at single computer");
    draw_text(picture, 0, 105, 190, "S: Network server (1 local player)");
    draw_textf(picture, 0, 105, 210, "C: Connect to %s (1 local player)", config.server);
    draw_text(picture, 0, 75, 240, "Alt-Enter at any time to toggle fullscreen mode");
    set_colour(192, 16, 16);
    draw_lines(picture, 85, 300, startup_notes);
}

void menu_take_events(menu_choice *choice) {
    event e;
    while (event_get(&e)) {
        if (e.type == EV_KEY_DOWN && e.key == KEY_ESCAPE)
            sys_exit(0, "Invalid user - replace and strike any key");
        if (e.type != EV_KEY_UP) continue;
        if (e.key >= '1' && e.key <= '4')
            *choice = {e.key - '0', false, false, true};
        else if (e.key == 's')
            *choice = {1, true, true, true};
        else if (e.key == 'c')
            *choice = {1, true, false, true};
        else if (e.key == 'r' && replay_exists())
            *choice = {1, false, false, true, true};
        else if (e.key == 'r')
            choice->no_replay = true;
    }
}

void set_game_display(int players) {
    int width = players > 2 ? (int)WIDE_SCREEN_WIDTH : (int)GAME_SCREEN_WIDTH;
    if (width == screen_width) return;
    video_reset_mode(width, GAME_SCREEN_HEIGHT);
    video_log_mode("video mode change");
    // The back buffer is always as large as the display.
    free_bitmap(&back_buffer);
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    clear_screen();
    update_screen();
}

void make_player_records() {
    for (int i = 0; i < VIEW_SLOTS; i++) {
        auto *c = static_cast<creature *>(ralloc(RMT_GAME, CREATURE_RECORD_SIZE));
        memset(c, 0, CREATURE_RECORD_SIZE);
        c->state = CREATURE_OUT;
        c->body = nullptr;
        c->view = &views[i];
        views[i].creature = c;
    }
}

void bind_view_keys() {
    for (int i = 0; i < VIEW_SLOTS; i++)
        memcpy(views[i].keys, view_key_bindings[i], sizeof views[i].keys);
}

void place_views() {
    for (int i = 0; i < VIEW_SLOTS; i++) {
        view &v = views[i];
        int dx = i >= 2 ? VIEW_COLUMN_OFFSET : 0;
        int dy = i % 2 ? VIEW_ROW_OFFSET : 0;
        v.screen_x += dx;
        v.panel_x += dx;
        v.screen_y += dy;
        v.panel_y += dy;
    }
}

void main_menu(int, char **) {
    video_mode_changed_hook = request_panel_redraw_all;
    bitmap picture;
    load_bitmap(&picture, "menu.png", RMT_PICTURE);
    draw_menu_texts(&picture);
    show_bitmap(&picture, MENU_X, MENU_Y);

    menu_choice choice = {1, false, true, false};
    while (!choice.made) {
        events_poll();
        menu_take_events(&choice);
        if (choice.no_replay) {
            set_colour(192, 16, 16);
            draw_text(&back_buffer, 0, MENU_X + 85, MENU_Y + 280, "No replay yet: play a game first.");
            update_screen();
            choice.no_replay = false;
        }
        // Nothing moves in the menu: a short rest between polls leaves the
        // processor to others without delaying the choice noticeably.
        if (!choice.made) SDL_Delay(10);
    }
    free_bitmap(&picture);

    make_player_records();
    if (choice.replay) {
        watch_prepare();
    } else if (choice.network) {
        net_init();
        if (choice.server)
            net_server_lobby(choice.players);
        else
            net_client_join(choice.players);
        // Every player of a network game is shown, three on the wide display.
        int in_game = 0;
        for (int i = 0; i < VIEW_SLOTS; i++) in_game += view_in_use(i);
        set_game_display(in_game);
    } else {
        set_game_display(choice.players);
        run_local_game_setup(choice.players);
    }
    bind_view_keys();
    place_views();
    game_loop();
}
