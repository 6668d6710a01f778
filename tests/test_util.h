// Helpers shared by the tests: temporary directories, files, child processes.
#pragma once
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

// Runs `argv[0]` with the arguments in `dir`, with `env` added to the
// environment (entries "NAME=value"), standard input closed. Kills it after
// `timeout_ms` and reports status 124.
run_result run_program(const std::vector<std::string> &argv, const std::string &dir,
                       const std::vector<std::string> &env = {}, int timeout_ms = 20000);

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
