// Recording every game into "fenda2.replay", and preparing a replay to be
// watched.
#include "game/recording.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "frame/config.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "game/menu.h"
#include "gfx/draw.h"
#include "net/net.h"
#include "sim/creature.h"
#include "sim/state_hash.h"
#include "sim/view.h"
#include "world/map_load.h"

const char *const REPLAY_FILE = "fenda2.replay";
bool replay_watching = false;
replay_info watched;

namespace {

FILE *recording = nullptr;
char recording_name[256], temp_name[sizeof recording_name + 5];
const turn_state *recorded_turn = nullptr;
int32_t next_watched = 0;
int32_t checkpoint_frame = 0;
uint64_t checkpoint_digest = 0;

// Computers are named by the lowest slot played on them, the same number on
// every computer of a network game.
int32_t computer_of(int slot) {
    if (!subsystem_is_up(SUB_NETWORK)) return 0;
    for (const net_node &n : net_nodes)
        for (int j = 0; n.used && j < n.player_count; j++)
            if (n.players[j] == slot) {
                int32_t lowest = slot;
                for (int k = 0; k < n.player_count; k++)
                    if (n.players[k] < lowest) lowest = n.players[k];
                return lowest;
            }
    return slot;
}

void stop_recording(const char *why) {
    log_warning("replay not recorded: %s", why);
    if (recording) fclose(recording);
    recording = nullptr;
    unlink(temp_name);
}

void write(const uint8_t *bytes, size_t n) {
    if (recording && fwrite(bytes, 1, n, recording) != n) stop_recording("writing failed");
}

const char *finish_on_exit() {
    record_finish();
    return nullptr;
}

}  // namespace

void log_end_digest(int32_t frame, uint64_t digest) {
    log_write(LOG_NOTE, "world digest %016" PRIx64 " at logical frame %u", digest, (unsigned)frame);
}

void record_start(const turn_state *turn, const char *map_file, const char *replay_file) {
    snprintf(recording_name, sizeof recording_name, "%s", replay_file);
    snprintf(temp_name, sizeof temp_name, "%s.part", recording_name);
    replay_info info = {};
    if (!file_digest(map_file, &info.map_digest) || !file_digest("random.table", &info.random_digest))
        return stop_recording("the map or the random table cannot be read");
    info.interval = turn->interval;
    info.send_time = turn->send_time;
    for (int s = 0; s < VIEW_SLOTS; s++) {
        if (!view_in_use(s)) continue;
        replay_slot &r = info.slots[info.slot_count++];
        r.slot = s;
        r.computer = computer_of(s);
        // A local game's players are named by the configuration.
        const char *name = views[s].name[0] ? views[s].name : config.player_name[s];
        size_t length = strnlen(name, REPLAY_NAME_MAX);
        memcpy(r.name, name, length);
        r.name[length] = 0;
        if (!views[s].remote) info.writer = r.computer;
    }
    recording = fopen(temp_name, "wb");
    if (!recording) return stop_recording("the file cannot be made");
    uint8_t header[REPLAY_HEADER_MAX];
    write(header, replay_encode_header(&info, header));
    recorded_turn = turn;
    checkpoint_frame = logic_frame;
    checkpoint_digest = world_hash();
    sys_exit_rescue = finish_on_exit;
}

void record_turn_end(const turn_state *turn) {
    if (!recording) return;
    // What run_commands applies next, in its order.
    for (int s = 0; s < VIEW_SLOTS; s++) {
        if (!view_in_use(s)) continue;
        const control_queue &q = views[s].creature->queues[turn->applied];
        for (int32_t k = q.read; k != q.write; k = (k + 1) % CREATURE_QUEUE) {
            uint8_t event[REPLAY_EVENT_SIZE];
            replay_encode_event(logic_frame, s, q.entries[k].event & 0xFF, event);
            write(event, sizeof event);
        }
    }
    // A game that stops between turn ends ends its replay at the last turn
    // end whose digest is kept: every turn of a network game (the digest
    // the turn's end just sent), every 100 frames of a local one (a digest
    // costs about three logical frames).
    if (subsystem_is_up(SUB_NETWORK)) {
        checkpoint_frame = logic_frame;
        checkpoint_digest = net_last_digest;
    } else if (turn->interval > 1 || logic_frame % REPLAY_CHECKPOINT_FRAMES == 0) {
        checkpoint_frame = logic_frame;
        checkpoint_digest = world_hash();
    }
}

void record_finish() {
    if (!recording) return;
    // At a turn end (every frame of a local game) the world as it stands;
    // otherwise the last turn end kept.
    if (recorded_turn->countdown == 0) {
        checkpoint_frame = logic_frame;
        checkpoint_digest = world_hash();
    }
    uint8_t end[REPLAY_END_SIZE];
    replay_encode_end(checkpoint_frame, checkpoint_digest, end);
    write(end, sizeof end);
    if (!recording) return;
    bool ok = fclose(recording) == 0;
    recording = nullptr;
    sys_exit_rescue = nullptr;
    if (!ok || rename(temp_name, recording_name) != 0) return stop_recording("the file cannot be closed or renamed");
    log_end_digest(checkpoint_frame, checkpoint_digest);
}

bool replay_exists() {
    struct stat st;
    return stat(REPLAY_FILE, &st) == 0 && S_ISREG(st.st_mode);
}

void watch_prepare() {
    replay_load(REPLAY_FILE, "testmap.fenda", &watched);
    config.net_control_interval = watched.interval;
    config.net_control_send_time = watched.send_time;
    int width_slots = 0;
    for (int i = 0; i < watched.slot_count; i++) {
        const replay_slot &s = watched.slots[i];
        init_view(s.slot);
        memcpy(views[s.slot].name, s.name, sizeof s.name);
        if (s.slot + 1 > width_slots) width_slots = s.slot + 1;
    }
    set_game_display(width_slots);
    show_start_picture();
    load_map("testmap.fenda");
    replay_watching = true;
    next_watched = 0;
    log_write(LOG_NOTE, "watching \"%s\": %d player(s), %d events, %d logical frames", REPLAY_FILE, watched.slot_count,
              watched.event_count, watched.end_frame);
}

void watch_turn_end(const turn_state *turn) { replay_queue_turn(&watched, &next_watched, logic_frame, turn->applied); }
