// Xvfb, X clients and window dumps. The X library is opened at run time,
// so that test binaries that never close a window do not link it.
#include "xvfb_util.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

#include <X11/Xlib.h>

namespace {

uint32_t big_endian32(const std::string &d, size_t at) {
    return (uint32_t)(uint8_t)d[at] << 24 | (uint32_t)(uint8_t)d[at + 1] << 16 | (uint32_t)(uint8_t)d[at + 2] << 8 |
           (uint32_t)(uint8_t)d[at + 3];
}

// One channel of a pixel value whose mask is eight bits wide.
uint8_t channel(uint32_t value, uint32_t mask) { return (uint8_t)((value & mask) >> __builtin_ctz(mask)); }

// The full path of an installed tool, or "" when it is not installed.
std::string find_tool(const std::string &name) {
    for (const char *dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"}) {
        std::string path = dir + name;
        if (access(path.c_str(), X_OK) == 0) return path;
    }
    return "";
}


// Starts Xvfb and reads the display number it writes once it accepts
// clients; "" when it did not within 15 seconds.
std::string start_xvfb(pid_t *pid, const std::string &screen) {
    std::string xvfb = find_tool("Xvfb");
    int fds[2];
    if (xvfb.empty() || pipe(fds) != 0) return "";
    if ((*pid = fork()) == 0) {
        int null_fd = open("/dev/null", O_RDWR);
        for (int fd : {0, 1, 2}) dup2(null_fd, fd);
        std::string fd = std::to_string(fds[1]);
        // -noreset: a server that resets when its last client leaves drops
        // the connections that arrive meanwhile, such as SDL's second one
        // right after it closed its first probe.
        execl(xvfb.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
              "-noreset", (char *)nullptr);
        _exit(127);
    }
    close(fds[1]);
    pollfd p = {fds[0], POLLIN, 0};
    char buf[32] = {0};
    std::string display;
    if (*pid > 0 && poll(&p, 1, 15000) > 0 && read(fds[0], buf, sizeof buf - 1) > 0)
        display = ":" + std::to_string(atoi(buf));
    close(fds[0]);
    return display;
}

// Reads an X window dump (the output of xwd) of a TrueColor screen of
// depth 24 (the only one the tests make); false when the data is not one.
bool parse_xwd(const std::string &d, x_image *out) {
    enum { HEADER = 100, XWD_VERSION = 7, Z_PIXMAP = 2, TRUE_COLOR = 4, DIRECT_COLOR = 5, COLOR_ENTRY = 12 };
    if (d.size() < HEADER) return false;
    uint32_t h[25];
    for (int i = 0; i < 25; i++) h[i] = big_endian32(d, 4 * i);
    const uint32_t header_size = h[0], version = h[1], format = h[2], width = h[4], height = h[5];
    const uint32_t byte_order = h[7], bits_per_pixel = h[11], bytes_per_line = h[12], visual = h[13];
    const uint32_t red = h[14], green = h[15], blue = h[16], ncolors = h[19];
    if (version != XWD_VERSION || format != Z_PIXMAP || (visual != TRUE_COLOR && visual != DIRECT_COLOR)) return false;
    if (bits_per_pixel != 24 && bits_per_pixel != 32) return false;
    for (uint32_t mask : {red, green, blue})
        if (!mask || mask >> __builtin_ctz(mask) != 0xFF) return false;
    const size_t bytes = bits_per_pixel / 8;
    const size_t start = (size_t)header_size + (size_t)ncolors * COLOR_ENTRY;
    if (width == 0 || height == 0 || bytes_per_line < width * bytes ||
        d.size() < start + (size_t)bytes_per_line * (height - 1) + width * bytes)
        return false;
    out->width = (int)width;
    out->height = (int)height;
    out->pixels.resize((size_t)width * height);
    for (uint32_t y = 0; y < height; y++)
        for (uint32_t x = 0; x < width; x++) {
            const uint8_t *p = reinterpret_cast<const uint8_t *>(d.data()) + start + (size_t)y * bytes_per_line + x * bytes;
            uint32_t v = 0;
            for (size_t i = 0; i < bytes; i++) v |= (uint32_t)p[i] << (8 * (byte_order == 0 ? i : bytes - 1 - i));
            out->pixels[(size_t)y * width + x] = {channel(v, red), channel(v, green), channel(v, blue)};
        }
    return true;
}

}  // namespace

bool x_tools_installed() {
    for (const char *t : {"Xvfb", "xdotool", "xwd"})
        if (find_tool(t).empty()) return false;
    return true;
}

xvfb_server::xvfb_server(int width, int height, int depth) {
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
    // Other X servers come and go on a shared machine: a server is kept
    // only once a client has reached it, else another one is started.
    for (int attempt = 0; attempt < 3; attempt++) {
        display = start_xvfb(&pid, screen);
        if (!display.empty() &&
            wait_until([&] { return x_client(*this, {"xdotool", "getmouselocation"}, 5000).status == 0; }, 5000))
            return;
        if (pid > 0 && kill(pid, SIGTERM) == 0) waitpid(pid, nullptr, 0);
        pid = -1;
        display.clear();
    }
}

xvfb_server::~xvfb_server() {
    if (pid > 0 && kill(pid, SIGTERM) == 0) waitpid(pid, nullptr, 0);
}

run_result x_client(const xvfb_server &server, std::vector<std::string> args, int timeout_ms) {
    args[0] = find_tool(args[0]);
    if (args[0].empty()) return {127, "", "not installed"};
    return run_program(args, ".", {server.env()}, timeout_ms);
}

unsigned long x_wait_for_window(const xvfb_server &server, const std::string &name, int timeout_ms) {
    run_result r = x_client(server, {"xdotool", "search", "--sync", "--onlyvisible", "--name", name}, timeout_ms);
    return r.status == 0 ? strtoul(r.out.c_str(), nullptr, 10) : 0;
}

long x_image::differences(const x_image &other, int x0, int y0, int x1, int y1) const {
    long n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) n += at(x, y) != other.at(x, y);
    return n;
}

bool x_screenshot(const xvfb_server &server, x_image *out, unsigned long window) {
    run_result r = window ? x_client(server, {"xwd", "-silent", "-id", std::to_string(window)})
                          : x_client(server, {"xwd", "-silent", "-root"});
    return r.status == 0 && parse_xwd(r.out, out);
}

bool x_close_window(const xvfb_server &server, unsigned long window) {
    void *lib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (!lib) return false;
    auto open_display = reinterpret_cast<Display *(*)(const char *)>(dlsym(lib, "XOpenDisplay"));
    auto intern_atom = reinterpret_cast<Atom (*)(Display *, const char *, int)>(dlsym(lib, "XInternAtom"));
    auto send_event = reinterpret_cast<int (*)(Display *, Window, int, long, XEvent *)>(dlsym(lib, "XSendEvent"));
    auto sync = reinterpret_cast<int (*)(Display *, int)>(dlsym(lib, "XSync"));
    auto close_display = reinterpret_cast<int (*)(Display *)>(dlsym(lib, "XCloseDisplay"));
    bool sent = false;
    Display *d = open_display && intern_atom && send_event && sync && close_display
                     ? open_display(server.display.c_str())
                     : nullptr;
    if (d) {
        XEvent e;
        memset(&e, 0, sizeof e);
        e.xclient.type = ClientMessage;
        e.xclient.window = window;
        e.xclient.message_type = intern_atom(d, "WM_PROTOCOLS", 0);
        e.xclient.format = 32;
        e.xclient.data.l[0] = (long)intern_atom(d, "WM_DELETE_WINDOW", 0);
        e.xclient.data.l[1] = CurrentTime;
        sent = send_event(d, window, 0, NoEventMask, &e) != 0;
        sync(d, 0);
        close_display(d);
    }
    dlclose(lib);
    return sent;
}
