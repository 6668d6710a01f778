// Fuzz target: the configuration reader.
#include "frame/config.h"
#include "harness.h"

static void load() { config_read("fuzz.config"); }

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_run("fuzz.config", data, size, load);
    return 0;
}
