// One run of fenda2 (or fenda_editor) in its own Xvfb and copy of the data
// set, driven with xdotool, watched on screenshots and in its log.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "test_util.h"
#include "xvfb_util.h"

extern const xpixel BLACK;
// The log line that starts a local game's loop.
extern const char *const LOCAL_LOOP_STARTED;

// Reads a bottom-up BMP of 24 bits a pixel, as the game's screenshots are.
bool read_bmp(const std::string &data, x_image *out);
// The fighters' colours: the blue of player 1's, the red of player 2's and
// the green of player 3's armour.
bool blue(xpixel p);
bool red(xpixel p);
bool green(xpixel p);
// The mean column of a colour's pixels in a rectangle, or -1 without any.
double centre(const x_image &img, bool (*colour)(xpixel), int x0, int y0, int x1, int y1);
// Pixels of the rectangle that are not black.
long lit(const x_image &img, int x0, int y0, int x1, int y1);

// The game by default; editor_session() makes one of the editor.
struct game_session {
    xvfb_server server;
    temp_dir dir;
    std::unique_ptr<background_program> game;
    unsigned long window = 0;
    int width, height;
    std::string audio;
    // Put before the program's path (ip netns exec NAME).
    std::vector<std::string> prefix;
    std::string program = FENDA_GAME_BIN, title = "^Trelm2D: Fenda$", log_name = "fenda2.log";
    bool window_shots = false;  // shots of the window rather than the screen

    // Copies the data set; the X server's screen is screen_width x screen_height.
    explicit game_session(int screen_width = 640, const std::string &audio_driver = "dummy", int screen_height = 480);
    // Sets a key of this copy's "fenda2.config" (before start).
    void configure(const std::string &key, const std::string &value);
    // Starts the program and waits for its window.
    bool launch();
    // Starts the game and waits for its menu.
    bool start();
    std::string log();
    std::string report();
    // The X screen shows the window at its top-left corner.
    x_image shot();
    bool xdo(std::vector<std::string> args);
    bool key(const std::string &name);
    bool shows(const std::function<bool(const x_image &)> &test, int timeout_ms = 20000);
    bool log_has(const std::string &text, int timeout_ms = 20000);
    // The menu picture at (75, 70) with the version line in its colour.
    bool menu_shown();
    // Chooses with a key and waits until the game loop runs and the first
    // views are on the display.
    bool choose(const std::string &key_name, int views, const std::string &loop_line = LOCAL_LOOP_STARTED);
    // Holds the keys until a shot passes `done`, then lets them go.
    bool hold_until(const std::vector<std::string> &keys, const std::function<bool(const x_image &)> &done);
    // ... until the colour has moved `shift` pixels across the band of rows
    // (negative: to the left).
    bool hold_until_moved(const std::vector<std::string> &keys, bool (*colour)(xpixel), int x0, int y0, int x1, int y1,
                          double shift);
    // ... until the rectangle has changed.
    bool hold_until_changed(const std::vector<std::string> &keys, int x0, int y0, int x1, int y1);
};

// A session of the editor on a screen of the data set's window size.
std::unique_ptr<game_session> editor_session();
