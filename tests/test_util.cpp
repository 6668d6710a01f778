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
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

// Directories made by this process and not yet removed. A death test's
// child ends through exit() without running destructors, so the directories
// it made itself are removed when it exits; a forked child leaves its
// parent's directories alone (they belong to another process id).
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

}  // namespace

temp_dir::temp_dir() {
    static bool registered = (atexit(remove_own_dirs_at_exit), true);
    (void)registered;
    const char *base = getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/fenda_test_XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) {
        perror("mkdtemp");
        abort();
    }
    path = buf.data();
    live_dirs().push_back({path, getpid()});
}

temp_dir::~temp_dir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    auto &dirs = live_dirs();
    for (size_t i = 0; i < dirs.size(); i++) {
        if (dirs[i].path == path) {
            dirs.erase(dirs.begin() + (long)i);
            break;
        }
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

static long long now_ms() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

run_result run_program(const std::vector<std::string> &argv, const std::string &dir,
                       const std::vector<std::string> &env, int timeout_ms) {
    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) abort();
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        int devnull = open("/dev/null", O_RDONLY);
        dup2(devnull, 0);
        dup2(out_pipe[1], 1);
        dup2(err_pipe[1], 2);
        close(out_pipe[0]);
        close(err_pipe[0]);
        for (const auto &e : env) putenv(strdup(e.c_str()));
        std::vector<char *> args;
        for (const auto &a : argv) args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    run_result r{0, "", ""};
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    int open_fds = 2;
    long long deadline = now_ms() + timeout_ms;
    bool killed = false;
    while (open_fds > 0) {
        long long left = deadline - now_ms();
        if (left <= 0) {
            kill(pid, SIGKILL);
            killed = true;
            break;
        }
        int n = poll(fds, 2, (int)left);
        if (n < 0 && errno == EINTR) continue;
        for (int i = 0; i < 2; i++) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buf[4096];
            ssize_t got = read(fds[i].fd, buf, sizeof buf);
            if (got <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
                open_fds--;
            } else {
                (i == 0 ? r.out : r.err).append(buf, (size_t)got);
            }
        }
    }
    for (auto &p : fds)
        if (p.fd >= 0) close(p.fd);
    int status = 0;
    waitpid(pid, &status, 0);
    if (killed)
        r.status = 124;
    else if (WIFEXITED(status))
        r.status = WEXITSTATUS(status);
    else
        r.status = 128 + WTERMSIG(status);
    return r;
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
