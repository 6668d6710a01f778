// Fuzz target: the replay reader, and a read replay's events queued turn by
// turn into the rings of its players, as the game and fenda_sim play it.
#include <cstdlib>
#include <cstring>

#include "core/realm.h"
#include "harness.h"
#include "sim/creature.h"
#include "sim/replay.h"
#include "sim/view.h"

namespace {

const uint8_t *input;
size_t input_size;

void run() {
    replay_info r;
    char error[REPLAY_ERROR_MAX];
    if (!replay_read(input, input_size, &r, error)) {
        // The message names a byte of the file.
        if (!memchr(error, 0, sizeof error) || !strstr(error, " at byte ")) abort();
        return;
    }
    for (int i = 0; i < VIEW_SLOTS; i++) {
        auto *c = static_cast<creature *>(ralloc(RMT_GAME, CREATURE_RECORD_SIZE));
        memset(c, 0, CREATURE_RECORD_SIZE);
        views[i].creature = c;
    }
    // Straight to the turn end at or after each next event.
    for (int32_t next = 0; next < r.event_count;) {
        int32_t frame, slot, command;
        replay_event(&r, next, &frame, &slot, &command);
        int64_t turn_end = ((int64_t)frame + r.interval - 1) / r.interval * r.interval;
        if (turn_end > r.end_frame) break;
        replay_queue_turn(&r, &next, (int32_t)turn_end, (int)(turn_end / r.interval % 2));
        for (int i = 0; i < VIEW_SLOTS; i++)
            for (control_queue &q : views[i].creature->queues) q.read = q.write;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    input = data;
    input_size = size;
    fuzz_run("fuzz.replay", data, size, run);
    return 0;
}
