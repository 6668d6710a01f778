// One run of the real game under Xvfb, and the screenshot helpers.
#include "game_session_util.h"


const xpixel BLACK = {0, 0, 0};
const char *const LOCAL_LOOP_STARTED = ": net_packet_interval = 150, net_control_interval = 1, net_control_send_time = 1\n";

namespace {
const xpixel VERSION_COLOUR = {153, 207, 232};
}  // namespace

bool read_bmp(const std::string &data, x_image *out) {
    auto u32 = [&](size_t at) {
        return (uint32_t)(uint8_t)data[at] | (uint32_t)(uint8_t)data[at + 1] << 8 |
               (uint32_t)(uint8_t)data[at + 2] << 16 | (uint32_t)(uint8_t)data[at + 3] << 24;
    };
    if (data.size() < 54 || data.compare(0, 2, "BM") != 0) return false;
    uint32_t offset = u32(10), w = u32(18), h = u32(22), bits = u32(28) & 0xFFFF;
    size_t row = ((size_t)w * 3 + 3) / 4 * 4;
    if (bits != 24 || w == 0 || h == 0 || w > 4096 || h > 4096 || data.size() < offset + row * h) return false;
    out->width = (int)w;
    out->height = (int)h;
    out->pixels.resize((size_t)w * h);
    for (uint32_t y = 0; y < h; y++)
        for (uint32_t x = 0; x < w; x++) {
            const char *p = data.data() + offset + (h - 1 - y) * row + x * 3;
            out->pixels[(size_t)y * w + x] = {(uint8_t)p[2], (uint8_t)p[1], (uint8_t)p[0]};
        }
    return true;
}

bool blue(xpixel p) { return p.b > 150 && p.r < 90 && p.b > p.g + 50; }
bool red(xpixel p) { return p.r > 150 && p.g < 90 && p.b < 90; }
bool green(xpixel p) { return p.g > 120 && p.r < 110 && p.b < 110; }
double centre(const x_image &img, bool (*colour)(xpixel), int x0, int y0, int x1, int y1) {
    double sum = 0;
    long n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            if (colour(img.at(x, y))) sum += x, n++;
    return n ? sum / n : -1;
}

long lit(const x_image &img, int x0, int y0, int x1, int y1) {
    long n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) n += img.at(x, y) != BLACK;
    return n;
}

// One run of the game in its own X server, and the steps a player takes.
game_session::game_session(int screen_width, const std::string &audio_driver, int screen_height)
    : server(screen_width, screen_height, 24), width(screen_width), height(screen_height), audio(audio_driver) {
    copy_data_set(dir.path, {".log", ".bmp"});
}

std::unique_ptr<game_session> editor_session() {
    std::unique_ptr<game_session> s(new game_session(1024, "dummy", 768));
    s->program = FENDA_EDITOR_BIN;
    s->title = "^Fenda Editor$";
    s->log_name = "fenda_editor.log";
    s->window_shots = true;
    return s;
}

void game_session::configure(const std::string &key, const std::string &value) {
    set_config(dir.file("fenda2.config"), key, value);
}

bool game_session::launch() {
    if (server.display.empty()) return false;
    std::vector<std::string> argv = prefix;
    argv.push_back(program);
    game.reset(new background_program(argv, dir.path, {server.env(), "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=" + audio}));
    window = x_wait_for_window(server, title);
    return window != 0;
}

bool game_session::start() {
    // Keys go to the window under the pointer.
    return launch() && xdo({"mousemove", "--window", std::to_string(window), "20", "20"}) && menu_shown();
}

std::string game_session::log() { return read_file(dir.file(log_name)); }

std::string game_session::report() {
    if (!game) return "Xvfb did not start";
    return program + " " + std::string(game->running() ? "running" : "ended with " + std::to_string(game->status)) +
           "; output: " + game->out() + game->err() + "; log: " + log();
}

x_image game_session::shot() {
    x_image img;
    if (!x_screenshot(server, &img, window_shots ? window : 0) || img.width != width || img.height != height) img = x_image();
    return img;
}

bool game_session::xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    return x_client(server, args).status == 0;
}

bool game_session::key(const std::string &name) { return xdo({"key", name}); }

bool game_session::shows(const std::function<bool(const x_image &)> &test, int timeout_ms) {
    return wait_until(
        [&] {
            x_image img = shot();
            return img.width && test(img);
        },
        timeout_ms, 150);
}

bool game_session::log_has(const std::string &text, int timeout_ms) {
    return wait_until([&] { return log().find(text) != std::string::npos; }, timeout_ms, 100);
}

bool game_session::menu_shown() {
    return shows([](const x_image &img) {
        for (int y = 160; y < 173; y++)
            for (int x = 270; x < 354; x++)
                if (img.at(x, y) == VERSION_COLOUR) return true;
        return false;
    });
}

bool game_session::choose(const std::string &key_name, int views, const std::string &loop_line) {
    if (!key(key_name) || !log_has(loop_line)) return false;
    return shows([&](const x_image &img) {
        for (int v = 0; v < views; v++)
            if (lit(img, 640 * (v / 2), 240 * (v % 2), 640 * (v / 2) + 480, 240 * (v % 2) + 240) < 50000) return false;
        return true;
    });
}

bool game_session::hold_until(const std::vector<std::string> &keys, const std::function<bool(const x_image &)> &done) {
    std::vector<std::string> down = {"keydown"}, up = {"keyup"};
    down.insert(down.end(), keys.begin(), keys.end());
    up.insert(up.end(), keys.rbegin(), keys.rend());
    bool ok = xdo(down) && shows(done);
    return xdo(up) && ok;
}

bool game_session::hold_until_moved(const std::vector<std::string> &keys, bool (*colour)(xpixel), int x0, int y0, int x1,
                                    int y1, double shift) {
    x_image before = shot();
    double start = before.width ? centre(before, colour, x0, y0, x1, y1) : -1;
    return start >= 0 && hold_until(keys, [&](const x_image &img) {
               double now = centre(img, colour, x0, y0, x1, y1);
               return now >= 0 && (shift > 0 ? now - start >= shift : start - now >= -shift);
           });
}

bool game_session::hold_until_changed(const std::vector<std::string> &keys, int x0, int y0, int x1, int y1) {
    x_image before = shot();
    return before.width &&
           hold_until(keys, [&](const x_image &img) { return img.differences(before, x0, y0, x1, y1) > 300; });
}
