// Fuzz target: the ".missle" reader.
#include "harness.h"
#include "world/weapon.h"

static void load() { load_missile_file(&missile_definitions[0], &explosion_definitions[0], "fuzz.missle"); }

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_run("fuzz.missle", data, size, load);
    return 0;
}
