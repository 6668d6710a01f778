// Runs the game with SDL's dummy display up to its main menu, which waits
// for a key that the dummy display never delivers, and ends it there the
// way a window manager's close request would.
#pragma once
#include <string>
#include <vector>

#include "test_util.h"

// Runs `argv[0]` in `dir` with `env` added. Once SDL has started (it then
// handles SIGTERM by queueing a quit event), the game gets SIGTERM; the
// menu's first poll finds the quit event and the game ends with status 0
// and "QUIT event caught". A game that ends earlier by itself is reported
// as it ended; one still running after `timeout_ms` is killed (status 124).
run_result run_game_to_menu(const std::vector<std::string> &argv, const std::string &dir,
                            const std::vector<std::string> &env, int timeout_ms = 20000);
