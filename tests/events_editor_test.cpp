// The editor's poll: mouse buttons held between events and the wheel. (Window
// resizes: screen_editor_test.cpp; the close request: process_editor_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>

#include "core/events.h"
#include "gfx_fixture.h"

namespace {

TEST(EditorPoll, ButtonsAreHeldBetweenEventsAndTheWheelIsNoButton) {
    gfx_env env(32, 800, 600);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 11, 21);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELUP, 12, 22);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_WHEELUP, 12, 22);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 13, 23);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 15, 25);
    editor_poll_events();
    // type, x, y, left, right, middle, changed button
    const int want[][7] = {{EV_BUTTON_DOWN, 10, 20, 1, 0, 0, MOUSE_LEFT}, {EV_BUTTON_DOWN, 11, 21, 1, 1, 0, MOUSE_RIGHT},
                           {EV_BUTTON_UP, 13, 23, 0, 1, 0, MOUSE_LEFT},
                           {EV_BUTTON_UP, 15, 25, 0, 0, 0, MOUSE_RIGHT}};
    event e;
    for (const auto &w : want) {
        ASSERT_EQ(event_get(&e), 1);
        int got[7] = {e.type, e.x, e.y, e.left, e.right, e.middle, e.button};
        EXPECT_TRUE(std::equal(got, got + 7, w)) << "record at " << w[1] << "," << w[2];
    }
    EXPECT_EQ(event_get(&e), 0);
}

}  // namespace
