// Load time of the data set's "testmap.fenda" and of a generated map with
// as many objects as the game's realm can hold, each beside a reference
// taken in the same run: one pass over the same file's words and lines
// through the file layer, the reading that the loader cannot avoid.
//
// Usage: map_load_bench. Runs on SDL's dummy display in a scratch copy of data/.
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/files.h"
#include "core/realm.h"
#include "frame/config.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "gfx/bitmap.h"
#include "gfx/video.h"
#include "sim/creature.h"
#include "sim/view.h"
#include "world/grid.h"
#include "world/item.h"
#include "world/map_load.h"
#include "world/object.h"
#include "world/weapon.h"

namespace {

const shutdown_step no_shutdowns[] = {{-1, nullptr}};
const program_info bench_program = {"bench", "%s", "%s", "%s", "bench.log", 8, LOG_CHANNELS_GAME, no_shutdowns};

jmp_buf refused;
[[noreturn]] void back_to_bench(int, const char *) { longjmp(refused, 1); }

void copy_data_set() {
    char scratch[] = "/tmp/fenda_bench_XXXXXX";
    if (!mkdtemp(scratch)) abort();
    DIR *d = opendir(FENDA_DATA_DIR);
    if (!d) abort();
    while (dirent *e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        std::string from = std::string(FENDA_DATA_DIR "/") + e->d_name, to = std::string(scratch) + "/" + e->d_name;
        FILE *in = fopen(from.c_str(), "rb"), *out = fopen(to.c_str(), "wb");
        char buffer[65536];
        size_t n;
        while (in && out && (n = fread(buffer, 1, sizeof buffer, in)) > 0) fwrite(buffer, 1, n, out);
        if (in) fclose(in);
        if (out) fclose(out);
    }
    closedir(d);
    if (chdir(scratch) != 0) abort();
    // The copy goes when the process ends.
    static std::string made;
    made = scratch;
    atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(made, ec);
    });
}

void fresh_world() {
    fs_init();
    realm_init();
    world_lists_clear();
    item_list = nullptr;
    missile_list = explosion_list = spark_list = nullptr;
    grid_forget();
    dm_start_count = 0;
    memset(views, 0, sizeof views);
    background = nullptr;
    for (int i = 0; i < 2; i++) {
        auto *c = static_cast<creature *>(ralloc(RMT_GAME, CREATURE_RECORD_SIZE));
        memset(c, 0, CREATURE_RECORD_SIZE);
        c->view = &views[i];
        views[i].creature = c;
        init_view(i);
    }
}

void end_world() {
    fs_shutdown();
    realm_shutdown();
}

int count(list_node *list) {
    int n = 0;
    for (; list; list = list->next) n++;
    return n;
}

double ms_since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Loads the map; false when the program would have ended (out of blocks).
bool try_load(const char *name, double *ms, int *objects) {
    // A fresh frame for every try: a refused load left an exit under way.
    bool sdl_up = subsystem_is_up(SUB_SDL);
    frame_start(&bench_program);
    subsystem_set(SUB_SDL, sdl_up);
    log_enabled = false;
    fresh_world();
    sys_exit_hook = back_to_bench;
    bool ok = false;
    if (!setjmp(refused)) {
        auto t0 = std::chrono::steady_clock::now();
        load_map(name);
        *ms = ms_since(t0);
        *objects = count(object_list);
        ok = true;
    }
    sys_exit_hook = nullptr;
    end_world();
    return ok;
}

// One pass over the file's lines through the file layer.
double read_pass(const char *name) {
    fresh_world();
    auto t0 = std::chrono::steady_clock::now();
    uint8_t h = fs_open(name, "rt", 1);
    char line[MAP_FIELD_MAX + 1];
    // Up to the end line, whose first character is a blank.
    for (int i = 0;; i++) {
        fs_read_line(h, MAP_FIELD_MAX, line, '\n');
        if (i >= 4 && line[0] == ' ') break;
    }
    fs_close(h);
    double ms = ms_since(t0);
    end_world();
    return ms;
}

void report(const char *name, int reps) {
    double best = 1e300, ref = 1e300;
    int objects = 0;
    for (int i = 0; i < reps; i++) {
        double ms;
        if (!try_load(name, &ms, &objects)) {
            printf("%s: refused\n", name);
            return;
        }
        if (ms < best) best = ms;
        double r = read_pass(name);
        if (r < ref) ref = r;
    }
    printf("%-16s %6d objects  load %9.3f ms  (%7.2f us/object)  reference read pass %8.3f ms\n", name, objects, best,
           1000 * best / (objects ? objects : 1), ref);
}

// The head lines, the first wall's picture and the PLAYER lines of the
// data set's map, to build a larger map from.
std::string head_and_first_wall(std::string *wall_picture, std::string *players) {
    FILE *f = fopen("testmap.fenda", "rb");
    if (!f) abort();
    std::string head;
    char line[256];
    for (int i = 0; i < 4 && fgets(line, sizeof line, f); i++) head += line;
    while (fgets(line, sizeof line, f)) {
        char *kind = strstr(line, " WALL ");
        if (kind && wall_picture->empty()) {
            *wall_picture = kind + 6;
            wall_picture->erase(wall_picture->find_last_not_of("\r\n") + 1);
        }
        if (strstr(line, " PLAYER ")) *players += line;
    }
    fclose(f);
    return head;
}

// A map of n objects spread over a large area: one wall in four, the rest
// decorations and ladders.
void write_large_map(int n, const std::string &head, const std::string &picture, const std::string &players) {
    std::string size = "8000 4000 ";
    std::string text = size + head.substr(head.find(' ', head.find(' ') + 1) + 1);
    const char *kinds[4] = {"WALL", "DECORATION", "DECORATION", "LADDER"};
    for (int i = 0; i < n; i++) {
        int x = (i * 37) % 7900, y = (i * 53) % 3900;
        text += std::to_string(x) + " " + std::to_string(y) + " " + kinds[i % 4] + " " + picture + "\n";
    }
    text += players + " \n";
    FILE *f = fopen("large.fenda", "wb");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

}  // namespace

int main() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    log_enabled = false;
    config_defaults(false);
    config.colour = 32;
    copy_data_set();
    video_init();

    report("testmap.fenda", 5);

    // The largest map the game's realm takes: halve the step until the
    // count that still loads is found.
    std::string picture, players;
    std::string head = head_and_first_wall(&picture, &players);
    int lo = 0, hi = 8128;
    while (lo < hi) {
        int mid = (lo + hi + 1) / 2;
        write_large_map(mid, head, picture, players);
        double ms;
        int objects;
        if (try_load("large.fenda", &ms, &objects))
            lo = mid;
        else
            hi = mid - 1;
    }
    write_large_map(lo, head, picture, players);
    report("large.fenda", 5);
    video_shutdown();
    return 0;
}
