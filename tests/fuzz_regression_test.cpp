// Every input that once made a fuzz target crash (tools/fuzz/regressions/
// <target>/) must end cleanly here: loaded, or refused through sys_exit.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "gfx/font.h"
#include "world_fixture.h"

namespace {

bool clean_end(int status) {
    if (!WIFEXITED(status)) return false;
    int code = WEXITSTATUS(status);
    return code == 0 || code == 2 || code == 3 || code == 7 || code == 16;
}

// Reads one input the way its fuzz target does, from the data set's directory.
void replay(const std::string &target, const std::string &input) {
    world_env env;
    scoped_cwd data(FENDA_DATA_DIR);
    if (target == "fuzz_map") {
        env.players(2);
        load_map(input.c_str());
    } else if (target == "fuzz_font") {
        load_font(0, input.c_str());
        bitmap b;
        alloc_bitmap(&b, 64, 32, RMT_PICTURE, "fuzz");
        set_colour(255, 255, 255);
        draw_text(&b, 0, 1, 1, "Fenda \x80\xFF");
    } else {
        ADD_FAILURE() << "no reader for " << target;
    }
}

TEST(FuzzRegressions, KeptInputsEndCleanly) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(FENDA_SOURCE_DIR) / "tools/fuzz/regressions";
    int replayed = 0;
    for (const auto &target : fs::directory_iterator(root))
        for (const auto &input : fs::directory_iterator(target.path())) {
            // The file layer takes names of up to 127 characters: replay a copy.
            temp_dir dir;
            std::string copy = dir.file("input");
            fs::copy_file(input.path(), copy);
            SCOPED_TRACE(input.path().string());
            EXPECT_EXIT(
                {
                    replay(target.path().filename(), copy);
                    exit(0);
                },
                clean_end, "");
            replayed++;
        }
    EXPECT_GE(replayed, 2);
}

}  // namespace
