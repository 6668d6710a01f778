// The fuzz targets' shared frame.
#include "harness.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/files.h"
#include "core/realm.h"
#include "frame/config.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "gfx/bitmap.h"
#include "gfx/video.h"
#include "sim/view.h"
#include "world/grid.h"
#include "world/item.h"
#include "world/map_load.h"
#include "world/object.h"
#include "world/weapon.h"

namespace {

const shutdown_step no_shutdowns[] = {{-1, nullptr}};
const program_info fuzz_program = {"fuzz", "%s", "%s", "%s", "fuzz.log", 8, LOG_CHANNELS_GAME, no_shutdowns};

jmp_buf fatal_end;

bool show_exits = false;  // FUZZ_SHOW_EXITS=1 prints each refusal

// Back to the harness: the input was refused with a message, as it should be.
[[noreturn]] void return_to_harness(int code, const char *message) {
    if (show_exits) fprintf(stderr, "sys_exit(%d): %s\n", code, message);
    longjmp(fatal_end, 1);
}

void copy_file(const std::string &from, const std::string &to) {
    FILE *in = fopen(from.c_str(), "rb");
    if (!in) return;
    FILE *out = fopen(to.c_str(), "wb");
    char buffer[65536];
    size_t n;
    while (out && (n = fread(buffer, 1, sizeof buffer, in)) > 0) fwrite(buffer, 1, n, out);
    if (out) fclose(out);
    fclose(in);
}

}  // namespace

void fuzz_init() {
    char scratch[] = "/tmp/fenda_fuzz_XXXXXX";
    if (!mkdtemp(scratch)) abort();
    if (DIR *d = opendir(FENDA_DATA_DIR)) {
        while (dirent *e = readdir(d))
            if (e->d_name[0] != '.') copy_file(std::string(FENDA_DATA_DIR "/") + e->d_name, std::string(scratch) + "/" + e->d_name);
        closedir(d);
    }
    if (chdir(scratch) != 0) abort();
    // The copy goes when the process ends.
    static std::string made;
    made = scratch;
    atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(made, ec);
    });
    show_exits = getenv("FUZZ_SHOW_EXITS") != nullptr;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    frame_start(&fuzz_program);
    log_enabled = false;
    config_defaults(false);
    config.colour = 32;
    video_init();
}

void fuzz_run(const char *file_name, const uint8_t *data, size_t size, void (*body)()) {
    FILE *f = fopen(file_name, "wb");
    if (!f) abort();
    fwrite(data, 1, size, f);
    fclose(f);

    // A fresh frame: no exit in progress, the log off, the world empty.
    bool sdl_up = subsystem_is_up(SUB_SDL);
    frame_start(&fuzz_program);
    subsystem_set(SUB_SDL, sdl_up);
    log_enabled = false;
    config_defaults(false);
    config.colour = 32;
    sys_exit_hook = return_to_harness;
    fs_init();
    realm_init();
    world_lists_clear();
    item_list = nullptr;
    missile_list = explosion_list = spark_list = nullptr;
    grid_forget();
    dm_start_count = 0;
    memset(views, 0, sizeof views);
    background = nullptr;

    if (!setjmp(fatal_end)) body();

    sys_exit_hook = nullptr;
    fs_shutdown();
    realm_shutdown();
    world_lists_clear();
    memset(views, 0, sizeof views);
    background = nullptr;
}
