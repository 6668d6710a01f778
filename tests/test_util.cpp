#include "test_util.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

// Directories made and not yet removed, with their maker: a death test's
// child ends without destructors, so at exit each process removes its own.
struct live_dir {
    std::string path;
    pid_t owner;
};
std::vector<live_dir> &live_dirs() {
    static std::vector<live_dir> *dirs = new std::vector<live_dir>;
    return *dirs;
}

void remove_own_dirs_at_exit() {
    std::error_code ec;
    for (const auto &d : live_dirs())
        if (d.owner == getpid()) std::filesystem::remove_all(d.path, ec);
}

// A new directory (or, with `make_file`, file) under $TMPDIR or /tmp whose
// name starts with "fenda_<what>_".
std::string make_temp(const char *what, bool make_file) {
    const char *base = getenv("TMPDIR");
    std::string name = std::string(base && *base ? base : "/tmp") + "/fenda_" + what + "_XXXXXX";
    int fd = make_file ? mkstemp(&name[0]) : -1;
    if (make_file ? fd < 0 : !mkdtemp(&name[0])) {
        perror("mkstemp");
        abort();
    }
    if (fd >= 0) close(fd);
    return name;
}

}  // namespace

temp_dir::temp_dir() {
    static bool registered = (atexit(remove_own_dirs_at_exit), true);
    (void)registered;
    path = make_temp("test", false);
    live_dirs().push_back({path, getpid()});
}

temp_dir::~temp_dir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    auto &dirs = live_dirs();
    for (size_t i = 0; i < dirs.size(); i++)
        if (dirs[i].path == path) {
            dirs.erase(dirs.begin() + (long)i);
            break;
        }
}

void write_file(const std::string &path, const std::string &contents) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << contents;
}

std::string read_file(const std::string &path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return "";
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

bool file_exists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

long long now_ms() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

void sleep_ms(int ms) {
    timespec ts = {ms / 1000, (long)(ms % 1000) * 1000000};
    nanosleep(&ts, nullptr);
}

background_program::background_program(const std::vector<std::string> &argv, const std::string &dir,
                                       const std::vector<std::string> &env)
    : out_path(make_temp("out", true)), err_path(make_temp("err", true)) {
    pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        int in = open("/dev/null", O_RDONLY);
        int out = open(out_path.c_str(), O_WRONLY | O_TRUNC);
        int err = open(err_path.c_str(), O_WRONLY | O_TRUNC);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        for (const auto &e : env) putenv(strdup(e.c_str()));
        std::vector<char *> args;
        for (const auto &a : argv) args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
}

background_program::~background_program() {
    if (running()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    unlink(out_path.c_str());
    unlink(err_path.c_str());
}

bool background_program::running() {
    if (pid <= 0 || status >= 0) return false;
    int s = 0;
    if (waitpid(pid, &s, WNOHANG) != pid) return true;
    status = WIFEXITED(s) ? WEXITSTATUS(s) : 128 + WTERMSIG(s);
    return false;
}

int background_program::wait(int timeout_ms) {
    for (long long end = now_ms() + timeout_ms; running(); sleep_ms(20))
        if (now_ms() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            status = 124;
        }
    return status;
}

bool wait_until(const std::function<bool()> &ready, int timeout_ms, int step_ms) {
    for (long long end = now_ms() + timeout_ms;; sleep_ms(step_ms)) {
        if (ready()) return true;
        if (now_ms() > end) return false;
    }
}

run_result run_program(const std::vector<std::string> &argv, const std::string &dir,
                       const std::vector<std::string> &env, int timeout_ms) {
    background_program p(argv, dir, env);
    const int status = p.wait(timeout_ms);
    return {status, p.out(), p.err()};
}

scoped_cwd::scoped_cwd(const std::string &dir) {
    char buf[4096];
    old = getcwd(buf, sizeof buf) ? buf : ".";
    if (chdir(dir.c_str()) != 0) abort();
}

scoped_cwd::~scoped_cwd() {
    if (chdir(old.c_str()) != 0) abort();
}

bool in_order(const std::string &text, const std::vector<std::string> &pieces) {
    size_t at = 0;
    for (const auto &p : pieces)
        if ((at = text.find(p, at)) == std::string::npos) return false;
    return true;
}

void copy_data_set(const std::string &dir, const std::vector<std::string> &skip) {
    std::error_code ec;
    for (const auto &e : std::filesystem::directory_iterator(FENDA_DATA_DIR)) {
        std::string ext = e.path().extension().string();
        if (e.is_regular_file() && std::find(skip.begin(), skip.end(), ext) == skip.end())
            std::filesystem::copy_file(e.path(), dir + "/" + e.path().filename().string(), ec);
    }
}

void set_config(const std::string &path, const std::string &key, const std::string &value) {
    std::string text = read_file(path), out;
    bool set = false;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = text.substr(at, end - at);
        if (!set && (line.empty() || line.compare(0, key.size() + 1, key + "=") == 0)) {
            out += key + "=" + value + "\n";
            set = true;
            if (!line.empty()) continue;
        }
        out += line + "\n";
    }
    write_file(path, out);
}
