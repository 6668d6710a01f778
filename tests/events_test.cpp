// The event queue's order, its limit and the warning when input is dropped.
// (The game's poll: every process test's keys, Alt-Enter in
// process_game_test.cpp, the close request in process_start_test.cpp.)
#include <gtest/gtest.h>

#include "core/events.h"
#include "frame/log.h"
#include "gfx_fixture.h"

namespace {

TEST(EventQueue, KeepsOrderAndDropsWhatFindsItFullWithOneWarningPerBurst) {
    gfx_env env;
    log_reset(LOG_CHANNELS_GAME, "events.log");
    event e;
    while (event_get(&e)) {
    }
    uint32_t before = sys_ticks();
    for (int i = 1; i <= 70; i++) event_put_key(EV_KEY_DOWN, i);
    for (int i = 1; i <= 63; i++) ASSERT_TRUE(event_get(&e) && e.key == i && e.type == EV_KEY_DOWN && e.time >= before);
    EXPECT_EQ(event_pending(), 0) << "the records past the 63rd were dropped, not the waiting ones";
    for (int round = 0; round < 3; round++) {  // and the ring goes on across its end
        for (int i = 0; i < 40; i++) event_put_key(EV_KEY_UP, 1000 + i);
        for (int i = 0; i < 40; i++) EXPECT_TRUE(event_get(&e) && e.key == 1000 + i);
    }
    event_put_key(EV_KEY_UP, 0);
    EXPECT_EQ(event_get(&e), 0) << "key code 0 is not queued";
    for (int i = 0; i < 70; i++) event_put_key(EV_KEY_DOWN, 1);  // a second burst
    while (event_get(&e)) {
    }
    log_reset(LOG_CHANNELS_GAME, "fenda2.log");  // as the test binary starts: closed, off
    log_enabled = false;
    const std::string warning = "WARNING: event queue full (63 records waiting): input dropped until it is read\n";
    EXPECT_EQ(read_file("events.log"), warning + warning);
}

}  // namespace
