// The main menu's choice keys taken from the event queue. (Escape on its
// press: process_start_test.cpp.)
#include <gtest/gtest.h>

#include "core/events.h"
#include "game/menu.h"
#include "gfx_fixture.h"

namespace {

// The choice the menu makes of `keys` queued after whatever was waiting.
menu_choice take(std::initializer_list<std::pair<int32_t, int32_t>> keys) {
    event e;
    while (event_get(&e)) {
    }
    for (auto [type, key] : keys) event_put_key(type, key);
    menu_choice c = {1, false, true, false};
    menu_take_events(&c);
    EXPECT_FALSE(event_pending());
    return c;
}

const int32_t D = EV_KEY_DOWN, U = EV_KEY_UP;

TEST(MenuKeys, ChoiceOnReleaseAndTheLastOneInABatchCounts) {
    gfx_env env;
    menu_choice c = take({{D, '2'}});
    EXPECT_FALSE(c.made);  // held, not yet released
    c = take({{D, '2'}, {U, '2'}});
    EXPECT_TRUE(c.made);
    EXPECT_EQ(c.players, 2);
    EXPECT_FALSE(c.network);
    c = take({{U, '3'}, {U, 'x'}, {D, '4'}, {U, '4'}, {D, 13}});
    EXPECT_EQ(c.players, 4);
    c = take({{U, '1'}, {U, 's'}});
    EXPECT_TRUE(c.network && c.server);
    EXPECT_EQ(c.players, 1);
    // Keys that choose nothing, and Escape's release, leave it unmade: keypad
    // 1 is not the digit, nor is Right Ctrl (305), whose low byte is "1".
    c = take({{U, '5'}, {U, '0'}, {D, 'a'}, {U, 27}, {U, SDLK_KP1}, {U, SDLK_RCTRL}});
    EXPECT_FALSE(c.made);
}

}  // namespace
