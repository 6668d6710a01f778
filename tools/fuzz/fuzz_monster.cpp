// Fuzz target: the ".monster" reader.
#include "harness.h"
#include "sim/creature.h"

static void load() {
    static creature c;
    static object body;
    c = creature{};
    body = object{};
    c.body = &body;
    load_monster(&c, "fuzz.monster");
    reset_creature(&c);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_run("fuzz.monster", data, size, load);
    return 0;
}
