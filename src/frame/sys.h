// The program's frame: the one exit routine with its shutdown chain, the
// command line and the description of the running program (game or editor).
#pragma once

#include "frame/subsystem.h"  // the slots that the shutdown chain names

// One step of the shutdown chain: the shutdown runs when its flag is up.
struct shutdown_step {
    int slot;
    void (*shutdown)();
};

// What differs between the two programs; the variant's main fills it in.
struct program_info {
    const char *version;         // shown by --version, --help and the first log line
    const char *help_banner;     // printf format with the version string
    const char *version_banner;  // printf format with the version string
    const char *first_log_line;  // printf format with the version string
    const char *default_log_name;
    int subsystem_slots;         // 8 in the game, 6 in the editor
    int log_channels;            // channels of the log table
    const shutdown_step *shutdown_chain;  // ends with a step whose slot is -1
};

extern const program_info *program;

// Called by sys_exit after the message is formatted and logged, before the
// shutdowns; tests use it to see fatal ends. Null in the programs.
extern void (*sys_exit_hook)(int code, const char *message);

// Called by sys_exit before the shutdowns, while every subsystem still
// runs: the editor keeps its unsaved changes there, the game closes its
// replay. A text it returns is added to the final message.
extern const char *(*sys_exit_rescue)();

// Resets the frame to its start state for `info`: every flag clear, the log
// switched on with the variant's default name and channel table.
void frame_start(const program_info *info);

// Reads the command line; prints help/version and ends there when asked.
void read_options(int argc, char **argv);

// The only way out: logs the message on LOG_ERROR, shuts down every running
// subsystem in chain order, prints the message and exits with `code`.
[[noreturn]] void sys_exit(int code, const char *format, ...)
    __attribute__((format(printf, 2, 3)));
