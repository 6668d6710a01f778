// Fuzz target: the font loader, and a line of text drawn with the result.
#include "core/realm.h"
#include "gfx/font.h"
#include "harness.h"

static void load() {
    load_font(0, "fuzz.font");
    bitmap b;
    alloc_bitmap(&b, 64, 32, RMT_PICTURE, "fuzz");
    set_colour(255, 255, 255);
    draw_text(&b, 0, 1, 1, "Fenda \x80\xFF");
    free_bitmap(&b);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_run("fuzz.font", data, size, load);
    return 0;
}
