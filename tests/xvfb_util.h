// Tests in a real window: an X server of their own (Xvfb), X clients run on
// it (xdotool to move the pointer, click and type; xwd to take a picture of
// the screen) and the close request a window manager sends.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "test_util.h"

// True when Xvfb, xdotool and xwd are all installed.
bool x_tools_installed();

// Xvfb on the first free display, with one screen of the given size. The
// display is known once the server accepts clients; it stays "" when the
// server did not start within 15 seconds. The server ends with the value.
struct xvfb_server {
    pid_t pid = -1;
    std::string display;  // ":N"
    explicit xvfb_server(int width = 640, int height = 480, int depth = 24);
    ~xvfb_server();
    xvfb_server(const xvfb_server &) = delete;
    xvfb_server &operator=(const xvfb_server &) = delete;
    // The environment entry that puts a client on this server.
    std::string env() const { return "DISPLAY=" + display; }
};

// Runs an X client on the server: `args[0]` is the tool's name. Status 124
// when it had not ended after `timeout_ms`.
run_result x_client(const xvfb_server &server, std::vector<std::string> args, int timeout_ms = 15000);

// The first window whose name matches `name` (a regular expression), once
// it is mapped; 0 when none came within `timeout_ms`.
unsigned long x_wait_for_window(const xvfb_server &server, const std::string &name, int timeout_ms = 20000);

struct xpixel {
    uint8_t r, g, b;
    bool operator==(const xpixel &o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const xpixel &o) const { return !(*this == o); }
};

// A picture of the screen or of one window, in 8-bit red, green, blue.
struct x_image {
    int width = 0;
    int height = 0;
    std::vector<xpixel> pixels;  // row by row from the top left
    xpixel at(int x, int y) const { return pixels[(size_t)y * width + x]; }
    // Pixels that differ within the rectangle (both images the same size).
    long differences(const x_image &other, int x0, int y0, int x1, int y1) const;
};

// Takes a picture with xwd: of the window with the given id, or of the
// whole screen for 0.
bool x_screenshot(const xvfb_server &server, x_image *out, unsigned long window = 0);

// Asks the window to close the way a window manager does: a
// WM_DELETE_WINDOW message of the WM_PROTOCOLS kind. False when the X
// library could not be reached.
bool x_close_window(const xvfb_server &server, unsigned long window);
