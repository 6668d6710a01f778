// A real window on an X server (Xvfb): what the back buffer holds reaches
// the screen, keys typed with xdotool arrive as event records, and Alt-Enter
// switches to full screen and back with the picture drawn again.
#include <gtest/gtest.h>

#include <SDL/SDL_image.h>

#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/events.h"
#include "gfx_fixture.h"

namespace {

std::string tool(const std::string &name) {
    for (const char *dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"}) {
        std::string path = dir + name;
        if (access(path.c_str(), X_OK) == 0) return path;
    }
    return "";
}

// An X server of 640 x 480 pixels, 24-bit, on the first free display.
struct xvfb {
    pid_t pid = -1;
    std::string display;

    xvfb() {
        std::string bin = tool("Xvfb");
        if (bin.empty()) return;
        int fds[2];
        if (pipe(fds) != 0) return;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            std::string fd = std::to_string(fds[1]);
            execl(bin.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten",
                  "tcp", "-noreset", (char *)nullptr);
            _exit(127);
        }
        close(fds[1]);
        // The server writes its display number once it accepts clients.
        pollfd p = {fds[0], POLLIN, 0};
        char buf[32] = {0};
        if (poll(&p, 1, 15000) > 0 && read(fds[0], buf, sizeof buf - 1) > 0) display = ":" + std::string(buf, strcspn(buf, "\n"));
        close(fds[0]);
    }
    ~xvfb() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

// Runs an X client against the server and waits for it.
int x_client(const std::string &display, std::vector<std::string> args) {
    args[0] = tool(args[0]);
    return run_program(args, ".", {"DISPLAY=" + display}, 15000).status;
}

// The colour of the root window at (x, y), from a capture made with xwd.
struct capture {
    SDL_Surface *s = nullptr;
    capture(const std::string &display) {
        if (x_client(display, {"xwd", "-root", "-silent", "-out", "shot.xwd"}) != 0) return;
        if (x_client(display, {"convert", "xwd:shot.xwd", "shot.bmp"}) != 0) return;
        s = IMG_Load("shot.bmp");
    }
    ~capture() {
        if (s) SDL_FreeSurface(s);
    }
    rgb at(int x, int y) const {
        rgb c;
        const Uint8 *p = static_cast<Uint8 *>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
        SDL_GetRGB(pixel_load(p, s->format->BytesPerPixel), s->format, &c.r, &c.g, &c.b);
        return c;
    }
};

// Back buffer: red left half, blue right half, a green box at (100, 100).
rgb pattern(int x, int y) {
    if (x >= 100 && x < 150 && y >= 100 && y < 130) return {0, 255, 0};
    return x < 320 ? rgb{255, 0, 0} : rgb{0, 0, 255};
}

bool screen_shows_pattern(const std::string &display) {
    for (int attempt = 0; attempt < 20; attempt++) {
        capture shot(display);
        if (shot.s && shot.s->w == 640 && shot.s->h == 480) {
            bool same = true;
            for (int y : {0, 99, 100, 129, 130, 479})
                for (int x : {0, 99, 100, 149, 150, 319, 320, 639}) same = same && shot.at(x, y) == pattern(x, y);
            if (same) return true;
        }
        SDL_Delay(100);
    }
    return false;
}

// Polls until `count` records have arrived or `ms` milliseconds have passed.
std::vector<event> poll_records(size_t count, uint32_t ms = 5000) {
    std::vector<event> got;
    for (uint32_t end = sys_ticks() + ms; got.size() < count && sys_ticks() < end;) {
        events_poll();
        event e;
        while (event_get(&e)) got.push_back(e);
        SDL_Delay(10);
    }
    return got;
}

bool has_key(const std::vector<event> &records, int type, int key) {
    for (const event &e : records)
        if (e.type == type && e.key == key) return true;
    return false;
}

struct env_var {
    std::string name, old;
    bool had;
    env_var(const char *n, const std::string &value) : name(n) {
        const char *v = getenv(n);
        had = v != nullptr;
        if (had) old = v;
        setenv(n, value.c_str(), 1);
    }
    ~env_var() {
        if (had)
            setenv(name.c_str(), old.c_str(), 1);
        else
            unsetenv(name.c_str());
    }
};

TEST(VideoOnX11, PictureKeysAndFullScreenSwitchInARealWindow) {
    for (const char *t : {"Xvfb", "xdotool", "xwd", "convert"}) ASSERT_FALSE(tool(t).empty()) << t << " is not installed";
    xvfb server;
    ASSERT_FALSE(server.display.empty()) << "Xvfb did not start";
    env_var driver("SDL_VIDEODRIVER", "x11");
    env_var display("DISPLAY", server.display);
    {
        gfx_env env(24);
        EXPECT_FALSE(screen_surface->flags & SDL_FULLSCREEN);
        alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
        for (int y = 0; y < screen_height; y++)
            for (int x = 0; x < screen_width; x++)
                pixel_store(back_buffer.rows[y] + x * bytes_per_pixel, screen_pixel(pattern(x, y)), bytes_per_pixel);
        update_screen();
        EXPECT_TRUE(screen_shows_pattern(server.display)) << "window";

        // Keys go to the window under the pointer.
        ASSERT_EQ(x_client(server.display, {"xdotool", "mousemove", "320", "240"}), 0);
        poll_records(1000, 500);  // let the window settle; drop what came so far
        ASSERT_EQ(x_client(server.display, {"xdotool", "key", "a"}), 0);
        std::vector<event> got = poll_records(2);
        EXPECT_TRUE(has_key(got, EV_KEY_DOWN, 'a'));
        EXPECT_TRUE(has_key(got, EV_KEY_UP, 'a'));

        ASSERT_EQ(x_client(server.display, {"xdotool", "key", "alt+Return"}), 0);
        got = poll_records(4);
        EXPECT_TRUE(has_key(got, EV_KEY_DOWN, SDLK_RETURN)) << "Alt-Enter also queues Return";
        EXPECT_TRUE(screen_fullscreen);
        EXPECT_TRUE(screen_surface->flags & SDL_FULLSCREEN);
        EXPECT_TRUE(screen_shows_pattern(server.display)) << "full screen";

        ASSERT_EQ(x_client(server.display, {"xdotool", "key", "alt+Return"}), 0);
        got = poll_records(4);
        EXPECT_FALSE(screen_fullscreen);
        EXPECT_FALSE(screen_surface->flags & SDL_FULLSCREEN);
        EXPECT_TRUE(screen_shows_pattern(server.display)) << "window again";
    }
}

}  // namespace
