// A real window on an X server (Xvfb): the back buffer reaches the screen,
// keys typed with xdotool arrive as records, and Alt-Enter switches to full
// screen and back with the picture drawn again.
#include <gtest/gtest.h>

#include <SDL/SDL_image.h>

#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "core/events.h"
#include "gfx_fixture.h"
#include "xvfb_util.h"

namespace {

struct scoped_env {
    std::string name, old;
    bool had;
    scoped_env(const char *n, const std::string &v) : name(n), had(getenv(n) != nullptr) {
        if (had) old = getenv(n);
        setenv(n, v.c_str(), 1);
    }
    ~scoped_env() { had ? setenv(name.c_str(), old.c_str(), 1) : unsetenv(name.c_str()); }
};

// Back buffer: red left half, blue right half, a green box at (100, 100).
rgb pattern(int x, int y) {
    if (x >= 100 && x < 150 && y >= 100 && y < 130) return {0, 255, 0};
    return x < 320 ? rgb{255, 0, 0} : rgb{0, 0, 255};
}

// Captures the X screen with xwd until it shows the pattern (two seconds).
bool screen_shows_pattern(const xvfb_server &server) {
    for (int attempt = 0; attempt < 20; attempt++, SDL_Delay(100)) {
        x_image s;
        bool same = x_screenshot(server, &s) && s.width == 640 && s.height == 480;
        for (int y : {0, 99, 100, 129, 130, 479})
            for (int x : {0, 99, 100, 149, 150, 319, 320, 639}) {
                if (!same) break;
                rgb c = pattern(x, y);
                same = s.at(x, y) == xpixel{c.r, c.g, c.b};
            }
        if (same) return true;
    }
    return false;
}

// The key records that arrive within `ms` milliseconds, as "d13 u97 ...".
std::string typed(uint32_t ms = 1000) {
    std::string got;
    for (uint32_t end = sys_ticks() + ms; sys_ticks() < end; SDL_Delay(10)) {
        events_poll();
        for (event e; event_get(&e);) got += (e.type == EV_KEY_DOWN ? " d" : " u") + std::to_string(e.key);
    }
    return got;
}

TEST(VideoOnX11, PictureKeysAndFullScreenSwitchInARealWindow) {
    ASSERT_TRUE(x_tools_installed()) << "Xvfb, xdotool or xwd is not installed";
    xvfb_server server;
    ASSERT_FALSE(server.display.empty()) << "Xvfb did not start";
    scoped_env driver("SDL_VIDEODRIVER", "x11"), display("DISPLAY", server.display);
    gfx_env env(24);
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    for (int y = 0; y < screen_height; y++)
        for (int x = 0; x < screen_width; x++)
            pixel_store(back_buffer.rows[y] + x * bytes_per_pixel, screen_pixel(pattern(x, y)), bytes_per_pixel);
    update_screen();
    EXPECT_TRUE(screen_shows_pattern(server)) << "window";

    ASSERT_EQ(x_client(server, {"xdotool", "mousemove", "320", "240"}).status, 0);  // keys go to the window under the pointer
    typed(300);
    ASSERT_EQ(x_client(server, {"xdotool", "key", "a"}).status, 0);
    EXPECT_EQ(typed(), " d97 u97");
    // Alt-Enter switches and still queues Return between the Alt records.
    for (bool full : {true, false}) {
        ASSERT_EQ(x_client(server, {"xdotool", "key", "alt+Return"}).status, 0);
        std::string keys = typed() + " ";
        EXPECT_NE(keys.find(" d308 d13 "), std::string::npos) << keys;
        EXPECT_TRUE(keys.find(" u13 ") != std::string::npos && keys.find(" u308 ") != std::string::npos) << keys;
        EXPECT_EQ(screen_fullscreen, full);
        EXPECT_EQ((screen_surface->flags & SDL_FULLSCREEN) != 0, full);
        EXPECT_TRUE(screen_shows_pattern(server)) << (full ? "full screen" : "window again");
    }
}

}  // namespace
