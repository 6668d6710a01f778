// Helpers shared by the tests: temporary directories, files, child
// processes, the clock.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

// A fresh temporary directory, removed with its contents with the value.
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

// A program running beside the test in `dir` with `env` ("NAME=value")
// added, standard input closed, output and errors kept in temporary files;
// killed if it still runs when the value goes.
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
    // Waits for the end; after `timeout_ms` kills the program and gives 124.
    int wait(int timeout_ms);
    std::string out() const { return read_file(out_path); }
    std::string err() const { return read_file(err_path); }
};

// Asks `ready` every `step_ms` until true or `timeout_ms` passed; its last answer.
bool wait_until(const std::function<bool()> &ready, int timeout_ms, int step_ms = 100);

// Runs `argv` to its end as a background program (124: killed after `timeout_ms`).
run_result run_program(const std::vector<std::string> &argv, const std::string &dir,
                       const std::vector<std::string> &env = {}, int timeout_ms = 20000);

long long now_ms();  // a monotonic clock
void sleep_ms(int ms);

// True when every piece appears in the text, each after the one before.
bool in_order(const std::string &text, const std::vector<std::string> &pieces);

// Copies the data set's files into `dir`, but for the `skip` extensions.
void copy_data_set(const std::string &dir, const std::vector<std::string> &skip = {});

// Sets `key` in a configuration file: its line replaced, or added before the closing empty line.
void set_config(const std::string &path, const std::string &key, const std::string &value);

// Changes the working directory for the lifetime of the value.
struct scoped_cwd {
    std::string old;
    explicit scoped_cwd(const std::string &dir);
    ~scoped_cwd();
};
