// Shared set-up of the world tests: gfx_env, the world's globals at their
// start, player records for the four views, and a small data set.
#pragma once
#include <cstring>
#include <string>
#include <vector>

#include "gfx_fixture.h"
#include "sim/creature.h"
#include "sim/view.h"
#include "world/grid.h"
#include "world/item.h"
#include "world/map_load.h"
#include "world/object.h"
#include "world/weapon.h"

// Puts the world's globals back to the state of a fresh program.
inline void reset_world_globals() {
    world_lists_clear();
    item_list = nullptr;
    missile_list = explosion_list = spark_list = nullptr;
    grid_forget();
    dm_start_count = 0;
    map_width = map_height = 0;
    memset(views, 0, sizeof views);
}

// A plain opaque picture of w x h pixels.
inline void save_box(const std::string &name, int w, int h) {
    save_picture(name, w, h, [](int, int) { return rgb{200, 40, 40}; });
}

// A ".missle" file: six direction lines, two empty sound lines, `frames` frames.
inline std::string missle_text(const std::string &stem, int frames) {
    std::string t;
    for (int d = 0; d < 6; d++)
        t += stem + "_dir.png " + std::to_string(d) + " -" + std::to_string(d) + " " +
             std::to_string(1000 * (d + 1)) + " " + std::to_string(-100 * d) + "\n";
    t += "\n\n";
    for (int i = 0; i < frames; i++) t += stem + "_boom.png 3 4 " + std::to_string(i + 2) + "\n";
    return t + " \n";
}

// A ".monster" file of a w x h body whose frame i lasts i + 1 ticks.
inline std::string monster_text(int w, int h, const std::string &stem = "hero") {
    std::string t = std::to_string(w) + "\n" + std::to_string(h) + "\n";
    for (int i = 0; i < CREATURE_FRAMES; i++)
        t += stem + std::to_string(i % 4) + ".png " + std::to_string(i) + " -2 " + std::to_string(i + 1) + "\n";
    return t + "\n10\n20\n5\n70000\n300000\n100\n";
}

// Everything a map load touches besides the map itself.
inline void write_world_data() {
    save_box("back.png", 600, 300);
    save_box("status.png", 160, 240);
    for (int d = 0; d < 10; d++) save_box("rn" + std::to_string(d) + ".png", 4 + d, 6);
    for (const char *n : {"plasmabolt.png", "rocket_launcher.png", "shotgun.png", "spark.png", "spark_3.png",
                          "shell_spark.png", "medic_kit.png", "cell_smallbox.png", "cell_bigbox.png",
                          "rocket_1.png", "rocket_box.png", "shells_4.png", "shell_box.png"})
        save_box(n, 10 + (int)strlen(n), 7);
    save_box("plasma_dir.png", 6, 3);
    save_box("plasma_boom.png", 9, 9);
    save_box("rocket_dir.png", 8, 4);
    save_box("rocket_boom.png", 12, 12);
    write_file("plasma.missle", missle_text("plasma", 3));
    write_file("rocket.missle", missle_text("rocket", 4));
    save_box("wall.png", 32, 16);
    save_box("wall2.png", 64, 8);
    save_box("plat.png", 48, 8);
    save_box("ladder.png", 16, 64);
    save_box("deco.png", 20, 20);
    for (int i = 0; i < 4; i++) save_box("hero" + std::to_string(i) + ".png", 20 + i, 30);
    for (int i = 0; i < 4; i++) save_box("imp" + std::to_string(i) + ".png", 10 + i, 12);
    write_file("hero.monster", monster_text(18, 28));
    write_file("imp.monster", monster_text(12, 14, "imp"));
}

// The text of a map: head lines, the object lines, the end line.
inline std::string map_text(const std::vector<std::string> &lines) {
    std::string t = "1000 600 back.png\n\nstatus.png\n\n";
    for (const std::string &l : lines) t += l + "\n";
    return t + " \n";
}

// A fresh world whose four player records have state 0, as the main menu
// leaves them before it starts views.
struct world_env : gfx_env {
    world_env() {
        reset_world_globals();
        for (int i = 0; i < VIEW_SLOTS; i++) {
            auto *c = static_cast<creature *>(ralloc(RMT_GAME, CREATURE_RECORD_SIZE));
            memset(c, 0, CREATURE_RECORD_SIZE);
            c->view = &views[i];
            views[i].creature = c;
        }
    }
    ~world_env() { reset_world_globals(); }
    // Makes players 0 to n - 1 take part.
    void players(int n) {
        for (int i = 0; i < n; i++) init_view(i);
    }
};

// The records of a list, first to last.
template <typename T>
std::vector<T *> records_of(list_node *list) {
    std::vector<T *> out;
    for (list_node *n = list; n; n = n->next) out.push_back(static_cast<T *>(n->element));
    return out;
}
