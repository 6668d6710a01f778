// The data set (data/, made by tools/gen_data.sh) loaded with the programs'
// loaders: what the golden fight, which pins testmap.fenda, the descriptions
// and random.table, does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "frame/config.h"
#include "frame/subsystem.h"
#include "sim/view.h"
#include "sound/sound.h"
#include "world_fixture.h"

namespace {

constexpr int32_t PX = FIXED_ONE;

// The data set's files whose names end with `ext`, sorted.
std::vector<std::string> files_ending(const std::string &ext) {
    std::vector<std::string> out;
    for (const auto &e : std::filesystem::directory_iterator(FENDA_DATA_DIR)) {
        std::string n = e.path().filename().string();
        if (n.size() > ext.size() && n.compare(n.size() - ext.size(), ext.size(), ext) == 0) out.push_back(n);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The world of world_env in the data set's directory with its configuration
// read and sound started; the pointers into the world's memory are cleared
// at the end.
struct data_world {
    world_env env;
    scoped_cwd data{FENDA_DATA_DIR};
    data_world() {
        config_read("fenda2.config");
        EXPECT_TRUE(sound_init() && subsystem_is_up(SUB_SOUND));
    }
    ~data_world() {
        sound_shutdown();
        for (weapon_entry &w : weapons) w.picture = nullptr;
        for (sprite *&d : status_digits) d = nullptr;
        status_picture.block = nullptr;
    }
};

rgb colour_of(uint32_t pixel) {
    rgb c;
    SDL_GetRGB(pixel, screen_surface->format, &c.r, &c.g, &c.b);
    return c;
}
double luminance(rgb c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

// Calls `at` with the place and colour of every opaque pixel of the sprite.
void each_opaque(const sprite *s, const std::function<void(int, int, rgb)> &at) {
    for (int y = 0; y < s->height; y++) {
        const uint8_t *p = s->rows[y];
        for (int r = 0, x = 0; r < s->run_counts[y]; r++) {
            x += s->runs[y][2 * r];
            for (int i = 0; i < s->runs[y][2 * r + 1]; i++, x++, p += bytes_per_pixel)
                at(x, y, colour_of(pixel_load(p, bytes_per_pixel)));
        }
    }
}

}  // namespace

TEST(DataMaps, EveryMapLoadsWithFourPlayersAndNothingStartsInsideAWall) {
    const std::vector<std::string> maps = files_ending(".fenda");
    ASSERT_FALSE(maps.empty());
    for (const std::string &name : maps) {
        SCOPED_TRACE(name);
        data_world w;
        w.env.players(4);
        load_map(name.c_str());  // every picture, description, sound and the music
        std::vector<const object *> walls, things;
        for (list_node *n = object_list; n; n = n->next) {
            const object *o = static_cast<object *>(n->element);
            if (o->kind == OBJ_WALL) walls.push_back(o);
            if (o->kind == OBJ_PLATFORM || o->kind == OBJ_ITEM || o->kind == OBJ_MONSTER) things.push_back(o);
        }
        // Deathmatch starts and teleport destinations hold player 0's body.
        std::vector<object> places;
        auto body_at = [](int32_t x, int32_t y) {
            object o = *views[0].creature->body;
            o.x = x;
            o.y = y;
            return o;
        };
        for (int i = 0; i < dm_start_count; i++) places.push_back(body_at(dm_starts[i].x, dm_starts[i].y));
        for (list_node *n = trigger_list; n; n = n->next) {
            const trigger *t = static_cast<trigger *>(n->element);
            if (t->type == TRIGGER_TELEPORT) places.push_back(body_at(t->value1, t->value2));
        }
        for (const object &p : places) things.push_back(&p);
        for (const object *t : things) {
            SCOPED_TRACE(std::string(kind_names[t->kind]) + " at " + std::to_string(t->x / PX) + "," + std::to_string(t->y / PX));
            EXPECT_TRUE(t->x >= 0 && t->y >= 0 && t->x + t->w <= map_width && t->y + t->h <= map_height);
            for (const object *wall : walls)
                EXPECT_FALSE(boxes_overlap(t, wall)) << "the wall at " << wall->x / PX << "," << wall->y / PX;
        }
    }
}

// Explosions show only between the fight's samples, so their pictures'
// offsets are this test's to check.
TEST(DataMissiles, ExplosionsAreCentredOnThePointOfImpact) {
    data_world w;
    weapon_setup();
    for (int t = 0; t < 2; t++) {
        const explosion_definition &e = explosion_definitions[missile_definitions[t].explosion_kind];
        ASSERT_GE(e.frame_count, 1);
        for (int i = 0; i < e.frame_count; i++) {
            const sprite *p = e.frames[i].picture;
            EXPECT_NEAR(p->dx, -p->width / 2, 2) << p->name;
            EXPECT_NEAR(p->dy, -p->height / 2, 2) << p->name;
        }
    }
}

// Pictures mended for how they show: the menu with a margin on the start
// picture, pellet strikes visible on both backgrounds, the panel's unlit
// digit segments too dark to make 10 read as 810.
TEST(DataPictures, MenuFitsPelletsShowAndUnlitDigitsStayDark) {
    data_world w;
    bitmap menu, panel;
    load_bitmap(&menu, "menu.png", RMT_PICTURE);
    load_bitmap(&panel, "status_panel.png", RMT_PICTURE);
    EXPECT_LE(75 + menu.width, 640 - 40);
    EXPECT_LE(70 + menu.height, 480 - 40);
    each_opaque(load_sprite("shell_spark.png", RMT_GAME),
                [](int x, int y, rgb c) { EXPECT_GE(std::min({c.r, c.g, c.b}), 200) << x << ", " << y; });
    load_status_picture("status_panel.png");
    const int dw = status_digits[0]->width;
    double lit = 0, unlit[3] = {0, 0, 0};
    each_opaque(status_digits[8], [&](int x, int y, rgb c) {
        lit += luminance(c);
        for (int cell = 0; cell < 3; cell++) unlit[cell] += luminance(colour_of(pixel_at(panel, 25 + cell * dw + x, 13 + y)));
    });
    ASSERT_GT(lit, 0);
    for (double u : unlit) EXPECT_LT(u, lit / 4);
}

TEST(DataFont, TwoFiftySixGlyphsReadableAsciiAndCyrillic) {
    std::string f = read_file(std::string(FENDA_DATA_DIR) + "/koi8.font");
    ASSERT_GE(f.size(), 2u);
    const size_t glyph = (uint8_t)f[0] * (uint8_t)f[1];
    ASSERT_EQ(f.size(), 2 + 256 * glyph) << "width byte, height byte, 256 glyphs";
    auto inked = [&](int code) { return f.substr(2 + code * glyph, glyph) != std::string(glyph, '\0'); };
    // every printable ASCII character but the blank, and the KOI8-R letters
    EXPECT_FALSE(inked(' '));
    for (int c = 33; c < 256; c = c == 126 ? 192 : c + 1) EXPECT_TRUE(inked(c)) << "glyph " << c;
}
