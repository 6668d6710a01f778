// Test-play in a separate game process.
#include "editor/test_play.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <vector>

#include "core/events.h"
#include "editor/editor.h"
#include "editor/panel.h"
#include "editor/session.h"

namespace fs = std::filesystem;

namespace {

const char *const GAME_PROGRAM = "fenda2";
const char *const GAME_MAP = "testmap.fenda";
const int EXEC_FAILED = 127;  // the child's status when the program did not start

bool ends_with(const std::string &s, const std::string &end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// A new directory under the system's temporary directory, filled with the
// data set's files (their names go to `copied`) and the saved map under
// the game's map name. "" with the reason in `why` when that failed.
std::string make_play_dir(std::set<std::string> *copied, std::string *why) {
    const char *base = getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/fenda_test_play_XXXXXX";
    std::vector<char> name(templ.begin(), templ.end());
    name.push_back(0);
    if (!mkdtemp(name.data())) {
        *why = "no temporary directory in " + templ;
        return "";
    }
    const fs::path dir = name.data();
    std::error_code ec;
    for (fs::directory_iterator it(".", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        std::error_code kind_ec;
        if (!it->is_regular_file(kind_ec) || !data_set_file(file)) continue;
        if (!fs::copy_file(it->path(), dir / file, ec)) break;
        copied->insert(file);
    }
    if (!ec) fs::copy_file(EDITOR_MAP_FILE, dir / GAME_MAP, ec);
    if (ec) {
        *why = "copying the data set: " + ec.message();
        fs::remove_all(dir, ec);
        return "";
    }
    return dir.string();
}

// Runs the game in `dir` and waits for its end: its exit status, 128 and
// the signal's number when a signal ended it, -1 when it could not start.
int run_game(const std::string &program, const std::string &dir) {
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        char *const argv[] = {const_cast<char *>(program.c_str()), nullptr};
        if (chdir(dir.c_str()) == 0) execv(argv[0], argv);
        _exit(EXEC_FAILED);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Moves what the game wrote in `dir` to the working directory, then
// removes `dir`.
void bring_back(const fs::path &dir, const std::set<std::string> &copied) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        std::error_code copy_ec;
        if (file != GAME_MAP && !copied.count(file) && it->is_regular_file(copy_ec))
            fs::copy_file(it->path(), file, fs::copy_options::overwrite_existing, copy_ec);
    }
    fs::remove_all(dir, ec);
}

}  // namespace

std::string game_program_path() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? "" : (self.parent_path() / GAME_PROGRAM).string();
}

bool data_set_file(const std::string &name) {
    for (const char *end : {".fenda", ".log", ".tmp", ".autosave"})
        if (ends_with(name, end)) return false;
    return name.compare(0, 17, "fenda_screenshot_") != 0;
}

void test_play() {
    if (!editor_save()) return;
    const std::string program = game_program_path();
    if (program.empty() || access(program.c_str(), X_OK) != 0) {
        editor_say(true, "test-play: no game program \"%s\"", program.c_str());
        return;
    }
    std::set<std::string> copied;
    std::string why;
    const std::string dir = make_play_dir(&copied, &why);
    if (dir.empty()) {
        editor_say(true, "test-play: %s", why.c_str());
        return;
    }
    char warnings[STATUS_MESSAGE_MAX];
    map_warnings(warnings, sizeof warnings);
    editor_say(warnings[0] != 0, "test-play: %s runs in %s%s%s", GAME_PROGRAM, dir.c_str(),
               warnings[0] ? "; warning: " : "", warnings);
    draw_panel();  // the loop does not run until the game ends

    const int status = run_game(program, dir);
    bring_back(dir, copied);
    // What the editor's window received meanwhile was meant for the game
    // or is stale; only a close request or a resize still counts.
    editor_poll_events();
    event e;
    while (event_get(&e)) {
    }
    if (status == 0)
        editor_say(false, "test-play: %s ended", GAME_PROGRAM);
    else if (status < 0 || status == EXEC_FAILED)
        editor_say(true, "test-play: %s could not start", GAME_PROGRAM);
    else
        editor_say(true, "test-play: %s ended with status %d (see fenda2.log)", GAME_PROGRAM, status);
}
