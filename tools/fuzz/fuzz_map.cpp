// Fuzz target: the game's map loader, with two players in the game.
#include <cstring>

#include "core/realm.h"
#include "harness.h"
#include "sim/creature.h"
#include "sim/view.h"
#include "world/map_load.h"

static void load() {
    for (int i = 0; i < 2; i++) {
        auto *c = static_cast<creature *>(ralloc(RMT_GAME, CREATURE_RECORD_SIZE));
        memset(c, 0, CREATURE_RECORD_SIZE);
        c->view = &views[i];
        views[i].creature = c;
        init_view(i);
    }
    load_map("fuzz.fenda");
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_run("fuzz.fenda", data, size, load);
    return 0;
}
