// fenda_sim: runs the game's simulation headless on a map, with the players'
// control events read from a script, and prints digests of the world state
// so that runs can be compared; with --bench it measures logical frames per
// second instead.
//
//   fenda_sim [--bench] [--record REPLAY] MAP FRAMES [SCRIPT]
//   fenda_sim [--bench] --replay REPLAY
//
// Run in a data directory. SCRIPT lines are "FRAME PLAYER EVENT": the control
// event (0 to 7 pressed, 128 to 135 released) of player 0 to 3, queued as a
// key taken after logical step FRAME would be (FRAME 0: before the first
// step). Empty lines and lines starting with '#' are skipped. --record
// writes the run as a replay; --replay plays a replay of "testmap.fenda"
// and checks that it reaches the digest it recorded: "replay verified at
// frame N" and exit status 0, or "replay differs at frame N" and 1.
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/files.h"
#include "core/realm.h"
#include "frame/config.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "frame/version.h"
#include "game/recording.h"
#include "gfx/video.h"
#include "sim/control.h"
#include "sim/creature.h"
#include "sim/random.h"
#include "sim/replay.h"
#include "sim/state_hash.h"
#include "sim/step.h"
#include "sim/view.h"
#include "world/map_load.h"

namespace {

const shutdown_step sim_chain[] = {
    {SUB_SDL, video_shutdown},
    {SUB_FILES, fs_shutdown},
    {SUB_REALM, realm_shutdown},
    {SUB_LOG, log_close},
    {-1, nullptr},
};

const program_info sim_program = {
    GAME_VERSION,
    "\nTrelm 2D: fenda\n%s\n",
    "\nTrelm 2D: fenda %s\n",
    "Fenda 2 [%s]",
    "fenda_sim.log",
    SUB_SLOTS_MAX,
    LOG_CHANNELS_GAME,
    sim_chain,
};

constexpr int32_t FRAMES_MAX = 2000000000;  // logic_frame and spark end frames stay in 32 bits
constexpr int SCRIPT_LINE_MAX = 200;
constexpr int32_t HASH_EVERY = 100;

struct script_event {
    int32_t frame;
    int32_t player;
    int32_t event;
};

// A whole decimal number between lo and hi, or false.
bool parse_number(const char *text, int64_t lo, int64_t hi, int32_t *out) {
    if (!*text) return false;
    char *end = nullptr;
    long long v = strtoll(text, &end, 10);
    if (*end || v < lo || v > hi) return false;
    *out = (int32_t)v;
    return true;
}

std::vector<script_event> read_script(const char *file_name) {
    std::vector<script_event> events;
    FILE *f = fopen(file_name, "r");
    if (!f) sys_exit(3, "can't open script \"%s\"", file_name);
    char line[SCRIPT_LINE_MAX + 2];
    for (int number = 1; fgets(line, sizeof line, f); number++) {
        size_t len = strlen(line);
        if (len && line[len - 1] == '\n')
            line[--len] = 0;
        else if (!feof(f))
            sys_exit(16, "line too long in script \"%s\" line %d", file_name, number);
        if (len && line[len - 1] == '\r') line[--len] = 0;
        if (!len || line[0] == '#') continue;
        char a[SCRIPT_LINE_MAX], b[SCRIPT_LINE_MAX], c[SCRIPT_LINE_MAX], extra[SCRIPT_LINE_MAX];
        script_event e;
        if (sscanf(line, "%s %s %s %s", a, b, c, extra) != 3 || !parse_number(a, 0, FRAMES_MAX, &e.frame) ||
            !parse_number(b, 0, VIEW_SLOTS - 1, &e.player) || !parse_number(c, 0, 255, &e.event) ||
            (e.event & 0x78))
            sys_exit(16, "bad event \"%s\" in script \"%s\" line %d (FRAME PLAYER EVENT: player 0 to 3, "
                         "event 0 to 7 or 128 to 135)",
                     line, file_name, number);
        events.push_back(e);
    }
    fclose(f);
    // Events are queued in frame order; lines of one frame keep their order.
    std::stable_sort(events.begin(), events.end(),
                     [](const script_event &x, const script_event &y) { return x.frame < y.frame; });
    return events;
}

// Queues the script's events taken after step `frame` into the set being filled.
size_t queue_events(const std::vector<script_event> &events, size_t next, int32_t frame, int set) {
    for (; next < events.size() && events[next].frame == frame; next++)
        control_append(&views[events[next].player].creature->queues[set], events[next].event, logic_frame);
    return next;
}

// Whole pixels, rounded toward minus infinity.
int32_t pixels(int32_t units) {
    int64_t v = units;
    return (int32_t)(v >= 0 ? v / FIXED_ONE : -((-v + FIXED_ONE - 1) / FIXED_ONE));
}

void print_hash() { printf("frame %d %016" PRIx64 "\n", logic_frame, world_hash()); }

void print_players() {
    for (int i = 0; i < VIEW_SLOTS; i++) {
        if (!view_in_use(i)) continue;
        const creature *c = views[i].creature;
        printf("player %d state %d health %d frags %d weapon %d ammo %d x %d y %d\n", i, c->state, c->health,
               c->frags, c->weapon, c->weapons[c->weapon].ammunition, pixels(c->body->x), pixels(c->body->y));
    }
}

[[noreturn]] void usage() {
    sys_exit(16, "usage: fenda_sim [--bench] [--record REPLAY] MAP FRAMES [SCRIPT] | [--bench] --replay REPLAY");
}

turn_state turn;
replay_info replay;
int32_t next_event = 0;

uint32_t record_turn() {
    record_turn_end(&turn);
    return 0;
}

uint32_t replay_turn() {
    replay_queue_turn(&replay, &next_event, logic_frame, turn.applied);
    return 0;
}

void make_players(const bool *slots) {
    for (int i = 0; i < VIEW_SLOTS; i++) {
        auto *c = static_cast<creature *>(ralloc(RMT_GAME, CREATURE_RECORD_SIZE));
        memset(c, 0, CREATURE_RECORD_SIZE);
        c->view = &views[i];
        views[i].creature = c;
        if (slots[i]) init_view(i);
    }
}

void report(bool bench, int32_t frames, std::chrono::steady_clock::duration elapsed) {
    if (!bench && (frames == 0 || frames % HASH_EVERY != 0)) print_hash();
    print_players();
    if (bench) {
        int64_t ns = std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count();
        printf("frames per second %" PRId64 "\n", ns > 0 ? (int64_t)frames * 1000000000 / ns : 0);
    }
}

// Plays the replay to its end frame; the exit status says whether it
// reached its digest.
int run_replay(const char *file, bool bench) {
    replay_load(file, "testmap.fenda", &replay);
    bool slots[VIEW_SLOTS] = {};
    for (int i = 0; i < replay.slot_count; i++) slots[replay.slots[i].slot] = true;
    make_players(slots);
    load_map("testmap.fenda");
    net_turn.wait_turn = replay_turn;
    logic_begin(&turn, replay.interval, replay.send_time);
    auto started = std::chrono::steady_clock::now();
    while (logic_frame < replay.end_frame) {
        logic_step(&turn);
        if (!bench && logic_frame % HASH_EVERY == 0) print_hash();
    }
    report(bench, replay.end_frame, std::chrono::steady_clock::now() - started);
    bool same = world_hash() == replay.end_digest;
    printf("replay %s at frame %d\n", same ? "verified" : "differs", logic_frame);
    return same ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
    frame_start(&sim_program);
    log_enabled = false;  // a driver run leaves no log behind in the data directory
    bool bench = false;
    const char *record = nullptr, *replay_file = nullptr;
    std::vector<const char *> args;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--bench"))
            bench = true;
        else if (!strcmp(argv[i], "--record") && i + 1 < argc)
            record = argv[++i];
        else if (!strcmp(argv[i], "--replay") && i + 1 < argc)
            replay_file = argv[++i];
        else
            args.push_back(argv[i]);
    }
    if (replay_file ? !args.empty() || record : args.size() < 2 || args.size() > 3) usage();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    config_defaults(false);
    fs_init();
    video_init();
    realm_init();
    load_random_table("random.table");
    if (replay_file) {
        int status = run_replay(replay_file, bench);
        fflush(stdout);
        realm_shutdown();
        fs_shutdown();
        video_shutdown();
        return status;
    }
    int32_t frames = 0;
    if (!parse_number(args[1], 0, FRAMES_MAX, &frames))
        sys_exit(16, "bad frame count \"%s\" (0 to %d)", args[1], FRAMES_MAX);

    std::vector<script_event> script;
    if (args.size() == 3) script = read_script(args[2]);

    // Players 0 to 3 take part, as a four-player game sets them up.
    const bool all[VIEW_SLOTS] = {true, true, true, true};
    make_players(all);
    load_map(args[0]);

    if (record) net_turn.wait_turn = record_turn;
    logic_begin(&turn, 1, 1);  // a local game's control interval and send frame
    if (record) record_start(&turn, args[0], record);
    size_t next = queue_events(script, 0, 0, turn.filling);
    auto started = std::chrono::steady_clock::now();
    while (logic_frame < frames) {
        logic_step(&turn);
        next = queue_events(script, next, logic_frame, turn.filling);
        if (!bench && logic_frame % HASH_EVERY == 0) print_hash();
    }
    report(bench, frames, std::chrono::steady_clock::now() - started);
    if (record) record_finish();
    fflush(stdout);
    realm_shutdown();
    fs_shutdown();
    video_shutdown();
    return 0;
}
