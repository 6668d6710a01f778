// The editor's poll: mouse buttons held between events, the wheel, window
// resizes remaking the back buffer, and the editor's own video mode.
#include <gtest/gtest.h>

#include "core/events.h"
#include "frame/sys.h"
#include "gfx_fixture.h"

namespace {

void push_button(Uint8 type, Uint8 button, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.type = type;
    e.button.button = button;
    e.button.x = (Uint16)x;
    e.button.y = (Uint16)y;
    SDL_PushEvent(&e);
}

void expect_mouse(int type, int x, int y, int left, int right, int middle, int button = -1) {
    event e;
    ASSERT_EQ(event_get(&e), 1);
    EXPECT_EQ(e.type, type);
    EXPECT_EQ(e.x, x);
    EXPECT_EQ(e.y, y);
    EXPECT_EQ(e.left, left);
    EXPECT_EQ(e.right, right);
    EXPECT_EQ(e.middle, middle);
    if (button >= 0) {
        EXPECT_EQ(e.button, button);
    }
}

TEST(EditorPoll, ButtonsAreHeldBetweenEvents) {
    gfx_env env(32, 800, 600);
    EXPECT_EQ(screen_width, 800);
    EXPECT_EQ(screen_height, 600);
    char *title = nullptr, *icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    EXPECT_STREQ(title, "Fenda Editor");
    EXPECT_STREQ(icon, "Fenda Editor");

    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 11, 21);
    SDL_Event m{};
    m.type = SDL_MOUSEMOTION;
    m.motion.x = 300;
    m.motion.y = 400;
    SDL_PushEvent(&m);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELUP, 12, 22);  // no record
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_WHEELUP, 12, 22);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 13, 23);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 14, 24);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 15, 25);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 16, 26);
    SDL_Event k{};
    k.type = SDL_KEYDOWN;
    k.key.keysym.sym = SDLK_l;
    SDL_PushEvent(&k);
    editor_poll_events();

    expect_mouse(EV_BUTTON_DOWN, 10, 20, 1, 0, 0, MOUSE_LEFT);
    expect_mouse(EV_BUTTON_DOWN, 11, 21, 1, 1, 0, MOUSE_RIGHT);
    expect_mouse(EV_MOTION, 300, 400, 1, 1, 0);
    expect_mouse(EV_BUTTON_UP, 13, 23, 0, 1, 0, MOUSE_LEFT);
    expect_mouse(EV_BUTTON_DOWN, 14, 24, 0, 1, 1, MOUSE_MIDDLE);
    expect_mouse(EV_BUTTON_UP, 15, 25, 0, 0, 1, MOUSE_RIGHT);
    expect_mouse(EV_BUTTON_UP, 16, 26, 0, 0, 0, MOUSE_MIDDLE);
    event e;
    ASSERT_EQ(event_get(&e), 1);
    EXPECT_EQ(e.type, EV_KEY_DOWN);
    EXPECT_EQ(e.key, 'l');
    EXPECT_EQ(event_get(&e), 0);
}

TEST(EditorPoll, ResizeRemakesDisplayAndBackBuffer) {
    static int layouts;
    layouts = 0;
    window_resized_hook = [] { layouts++; };
    gfx_env env(16, 800, 600);
    SDL_Event r{};
    r.type = SDL_VIDEORESIZE;
    r.resize.w = 1024;
    r.resize.h = 700;

    // Before realm memory is up only the display changes.
    subsystem_set(SUB_REALM, false);
    SDL_PushEvent(&r);
    editor_poll_events();
    EXPECT_EQ(screen_width, 1024);
    EXPECT_EQ(screen_surface->w, 1024);
    EXPECT_EQ(layouts, 0);
    subsystem_set(SUB_REALM, true);

    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    r.resize.w = 500;
    r.resize.h = 300;
    SDL_PushEvent(&r);
    editor_poll_events();
    EXPECT_EQ(screen_surface->w, 500);
    EXPECT_EQ(screen_surface->h, 300);
    EXPECT_EQ(bytes_per_pixel, 2);
    EXPECT_EQ(back_buffer.width, 500);
    EXPECT_EQ(back_buffer.height, 300);
    EXPECT_STREQ(back_buffer.name, "screen");
    EXPECT_EQ(layouts, 1);
    update_screen();  // the new back buffer fits the new display
    window_resized_hook = nullptr;
}

TEST(EditorPoll, CloseRequestEndsTheProgram) {
    gfx_env env(32, 640, 480);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EXIT(editor_poll_events(), ::testing::ExitedWithCode(0), "sys_exit\\(0\\): QUIT event caught");
}

}  // namespace
