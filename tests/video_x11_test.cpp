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

namespace {

std::string tool(const std::string &name) {
    for (std::string dir : {"/usr/bin/", "/usr/local/bin/"})
        if (access((dir + name).c_str(), X_OK) == 0) return dir + name;
    return "";
}

// Xvfb on the first free display, 640 x 480 x 24; it names its display
// on the pipe once it accepts clients.
struct xvfb {
    pid_t pid = -1;
    std::string display;
    xvfb() {
        int fds[2];
        if (tool("Xvfb").empty() || pipe(fds) != 0) return;
        if ((pid = fork()) == 0) {
            std::string fd = std::to_string(fds[1]);
            execl(tool("Xvfb").c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp", (char *)nullptr);
            _exit(127);
        }
        close(fds[1]);
        pollfd p = {fds[0], POLLIN, 0};
        char buf[32] = {0};
        if (poll(&p, 1, 15000) > 0 && read(fds[0], buf, sizeof buf - 1) > 0) display = ":" + std::to_string(atoi(buf));
        close(fds[0]);
    }
    ~xvfb() {
        if (pid > 0 && kill(pid, SIGTERM) == 0) waitpid(pid, nullptr, 0);
    }
};

struct scoped_env {
    std::string name, old;
    bool had;
    scoped_env(const char *n, const std::string &v) : name(n), had(getenv(n) != nullptr) {
        if (had) old = getenv(n);
        setenv(n, v.c_str(), 1);
    }
    ~scoped_env() { had ? setenv(name.c_str(), old.c_str(), 1) : unsetenv(name.c_str()); }
};

int x_client(std::vector<std::string> args) {
    args[0] = tool(args[0]);
    return run_program(args, ".", {}, 15000).status;
}

// Back buffer: red left half, blue right half, a green box at (100, 100).
rgb pattern(int x, int y) {
    if (x >= 100 && x < 150 && y >= 100 && y < 130) return {0, 255, 0};
    return x < 320 ? rgb{255, 0, 0} : rgb{0, 0, 255};
}

// Captures the X screen with xwd until it shows the pattern (two seconds).
bool screen_shows_pattern() {
    for (int attempt = 0; attempt < 20; attempt++, SDL_Delay(100)) {
        if (x_client({"xwd", "-root", "-silent", "-out", "shot.xwd"}) || x_client({"convert", "xwd:shot.xwd", "shot.bmp"})) continue;
        SDL_Surface *s = IMG_Load("shot.bmp");
        bool same = s && s->w == 640 && s->h == 480;
        for (int y : {0, 99, 100, 129, 130, 479})
            for (int x : {0, 99, 100, 149, 150, 319, 320, 639}) {
                if (!same) break;
                rgb c;
                SDL_GetRGB(pixel_load(static_cast<Uint8 *>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel, s->format->BytesPerPixel),
                           s->format, &c.r, &c.g, &c.b);
                same = c == pattern(x, y);
            }
        if (s) SDL_FreeSurface(s);
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
    for (const char *t : {"Xvfb", "xdotool", "xwd", "convert"}) ASSERT_FALSE(tool(t).empty()) << t << " is not installed";
    xvfb server;
    ASSERT_FALSE(server.display.empty()) << "Xvfb did not start";
    scoped_env driver("SDL_VIDEODRIVER", "x11"), display("DISPLAY", server.display);
    gfx_env env(24);
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    for (int y = 0; y < screen_height; y++)
        for (int x = 0; x < screen_width; x++)
            pixel_store(back_buffer.rows[y] + x * bytes_per_pixel, screen_pixel(pattern(x, y)), bytes_per_pixel);
    update_screen();
    EXPECT_TRUE(screen_shows_pattern()) << "window";

    ASSERT_EQ(x_client({"xdotool", "mousemove", "320", "240"}), 0);  // keys go to the window under the pointer
    typed(300);
    ASSERT_EQ(x_client({"xdotool", "key", "a"}), 0);
    EXPECT_EQ(typed(), " d97 u97");
    // Alt-Enter switches and still queues Return between the Alt records.
    for (bool full : {true, false}) {
        ASSERT_EQ(x_client({"xdotool", "key", "alt+Return"}), 0);
        std::string keys = typed() + " ";
        EXPECT_NE(keys.find(" d308 d13 "), std::string::npos) << keys;
        EXPECT_TRUE(keys.find(" u13 ") != std::string::npos && keys.find(" u308 ") != std::string::npos) << keys;
        EXPECT_EQ(screen_fullscreen, full);
        EXPECT_EQ((screen_surface->flags & SDL_FULLSCREEN) != 0, full);
        EXPECT_TRUE(screen_shows_pattern()) << (full ? "full screen" : "window again");
    }
}

}  // namespace
