// The data set (data/, made by tools/gen_data.sh) loaded with the programs'
// loaders: what the golden fight does not pin down. Its digest holds
// testmap.fenda's world, every ".monster" value with its pictures' names,
// sizes and offsets, the missiles' speeds and the draws from random.table.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "frame/config.h"
#include "frame/subsystem.h"
#include "gfx/font.h"
#include "sim/view.h"
#include "sim/tick.h"
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
        EXPECT_EQ(map_width % (16 * PX) + map_height % (16 * PX), 0);
        // The background is its own picture, larger than a view and smaller
        // than the map, so that it scrolls.
        EXPECT_STRNE(background->name, "scaled background");
        EXPECT_LT(background->width * PX, map_width);
        EXPECT_LT(background->height * PX, map_height);
        EXPECT_EQ(status_picture.width, 160);
        std::vector<const object *> walls, things;
        for (list_node *n = object_list; n; n = n->next) {
            const object *o = static_cast<object *>(n->element);
            EXPECT_EQ(o->x % (16 * PX) + o->y % (16 * PX), 0) << kind_names[o->kind] << " off the grid";
            if (o->kind == OBJ_WALL) walls.push_back(o);
            if (o->kind == OBJ_PLATFORM || o->kind == OBJ_ITEM || o->kind == OBJ_MONSTER) things.push_back(o);
        }
        // Deathmatch starts and teleport destinations hold player 0's body;
        // a teleport never leads into its own area.
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
            EXPECT_GT((int64_t)t->area->w * t->area->h, 0);
            if (t->type != TRIGGER_TELEPORT) continue;
            places.push_back(body_at(t->value1, t->value2));
            EXPECT_FALSE(boxes_overlap(&places.back(), t->area)) << "a teleport into its own area";
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

// Where each frame's picture lies on the body is pinned by the golden fight,
// whose digest holds the pictures' names, sizes and offsets; what they show
// is not.
TEST(DataCreatures, EveryDescriptionHasDistinctPicturesForItsPoses) {
    for (const std::string &name : files_ending(".monster")) {
        SCOPED_TRACE(name);
        data_world w;
        creature c{};
        object body{};
        c.body = &body;
        load_monster(&c, name.c_str());
        // Distinct pictures: the walking cycle in each facing, the facings,
        // the firing poses, the turn and the dying frames.
        auto content = [&](int i) { return read_file(c.frames[i].picture->name); };
        for (int a : {6, 19})
            for (int i = a; i < a + 4; i++)
                for (int j = i + 1; j < a + 4; j++) EXPECT_NE(content(i), content(j)) << i << " " << j;
        for (int i = 0; i < 6; i++) EXPECT_NE(content(i), content(13 + i)) << "facings " << i;
        for (int i = 0; i < 3; i++) EXPECT_NE(content(i), content(3 + i)) << "firing " << i;
        for (int i : {10, 11, 23, 24, 25, 26}) EXPECT_NE(content(i), content(i + 1)) << i;
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

TEST(DataPictures, EveryPngButTheMenuAndThePanelIsASprite) {
    data_world w;
    // Opaque pixels and transparent ones, names under the name cache's limit.
    for (const std::string &name : files_ending(".png")) {
        if (name == "menu.png" || name == "status_panel.png") continue;
        const sprite *s = load_sprite(name.c_str(), RMT_GAME);
        long opaque = 0;
        each_opaque(s, [&](int, int, rgb) { opaque++; });
        EXPECT_TRUE(opaque > 0 && opaque < (long)s->width * s->height) << name;
        EXPECT_LT(name.size(), (size_t)SPRITE_NAME_MAX) << name;
    }
    // Where a pellet strikes: near white, so that it shows on the dark
    // cavern and is no twin of the dusk's orange lit windows.
    each_opaque(load_sprite("shell_spark.png", RMT_GAME),
                [](int x, int y, rgb c) { EXPECT_GE(std::min({c.r, c.g, c.b}), 200) << x << ", " << y; });
}

TEST(DataPictures, MenuLobbyStartAndPanelFitTheScreenAndTheirText) {
    data_world w;
    load_font(0, "koi8.font");
    const int fw = text_width(0, "x"), fh = font_height(0);
    bitmap menu, nexus, start, panel;
    for (auto [b, name] : {std::pair{&menu, "menu.png"}, {&nexus, "nexus.jpg"}, {&start, "start.jpg"}, {&panel, "status_panel.png"}})
        load_bitmap(b, name, RMT_PICTURE);
    EXPECT_TRUE(start.width <= 640 && start.height <= 480 && nexus.width <= 640 && nexus.height <= 480);
    // The menu at (75, 70) over the start picture, a margin right and below;
    // at (75, 50) in the editor with the chooser's names from y 120, whose
    // rows (where the menu's lines lie too) are dark and hold no figure.
    EXPECT_LE(75 + menu.width, 640 - 40);
    EXPECT_LE(70 + menu.height, 480 - 40);
    EXPECT_GE(menu.height, 120 + 20 * 8);
    for (int y = 120; y < 120 + 20 * ((menu.height - 120) / 20 - 1) + fh; y++)
        for (int x = 50; x < menu.width - 16; x++) {
            rgb c = colour_of(pixel_at(menu, x, y));
            ASSERT_LT(std::max({c.r, c.g, c.b}), 64) << "menu.png at " << x << ", " << y;
        }
    // Texts drawn on each picture, in its own coordinates: the menu's lines,
    // the lobby's three computers from (70, 30) in rows of 80 and its key
    // lines, the panel's weapon name and ammunition.
    const struct {
        const bitmap *on;
        int x, y;
        const char *text;
    } texts[] = {{&menu, 195, 90, "version 2.0/75"}, {&menu, 105, 170, "2: two players at single computer"},
                 {&menu, 105, 190, "S: Network server (1 local player)"},
                 {&menu, 105, 210, "C: Connect to 255.255.255.255 (1 local player)"},
                 {&menu, 75, 240, "Alt-Enter at any time to toggle fullscreen mode"},
                 {&menu, 85, 300, "unable to initialize sound, playing silently"}, {&menu, 150, 90, "Load fenda:"},
                 {&nexus, 70, 30 + 2 * 80 + 20, "255.255.255.255:65535"}, {&nexus, 50, nexus.height - 50, "Press escape to quit"},
                 {&nexus, 150, nexus.height - 30, "Connected to the server"}, {&panel, 10, 118, "Rocket Launcher"},
                 {&panel, 110, 118, "[250]"}};
    for (const auto &t : texts) EXPECT_TRUE(t.x + fw * (int)strlen(t.text) <= t.on->width && t.y + fh <= t.on->height) << t.text;
    EXPECT_LE(10 + fw * (int)strlen("Rocket Launcher"), 110) << "the name ends before the ammunition";
    EXPECT_LE(30 + 2 * 80 + 20 + fh, nexus.height - 50) << "the lobby's rows end above its key lines";

    // The panel's digits: one size, three cells from (25, 13) above the
    // weapon icons centred at (80, 86), which end above the name line at
    // y 118. The panel's unlit segments stay far darker than a lit digit,
    // so that 10 does not read as 810.
    load_status_picture("status_panel.png");
    weapon_setup();
    const int dw = status_digits[0]->width, dh = status_digits[0]->height;
    for (const sprite *d : status_digits) EXPECT_TRUE(d->width == dw && d->height == dh) << d->name;
    EXPECT_LE(25 + 3 * dw, 160);
    double lit = 0, unlit[3] = {0, 0, 0};
    each_opaque(status_digits[8], [&](int x, int y, rgb c) {
        lit += luminance(c);
        for (int cell = 0; cell < 3; cell++) unlit[cell] += luminance(colour_of(pixel_at(panel, 25 + cell * dw + x, 13 + y)));
    });
    ASSERT_GT(lit, 0);
    for (double u : unlit) EXPECT_LT(u, lit / 4);
    for (int i = 1; i < WEAPON_SLOTS; i++) {
        const sprite *icon = weapons[i].picture;
        if (!icon) continue;
        const int top = 86 - icon->height / 2;
        EXPECT_TRUE(icon->width <= 150 && top >= 13 + dh && top + icon->height <= 118) << icon->name;
    }
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

TEST(DataSounds, EveryEffectIsShortAndTheMixerPlaysIt) {
    data_world w;
    for (const std::string &name : files_ending(".wav")) {
        EXPECT_LE(read_file(name).size(), 400000u) << name;
        EXPECT_NE(sound_load(name.c_str()), SOUND_NONE) << name;
    }
}

// Each line names one of the data set's pictures (every one a sprite: see
// above); one empty line ends the list.
TEST(DataWalls, EditorWallListNamesPicturesAndEndsWithAnEmptyLine) {
    const std::string text = read_file(std::string(FENDA_DATA_DIR) + "/editor.walls");
    const std::vector<std::string> pictures = files_ending(".png");
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.find("\n\n"), text.size() - 2) << "one empty line, at the end";
    for (size_t at = 0, end; (end = text.find('\n', at)) != at; at = end + 1)
        EXPECT_EQ(std::count(pictures.begin(), pictures.end(), text.substr(at, end - at)), 1) << text.substr(at, end - at);
}

TEST(DataCredits, CreditsNameTheFontsOriginAndLicence) {
    std::string c = read_file(std::string(FENDA_DATA_DIR) + "/CREDITS");
    for (const char *piece : {"xfonts-base", "Public domain", "koi8.font"}) EXPECT_NE(c.find(piece), std::string::npos) << piece;
}
