// Helpers shared by the tests: temporary directories, files, child
// processes, the clock.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

// A fresh directory under the system's temporary directory, removed with
// everything in it when the value goes out of scope.
struct temp_dir {
    std::string path;
    temp_dir();
    ~temp_dir();
    temp_dir(const temp_dir &) = delete;
    temp_dir &operator=(const temp_dir &) = delete;
    std::string file(const std::string &name) const { return path + "/" + name; }
};

void write_file(const std::string &path, const std::string &contents);
std::string read_file(const std::string &path);   // "" when missing
bool file_exists(const std::string &path);

// Result of running a program to its end.
struct run_result {
    int status;          // exit status, or 128 + signal number
    std::string out;     // everything written to standard output
    std::string err;     // everything written to standard error
};

// A program that runs while the test goes on, in `dir` with `env` added to
// the environment (entries "NAME=value"), standard input closed. Its
// standard output and error go to temporary files; it is killed if it
// still runs when the value goes out of scope.
struct background_program {
    pid_t pid = -1;
    std::string out_path, err_path;
    int status = -1;  // once ended: exit status, or 128 + signal number
    background_program(const std::vector<std::string> &argv, const std::string &dir,
                       const std::vector<std::string> &env);
    ~background_program();
    background_program(const background_program &) = delete;
    background_program &operator=(const background_program &) = delete;
    bool running();
    // Waits for the end; 124 when it had not ended after `timeout_ms`, and
    // the program is then killed.
    int wait(int timeout_ms);
    std::string out() const { return read_file(out_path); }
    std::string err() const { return read_file(err_path); }
};

// Calls `ready` every `step_ms` until it answers true or `timeout_ms` have
// passed; its last answer.
bool wait_until(const std::function<bool()> &ready, int timeout_ms, int step_ms = 100);

// Runs `argv[0]` with the arguments to its end, as a background program;
// status 124 when it was killed after `timeout_ms`.
run_result run_program(const std::vector<std::string> &argv, const std::string &dir,
                       const std::vector<std::string> &env = {}, int timeout_ms = 20000);

long long now_ms();  // a monotonic clock
void sleep_ms(int ms);

// True when every piece appears in the text, each after the one before.
bool in_order(const std::string &text, const std::vector<std::string> &pieces);

// Copies the data set's files into `dir`, but for those with one of the
// `skip` extensions; a file that cannot be copied is left out.
void copy_data_set(const std::string &dir, const std::vector<std::string> &skip = {});

// Sets `key` in the configuration file at `path`: its line is replaced, or
// a new one goes before the empty line that ends the file.
void set_config(const std::string &path, const std::string &key, const std::string &value);

// Changes the working directory for the lifetime of the value.
struct scoped_cwd {
    std::string old;
    explicit scoped_cwd(const std::string &dir);
    ~scoped_cwd();
};
