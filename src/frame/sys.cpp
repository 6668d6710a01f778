// The program frame shared by both programs: the command line and the one
// exit routine with its shutdown chain.
#include "frame/sys.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "core/files.h"
#include "core/realm.h"
#include "frame/log.h"
#include "frame/version.h"

namespace {

// Used until a program's start-up names its own: the library's own
// subsystems, so that code run outside the programs (tests, drivers) still
// ends cleanly.
const shutdown_step library_chain[] = {
    {SUB_FILES, fs_shutdown},
    {SUB_REALM, realm_shutdown},
    {SUB_LOG, log_close},
    {-1, nullptr},
};

const program_info library_program = {
    GAME_VERSION,
    "\nTrelm 2D: fenda\n%s\n",
    "\nTrelm 2D: fenda %s\n",
    "Fenda 2 [%s]",
    "fenda2.log",
    SUB_SLOTS_MAX,
    LOG_CHANNELS_GAME,
    library_chain,
};

bool exiting = false;

const char help_text[] =
    "\n"
    "  --help                  help summary\n"
    "  --version               show version and exit\n"
    "  --no-log-file           don't write log file\n"
    "  --log-file <filename>   write log to file <filename>\n";

void unknown_option(const char *arg) { printf("\nunknown option - \"%s\"\n", arg); }

}  // namespace

const program_info *program = &library_program;
void (*sys_exit_hook)(int code, const char *message) = nullptr;
const char *(*sys_exit_rescue)() = nullptr;

void frame_start(const program_info *info) {
    program = info;
    subsystems_reset(info->subsystem_slots);
    exiting = false;
    log_reset(info->log_channels, info->default_log_name);
}

void read_options(int argc, char **argv) {
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        if (!strcmp(arg, "--help") || !strcmp(arg, "/?")) {
            printf(program->help_banner, program->version);
            fputs(help_text, stdout);
            log_enabled = false;
            sys_exit(0, "%s", "");
        } else if (!strcmp(arg, "--version")) {
            printf(program->version_banner, program->version);
            log_enabled = false;
            sys_exit(0, "%s", "");
        } else if (!strcmp(arg, "--no-log-file")) {
            log_enabled = false;
        } else if (!strcmp(arg, "--log-file")) {
            // Without a name to follow, or with one too long to keep, the
            // option is reported and the log keeps its current settings.
            if (i + 1 >= argc || strlen(argv[i + 1]) > LOG_NAME_MAX) {
                unknown_option(arg);
                if (i + 1 < argc) i++;
                continue;
            }
            snprintf(log_file_name, sizeof log_file_name, "%s", argv[++i]);
            log_enabled = true;
        } else {
            unknown_option(arg);
        }
    }
}

void sys_exit(int code, const char *format, ...) {
    enum { MESSAGE_MAX = 256, NOTE_MAX = 256 };
    char message[MESSAGE_MAX + NOTE_MAX];
    va_list ap;
    va_start(ap, format);
    vsnprintf(message, MESSAGE_MAX, format, ap);  // longer messages are cut
    va_end(ap);

    if (exiting) {
        // A fatal end raised by a shutdown step: the chain is already
        // running, so report this message and leave at once.
        printf("\n\n%s%s\n\n", code ? "ERROR: " : "", message);
        fflush(stdout);
        _exit(code);
    }
    exiting = true;

    const char *note = sys_exit_rescue ? sys_exit_rescue() : nullptr;
    if (note && *note) {
        size_t n = strlen(message);
        snprintf(message + n, sizeof message - n, "%s%s", n ? "; " : "", note);
    }
    log_write(LOG_ERROR, "%s", message);
    if (sys_exit_hook) sys_exit_hook(code, message);

    for (const shutdown_step *s = program->shutdown_chain; s->slot >= 0; s++)
        if (subsystem_is_up(s->slot)) s->shutdown();

    fputs("\n\n", stdout);
    if (code != 0) fputs("ERROR: ", stdout);
    fputs(message, stdout);
    fputs("\n\n", stdout);
    fflush(stdout);
    exit(code);
}
