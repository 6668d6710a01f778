// The game ended in its menu by SIGTERM, which SDL turns into a quit event.
#include "menu_quit_util.h"

#include <signal.h>

#include <sstream>

#include "xvfb_util.h"

namespace {

// True once the program (not the test's child before its exec) has a
// SIGTERM handler of its own, which SDL installs when it starts: read from
// the name and the caught-signals mask in /proc.
bool catches_sigterm(pid_t pid, const std::string &program) {
    std::string name = program.substr(program.rfind('/') + 1).substr(0, 15);
    std::istringstream status(read_file("/proc/" + std::to_string(pid) + "/status"));
    bool same = false;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Name:", 0) == 0) same = line.substr(line.find_first_not_of(" \t", 5)) == name;
        if (line.rfind("SigCgt:", 0) == 0)
            return same && ((std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1);
    }
    return false;
}

}  // namespace

run_result run_game_to_menu(const std::vector<std::string> &argv, const std::string &dir,
                            const std::vector<std::string> &env, int timeout_ms) {
    background_program game(argv, dir, env);
    bool started = wait_until([&] { return !game.running() || catches_sigterm(game.pid, argv[0]); }, timeout_ms, 10);
    if (started && game.running()) kill(game.pid, SIGTERM);
    run_result r;
    r.status = game.wait(timeout_ms);
    r.out = game.out();
    r.err = game.err();
    return r;
}
