// Tests in a real window: an X server of their own (Xvfb), X clients on it
// (xdotool, xwd) and the close request a window manager sends.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "test_util.h"

// True when Xvfb, xdotool and xwd are all installed.
bool x_tools_installed();

// Xvfb on the first free display; `display` stays "" when no server
// accepted clients. The server ends with the value.
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

// Runs an X client (`args[0]` names the tool) on the server; 124 on timeout.
run_result x_client(const xvfb_server &server, std::vector<std::string> args, int timeout_ms = 15000);

// The first mapped window whose name matches the regular expression; 0 if none came.
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

// Takes a picture with xwd of the window, or of the whole screen for 0.
bool x_screenshot(const xvfb_server &server, x_image *out, unsigned long window = 0);

// Asks the window to close as a window manager does (WM_DELETE_WINDOW);
// false when the X library could not be reached.
bool x_close_window(const xvfb_server &server, unsigned long window);
