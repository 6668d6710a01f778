// The game's own data set (data/, made by tools/gen_data.sh) checked without
// the programs' loaders: configuration, font, sprites and the transparent
// colour, map files in the editor writer's exact form, ".missle" and
// ".monster" descriptions, status panel and digits, random table, lobby,
// wall list, menu, and the sounds and music.
#include <gtest/gtest.h>

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <SDL/SDL_mixer.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string DATA = FENDA_DATA_DIR;

std::string path_of(const std::string &name) { return DATA + "/" + name; }

bool exists(const std::string &name) { return fs::is_regular_file(path_of(name)); }

std::string slurp(const std::string &name) {
    std::ifstream f(path_of(name), std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

bool ends_with(const std::string &s, const std::string &t) {
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// Decimal conversion as the programs do it (leading blanks, sign, digits).
long to_int(const std::string &s) { return std::strtol(s.c_str(), nullptr, 10); }

bool is_int(const std::string &s) {
    if (s.empty()) return false;
    size_t i = (s[0] == '-') ? 1 : 0;
    if (i == s.size()) return false;
    for (; i < s.size(); i++)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

bool all_int(std::initializer_list<std::string> v) {
    return std::all_of(v.begin(), v.end(), is_int);
}

// The reading model of the file layer's fs_read_line: bytes up to a
// terminator (consumed) or `max` bytes; the end of the file is an error.
// The first fault sticks: every later read fails, so a parser checks once.
struct token_reader {
    std::string text, error;
    size_t pos = 0, max;
    token_reader(std::string t, size_t m) : text(std::move(t)), max(m) {}
    void fail(const std::string &why) {
        if (error.empty()) error = why + " (at byte " + std::to_string(pos) + ")";
    }
    bool read(char term, std::string &out) {
        out.clear();
        while (error.empty()) {
            if (out.size() >= max)
                fail("a field of " + std::to_string(max) + " characters or more");
            else if (pos >= text.size())
                fail("read past the end of the file");
            else if (text[pos] == term)
                return ++pos, true;
            else
                out += text[pos++];
        }
        return false;
    }
    bool word(std::string &o) { return read(' ', o); }
    bool rest(std::string &o) { return read('\n', o); }
    // n - 1 words and the rest of the line
    bool fields(std::string *t, int n) {
        for (int i = 0; i < n - 1; i++)
            if (!word(t[i])) return false;
        return rest(t[n - 1]);
    }
    // a whole line holding a number
    void number(long &v) {
        std::string s;
        if (rest(s) && !is_int(s)) fail("not a number: \"" + s + "\"");
        v = to_int(s);
    }
    std::string finish(const char *what) {
        if (pos != text.size()) fail(std::string("text after the ") + what);
        return error;
    }
};

// ---------------------------------------------------------------- pictures

struct picture {
    int w = 0, h = 0;
    bool loaded = false;
    bool has_transparent = false;
    bool has_opaque = false;
    std::vector<std::array<uint8_t, 3>> pixels;  // row by row
    const std::array<uint8_t, 3> &at(int x, int y) const { return pixels[(size_t)y * w + x]; }
    bool opaque(int x, int y) const { return at(x, y) != std::array<uint8_t, 3>{0, 47, 47}; }
};

double luminance(const std::array<uint8_t, 3> &c) { return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]; }

std::map<std::string, picture> &picture_cache() {
    static std::map<std::string, picture> cache;
    return cache;
}

const picture &load_picture(const std::string &name) {
    auto &cache = picture_cache();
    auto it = cache.find(name);
    if (it != cache.end()) return it->second;
    picture p;
    SDL_Surface *s = IMG_Load(path_of(name).c_str());
    if (s) {
        p.loaded = true;
        p.w = s->w;
        p.h = s->h;
        SDL_LockSurface(s);
        int bpp = s->format->BytesPerPixel;
        for (int y = 0; y < s->h; y++) {
            const uint8_t *row = (const uint8_t *)s->pixels + (size_t)y * s->pitch;
            for (int x = 0; x < s->w; x++) {
                uint32_t v = 0;
                std::memcpy(&v, row + (size_t)x * bpp, bpp);
                uint8_t r, g, b;
                SDL_GetRGB(v, s->format, &r, &g, &b);
                p.pixels.push_back({r, g, b});
                if (r == 0 && g == 47 && b == 47)
                    p.has_transparent = true;
                else
                    p.has_opaque = true;
            }
        }
        SDL_UnlockSurface(s);
        SDL_FreeSurface(s);
    }
    return cache.emplace(name, p).first->second;
}

// A sprite: decodes, has the transparent colour and something opaque.
void expect_sprite(const std::string &name, const std::string &where) {
    SCOPED_TRACE(where + ": sprite \"" + name + "\"");
    ASSERT_TRUE(exists(name)) << "missing";
    const picture &p = load_picture(name);
    ASSERT_TRUE(p.loaded) << "SDL_image cannot decode it";
    EXPECT_TRUE(p.has_transparent) << "no pixel of the transparent colour 0,47,47";
    EXPECT_TRUE(p.has_opaque) << "nothing but the transparent colour";
    EXPECT_LT(name.size(), 32u) << "sprite names stay under 32 characters";
}

// ---------------------------------------------------------------- font

struct font_info {
    int w = 0, h = 0;
    std::string bytes;
    bool ink(int code) const {
        size_t off = 2 + (size_t)code * w * h;
        for (int i = 0; i < w * h; i++)
            if (bytes[off + i]) return true;
        return false;
    }
};

font_info read_font() {
    font_info f;
    f.bytes = slurp("koi8.font");
    if (f.bytes.size() >= 2) {
        f.w = (uint8_t)f.bytes[0];
        f.h = (uint8_t)f.bytes[1];
    }
    return f;
}

// ---------------------------------------------------------------- descriptions

struct frame_line {
    std::string pic;
    long dx, dy, ticks;
};

struct monster_desc {
    long width = 0, height = 0;
    std::vector<frame_line> frames;
    std::string death_sound;
    long muzzle[3] = {0, 0, 0};
    long walk = 0, jump = 0, health = 0;
};

// Reads a ".monster" description; returns "" or what is wrong.
std::string parse_monster(const std::string &text, monster_desc &d) {
    token_reader r(text, 60);
    std::string t[4];
    r.number(d.width);
    r.number(d.height);
    for (int i = 0; i < 28 && r.fields(t, 4); i++) {
        if (t[0].empty() || !all_int({t[1], t[2], t[3]}))
            r.fail("frame " + std::to_string(i) + ": fields are not \"picture dx dy ticks\"");
        d.frames.push_back({t[0], to_int(t[1]), to_int(t[2]), to_int(t[3])});
    }
    r.rest(d.death_sound);
    for (long *v : {&d.muzzle[0], &d.muzzle[1], &d.muzzle[2], &d.walk, &d.jump, &d.health}) r.number(*v);
    return r.finish("maximum health");
}

struct missle_desc {
    struct dir {
        std::string pic;
        long dx, dy, vx, vy;
    } dirs[6];
    std::string fire_sound, explosion_sound;
    std::vector<frame_line> frames;
};

std::string parse_missle(const std::string &text, missle_desc &d) {
    token_reader r(text, 60);
    std::string t[5];
    for (int i = 0; i < 6 && r.fields(t, 5); i++) {
        if (t[0].empty() || !all_int({t[1], t[2], t[3], t[4]}))
            r.fail("direction " + std::to_string(i) + ": fields are not \"picture dx dy vx vy\"");
        d.dirs[i] = {t[0], to_int(t[1]), to_int(t[2]), to_int(t[3]), to_int(t[4])};
    }
    r.rest(d.fire_sound);
    r.rest(d.explosion_sound);
    while (r.word(t[0]) && !t[0].empty() && r.fields(t + 1, 3)) {
        if (!all_int({t[1], t[2], t[3]})) r.fail("frame fields are not numbers");
        d.frames.push_back({t[0], to_int(t[1]), to_int(t[2]), to_int(t[3])});
    }
    // the closing line is one blank and the line feed, and nothing follows
    if (r.rest(t[0]) && !t[0].empty()) r.fail("the closing line is not a single blank");
    return r.finish("closing line");
}

// ---------------------------------------------------------------- maps

struct map_object {
    long x = 0, y = 0;
    std::string kind;
    std::string pic;                 // WALL, PLATFORM, LADDER, DECORATION
    long vx = 0, vy = 0;             // PLATFORM, REDIRECT
    long w = 0, h = 0;               // TRIGGER area
    std::string trigger;             // REDIRECT or TELEPORT
    bool silent = false;
    std::set<std::string> kinds;     // TELEPORT flags
    long dest_x = 0, dest_y = 0;     // TELEPORT
    std::string item;                // ITEM name
    long player = -1;                // PLAYER number
    std::string desc;                // PLAYER, MONSTER
};

struct map_file {
    long width = 0, height = 0;
    std::string background, music, status, line4;
    std::vector<map_object> objects;
};

// The ten item types and their pictures.
const std::map<std::string, std::string> ITEM_PICTURES = {
        {"HEALTH", "medic_kit.png"},     {"PLASMABOLT", "plasmabolt.png"},
        {"LAUNCHER", "rocket_launcher.png"}, {"SHOTGUN", "shotgun.png"},
        {"CELL_SMALL", "cell_smallbox.png"}, {"CELL_BIG", "cell_bigbox.png"},
        {"ONE_ROCKET", "rocket_1.png"},  {"ROCKET_BOX", "rocket_box.png"},
        {"SHELLS_4", "shells_4.png"},    {"SHELL_BOX", "shell_box.png"}};

std::string item_picture(const std::string &item) {
    auto it = ITEM_PICTURES.find(item);
    return it == ITEM_PICTURES.end() ? "" : it->second;
}

// Reads a map with the loader's grammar; returns "" or the fault.
std::string parse_map(const std::string &text, map_file &m) {
    token_reader r(text, 80);
    std::string a, b, c, where = "head line 1: ";
    // two numbers; the second ends the line when `last`
    auto two = [&](long &x, long &y, bool last, const char *what) {
        if (r.word(a) && (last ? r.rest(b) : r.word(b)) && !all_int({a, b}))
            r.fail(where + what + ": not two numbers");
        x = to_int(a);
        y = to_int(b);
    };
    two(m.width, m.height, false, "the size");
    r.rest(m.background);
    r.rest(m.music);
    r.rest(m.status);
    r.rest(m.line4);
    for (int line = 3; r.word(a) && !a.empty(); line++) {
        map_object o;
        where = "object line " + std::to_string(line) + ": ";
        if (r.word(b) && r.word(o.kind) && !all_int({a, b})) r.fail(where + "the position is not two numbers");
        o.x = to_int(a);
        o.y = to_int(b);
        if (o.kind == "WALL" || o.kind == "LADDER" || o.kind == "DECORATION") {
            r.rest(o.pic);
        } else if (o.kind == "PLATFORM") {
            two(o.vx, o.vy, false, "the velocity");
            r.rest(o.pic);
        } else if (o.kind == "TRIGGER") {
            two(o.w, o.h, false, "the area");
            r.word(o.trigger);
            if (o.trigger == "REDIRECT") {
                two(o.vx, o.vy, true, "REDIRECT values");
            } else if (o.trigger == "TELEPORT") {
                if (r.word(a) && a == "SILENT") o.silent = r.word(a);
                while (r.word(c) && (c.empty() || c[0] != ')')) {
                    if (c != "MONSTER" && c != "MISSLE" && c != "PLATFORM" && c != "ITEM")
                        r.fail(where + "illegal object type \"" + c + "\"");
                    o.kinds.insert(c);
                }
                two(o.dest_x, o.dest_y, true, "the destination");
            } else {
                r.fail(where + "unknown trigger type \"" + o.trigger + "\"");
            }
        } else if (o.kind == "ITEM") {
            if (r.rest(o.item) && item_picture(o.item).empty())
                r.fail(where + "unknown item type \"" + o.item + "\"");
        } else if (o.kind == "PLAYER") {
            if (r.word(a) && r.rest(o.desc) && !is_int(a)) r.fail(where + "the player number is not a number");
            o.player = to_int(a);
        } else if (o.kind == "MONSTER") {
            r.rest(o.desc);
        } else if (o.kind == "DM_START") {
            r.rest(a);
        } else {
            r.fail(where + "unknown object type \"" + o.kind + "\"");
        }
        m.objects.push_back(o);
    }
    return r.error;
}

// The file that the editor's map writer writes for the map.
std::string write_map(const map_file &m) {
    auto n = [](long v) { return std::to_string(v) + " "; };
    std::string s = n(m.width) + n(m.height) + m.background + "\n" + m.music + "\n" + m.status + "\n\n";
    for (const auto &o : m.objects) {
        s += n(o.x) + n(o.y) + o.kind + " ";
        if (o.kind == "PLATFORM") s += n(o.vx) + n(o.vy);
        if (o.kind == "TRIGGER" && o.trigger == "REDIRECT") s += n(o.w) + n(o.h) + "REDIRECT " + n(o.vx) + std::to_string(o.vy);
        if (o.kind == "TRIGGER" && o.trigger != "REDIRECT") {
            s += n(o.w) + n(o.h) + "TELEPORT " + (o.silent ? "SILENT ( " : "( ");
            for (const char *k : {"MONSTER", "MISSLE", "PLATFORM", "ITEM"})
                if (o.kinds.count(k)) s += std::string(k) + " ";
            s += ") " + n(o.dest_x) + std::to_string(o.dest_y);
        }
        // one of these is the rest of the line (DM_START has none)
        s += o.pic + o.item + (o.kind == "PLAYER" ? n(o.player) : "") + o.desc + "\n";
    }
    return s + " \n";
}

std::vector<std::string> map_names() {
    std::vector<std::string> out;
    for (const auto &e : fs::directory_iterator(DATA)) {
        std::string n = e.path().filename().string();
        if (ends_with(n, ".fenda")) out.push_back(n);
    }
    std::sort(out.begin(), out.end());
    return out;
}

struct box {
    long x0, y0, x1, y1;
    bool overlaps(const box &o) const { return x1 > o.x0 && o.x1 > x0 && y1 > o.y0 && o.y1 > y0; }
};

// ---------------------------------------------------------------- files

const std::vector<std::string> &required_files() {
    static const std::vector<std::string> names = {
        "fenda2.config", "koi8.font", "random.table", "menu.png", "start.jpg", "nexus.jpg",
        "status_panel.png", "medic_kit.png", "cell_smallbox.png", "cell_bigbox.png", "rocket_1.png",
        "rocket_box.png", "shells_4.png", "shell_box.png", "plasmabolt.png", "rocket_launcher.png",
        "shotgun.png", "spark.png", "spark_3.png", "shell_spark.png", "dm_start.png",
        "hrack_f_front.png", "plasma.missle", "rocket.missle", "hrack.monster", "weapon.wav",
        "shot.wav", "editor.walls", "testmap.fenda", "CREDITS"};
    return names;
}

}  // namespace

// ================================================================= tests

TEST(DataFiles, EveryFileTheProgramsNameIsThere) {
    for (const auto &n : required_files()) EXPECT_TRUE(exists(n)) << n;
    for (int d = 0; d < 10; d++) EXPECT_TRUE(exists("rn" + std::to_string(d) + ".png")) << d;
    EXPECT_GE(map_names().size(), 2u) << "the editor's chooser should have a list of maps";
}

TEST(DataConfig, CommentedKeysWithTheChosenValuesAndTheClosingEmptyLine) {
    std::string text = slurp("fenda2.config");
    ASSERT_FALSE(text.empty());
    ASSERT_TRUE(ends_with(text, "\n\n")) << "the file must end with an empty line";
    EXPECT_EQ(text.find("\n\n"), text.size() - 2) << "nothing may follow the first empty line";
    EXPECT_EQ(text.find('\r'), std::string::npos);
    std::map<std::string, std::string> values;
    int comments = 0;
    size_t start = 0;
    int line = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        ASSERT_NE(nl, std::string::npos);
        std::string ln = text.substr(start, nl - start);
        start = nl + 1;
        SCOPED_TRACE("line " + std::to_string(line++) + ": " + ln);
        EXPECT_LT(ln.size(), 80u) << "the line reader takes at most 80 characters";
        if (ln.empty()) break;
        if (ln[0] == '#') {
            comments++;
            continue;
        }
        size_t eq = ln.find('=');
        ASSERT_NE(eq, std::string::npos) << "a setting line needs an \"=\"";
        std::string key = ln.substr(0, eq);
        for (auto &ch : key) ch = (char)tolower((unsigned char)ch);
        static const std::set<std::string> known = {
            "fullscreen", "colour", "sound", "player1", "player2", "player3", "player4", "server",
            "packet_interval", "net_control_interval", "net_control_send", "editor_screen_wid",
            "editor_screen_hgt"};
        EXPECT_TRUE(known.count(key)) << "unknown key (blanks count as part of a key)";
        values[key] = ln.substr(eq + 1);
    }
    EXPECT_GE(comments, 3) << "the file is commented";
    EXPECT_NE(values.count("fullscreen") ? values["fullscreen"] : "", "on") << "a window";
    for (int i = 1; i <= 4; i++) {
        std::string k = "player" + std::to_string(i);
        ASSERT_TRUE(values.count(k)) << k;
        EXPECT_FALSE(values[k].empty());
        EXPECT_LE(values[k].size(), 15u) << k;
    }
    for (const auto &[k, v] : std::map<std::string, std::string>{
             {"colour", "24"}, {"sound", "on"}, {"server", "127.0.0.1"}, {"packet_interval", "150"},
             {"net_control_interval", "20"}, {"net_control_send", "16"}, {"editor_screen_wid", "1024"},
             {"editor_screen_hgt", "768"}})
        EXPECT_EQ(values[k], v) << k;
}

TEST(DataFont, TwoFiftySixGlyphsOfTheDeclaredSize) {
    font_info f = read_font();
    ASSERT_GE(f.bytes.size(), 2u);
    EXPECT_GE(f.w, 5);
    EXPECT_LE(f.w, 16);
    EXPECT_GE(f.h, 8);
    EXPECT_LE(f.h, 20);
    ASSERT_EQ(f.bytes.size(), 2u + 256u * f.w * f.h) << "width byte, height byte, 256 glyphs";
    // readable ASCII: every printable character but the blank has ink
    EXPECT_FALSE(f.ink(' '));
    for (int c = 33; c < 127; c++) EXPECT_TRUE(f.ink(c)) << "glyph " << c;
    // KOI8-R Cyrillic letters in 192..255
    for (int c = 192; c < 256; c++) EXPECT_TRUE(f.ink(c)) << "glyph " << c;
    // letters differ from each other
    std::set<std::string> shapes;
    for (int c = 'A'; c <= 'Z'; c++) shapes.insert(f.bytes.substr(2 + (size_t)c * f.w * f.h, f.w * f.h));
    EXPECT_EQ(shapes.size(), 26u);
}

TEST(DataFont, StatusPanelTextFitsWithTheFontWidth) {
    // The status panel: the weapon name at x 10 and the ammunition at x 110 on one
    // line; the longest name must end before the ammunition starts.
    font_info f = read_font();
    ASSERT_GT(f.w, 0);
    EXPECT_LE(10 + (int)std::strlen("Rocket Launcher") * f.w, 110);
    EXPECT_LE(110 + (int)std::strlen("[250]") * f.w, 160);
}

TEST(DataRandom, EightThousandWellDistributedNumbers) {
    std::string t = slurp("random.table");
    ASSERT_EQ(t.size(), 16384u);
    std::vector<uint32_t> v(8192);
    for (int i = 0; i < 8192; i++) v[i] = (uint8_t)t[2 * i] | ((uint32_t)(uint8_t)t[2 * i + 1] << 8);
    // 16 buckets: chi-square with 15 degrees of freedom below the 99.9% point
    double counts[16] = {0};
    for (auto x : v) counts[x >> 12]++;
    double chi = 0;
    for (double c : counts) chi += (c - 512.0) * (c - 512.0) / 512.0;
    EXPECT_LT(chi, 37.7);
    // the mean and the draws the game makes: draw(2) and draw(3)
    double mean = 0;
    for (auto x : v) mean += x;
    mean /= v.size();
    EXPECT_NEAR(mean, 32767.5, 600);
    int ones = 0, thirds[3] = {0, 0, 0};
    for (auto x : v) {
        ones += (x * 2) >> 16;
        thirds[(x * 3) >> 16]++;
    }
    EXPECT_NEAR(ones, 4096, 200);
    for (int k : thirds) EXPECT_NEAR(k, 8192 / 3.0, 200);
    // neighbours are not correlated
    double sxy = 0, sxx = 0;
    for (int i = 0; i < 8192; i++) {
        double a = v[i] - mean, b = v[(i + 1) % 8192] - mean;
        sxy += a * b;
        sxx += a * a;
    }
    EXPECT_LT(std::fabs(sxy / sxx), 0.05);
    // not constant for long: no value repeats in a row
    for (int i = 1; i < 8192; i++) EXPECT_NE(v[i], v[i - 1]) << i;
}

TEST(DataPictures, MenuLobbyAndStartPicturesFitTheScreenAndTheirText) {
    font_info f = read_font();
    ASSERT_GT(f.w, 0);
    const picture &menu = load_picture("menu.png");
    ASSERT_TRUE(menu.loaded);
    // at (75, 70) over the start picture, leaving a margin right and below,
    // and at (75, 50) in the editor with names from y 120
    EXPECT_LE(75 + menu.w, 640 - 40);
    EXPECT_LE(70 + menu.h, 480 - 40);
    EXPECT_GE(menu.h, 120 + 20 * 8);
    // The chooser's rows, where the menu's lines lie too, are dark and hold
    // no figure or text of the picture's own.
    const int rows = (menu.h - 120) / 20;
    for (int y = 120; y < 120 + 20 * (rows - 1) + f.h; y++)
        for (int x = 50; x < menu.w - 16; x++) {
            const auto &c = menu.at(x, y);
            ASSERT_LT(std::max({c[0], c[1], c[2]}), 64) << "menu.png at " << x << ", " << y;
        }
    // the menu's lines lie inside the picture
    struct line { int x, y; const char *text; };
    const line lines[] = {{195, 90, "version 2.0/75"},
                          {105, 170, "2: two players at single computer"},
                          {105, 190, "S: Network server (1 local player)"},
                          {105, 210, "C: Connect to 255.255.255.255 (1 local player)"},
                          {75, 240, "Alt-Enter at any time to toggle fullscreen mode"},
                          {85, 300, "unable to initialize sound, playing silently"},
                          {150, 90, "Load fenda:"}};
    for (const auto &l : lines) {
        EXPECT_LE(l.x + (int)std::strlen(l.text) * f.w, menu.w) << l.text;
        EXPECT_LE(l.y + f.h, menu.h) << l.text;
    }
    for (const char *name : {"start.jpg", "nexus.jpg"}) {
        std::string bytes = slurp(name);
        ASSERT_GE(bytes.size(), 3u) << name;
        EXPECT_EQ(bytes.substr(0, 3), std::string("\xFF\xD8\xFF")) << name << " is a real JPEG";
        const picture &p = load_picture(name);
        ASSERT_TRUE(p.loaded) << name;
        EXPECT_LE(p.w, 640) << name;
        EXPECT_LE(p.h, 480) << name;
    }
    // the lobby: three computers of one player each from (70, 30)
    // in rows of 20, and the two key lines at h - 50 and h - 30
    const picture &nexus = load_picture("nexus.jpg");
    int last_row = 30 + 2 * 80 + 20;
    EXPECT_LE(last_row + f.h, nexus.h - 50);
    EXPECT_LE(70 + (int)std::strlen("255.255.255.255:65535") * f.w, nexus.w);
    EXPECT_LE(50 + (int)std::strlen("Press escape to quit") * f.w, nexus.w);
    EXPECT_LE(150 + (int)std::strlen("Connected to the server") * f.w, nexus.w);
    EXPECT_GE(nexus.h - 50, 0);
}

TEST(DataPictures, StatusPanelAndDigits) {
    const picture &panel = load_picture("status_panel.png");
    ASSERT_TRUE(panel.loaded);
    EXPECT_EQ(panel.w, 160);
    EXPECT_EQ(panel.h, 240);
    int w1 = -1, h1 = -1;
    for (int d = 0; d < 10; d++) {
        std::string n = "rn" + std::to_string(d) + ".png";
        expect_sprite(n, "status digits");
        const picture &p = load_picture(n);
        if (d == 0) {
            w1 = p.w;
            h1 = p.h;
        }
        EXPECT_EQ(p.w, w1) << "digits of one width: " << n;
        EXPECT_EQ(p.h, h1) << n;
    }
    // three cells from x 25 at y 13, above the weapon icon's window
    EXPECT_LE(25 + 3 * w1, 160);
    EXPECT_LE(13 + h1, 86 - 10);
    // The panel's unlit segments under the digits stay far darker than a
    // lit digit, so that 10 does not read as 810.
    const picture &eight = load_picture("rn8.png");
    double lit = 0, unlit[3] = {0, 0, 0};
    int n = 0;
    for (int y = 0; y < eight.h; y++)
        for (int x = 0; x < eight.w; x++)
            if (eight.opaque(x, y)) {
                n++;
                lit += luminance(eight.at(x, y));
                for (int cell = 0; cell < 3; cell++) unlit[cell] += luminance(panel.at(25 + cell * w1 + x, 13 + y));
            }
    ASSERT_GT(n, 0);
    for (double u : unlit) EXPECT_LT(u, lit / 4);
    // the weapon icons centred at (80, 86) stay between the digits and the
    // name line at y 118
    for (const char *n : {"plasmabolt.png", "rocket_launcher.png", "shotgun.png"}) {
        const picture &p = load_picture(n);
        ASSERT_TRUE(p.loaded) << n;
        EXPECT_LE(p.w, 150) << n;
        EXPECT_GE(86 - p.h / 2, 13 + h1) << n;
        EXPECT_LE(86 - p.h / 2 + p.h, 118) << n;
    }
}

TEST(DataPictures, ItemWeaponSparkAndMarkerSprites) {
    // every named picture but the menu and the panel is a sprite
    for (const auto &n : required_files())
        if (ends_with(n, ".png") && n != "menu.png" && n != "status_panel.png") expect_sprite(n, "fixed sprite");
    // Where a pellet strikes: near white in every pixel, so that it shows on
    // the dark cavern and is no twin of the dusk's orange lit windows.
    const picture &spark = load_picture("shell_spark.png");
    for (int y = 0; y < spark.h; y++)
        for (int x = 0; x < spark.w; x++)
            if (spark.opaque(x, y)) {
                const auto &c = spark.at(x, y);
                EXPECT_GE(std::min({c[0], c[1], c[2]}), 200) << x << ", " << y;
            }
}

TEST(DataWalls, EditorWallListNamesSpritesAndEndsWithAnEmptyLine) {
    std::string text = slurp("editor.walls");
    ASSERT_TRUE(ends_with(text, "\n\n"));
    EXPECT_EQ(text.find("\n\n"), text.size() - 2);
    std::istringstream in(text);
    std::string ln;
    int count = 0;
    while (std::getline(in, ln) && !ln.empty()) {
        EXPECT_LT(ln.size(), 80u);
        EXPECT_EQ(ln.find(' '), std::string::npos) << ln;
        expect_sprite(ln, "editor.walls");
        count++;
    }
    EXPECT_GE(count, 10);
    EXPECT_LT(count, 2000);
}

TEST(DataMissle, PlasmaAndRocketDescriptions) {
    for (const char *name : {"plasma.missle", "rocket.missle"}) {
        SCOPED_TRACE(name);
        missle_desc d;
        std::string err = parse_missle(slurp(name), d);
        ASSERT_EQ(err, "");
        for (int i = 0; i < 6; i++) {
            expect_sprite(d.dirs[i].pic, name);
            // 0 left, 1 left up, 2 left down, 3 right, 4 right up, 5 right down
            auto sign = [](long v) { return (v > 0) - (v < 0); };
            const int vy_sign[3] = {0, 1, -1};
            EXPECT_EQ(sign(d.dirs[i].vx), i < 3 ? -1 : 1) << i;
            EXPECT_EQ(sign(d.dirs[i].vy), vy_sign[i % 3]) << i;
            // at most 8 pixels a tick, so that a missile meets a wall
            EXPECT_LE(std::labs(d.dirs[i].vx), 8 * 65536) << i;
        }
        EXPECT_TRUE(exists(d.fire_sound)) << d.fire_sound;
        EXPECT_TRUE(exists(d.explosion_sound)) << d.explosion_sound;
        EXPECT_TRUE(ends_with(d.fire_sound, ".wav"));
        ASSERT_GE(d.frames.size(), 1u);
        EXPECT_LE(d.frames.size(), 8u);
        for (const auto &fr : d.frames) {
            expect_sprite(fr.pic, name);
            EXPECT_GE(fr.ticks, 1) << fr.pic;
            // the explosion is centred on the point of impact
            const picture &p = load_picture(fr.pic);
            EXPECT_NEAR(fr.dx, -p.w / 2, 2) << fr.pic;
            EXPECT_NEAR(fr.dy, -p.h / 2, 2) << fr.pic;
        }
    }
}

namespace {

// The ".monster" files that maps and the editor's palette name.
std::set<std::string> monster_files() {
    std::set<std::string> out = {"hrack.monster"};
    for (const auto &mn : map_names()) {
        map_file m;
        if (!parse_map(slurp(mn), m).empty()) continue;
        for (const auto &o : m.objects)
            if (o.kind == "PLAYER" || o.kind == "MONSTER") out.insert(o.desc);
    }
    return out;
}

}  // namespace

TEST(DataMonster, EveryDescriptionHasTwentyEightDrawnFramesAndSaneValues) {
    for (const auto &name : monster_files()) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(exists(name));
        monster_desc d;
        ASSERT_EQ(parse_monster(slurp(name), d), "");
        ASSERT_EQ(d.frames.size(), 28u);
        EXPECT_GT(d.width, 8);
        EXPECT_GT(d.height, 16);
        for (int i = 0; i < 28; i++) {
            const auto &fr = d.frames[i];
            SCOPED_TRACE("frame " + std::to_string(i) + " " + fr.pic);
            expect_sprite(fr.pic, name);
            EXPECT_GE(fr.ticks, 1);
            const picture &p = load_picture(fr.pic);
            if (i < 27) {
                // the picture stands on the body's bottom and is centred on it
                EXPECT_EQ(fr.dy, 0);
                EXPECT_LE(std::labs(2 * fr.dx + p.w - d.width), 2);
                EXPECT_GE(p.h, d.height) << "the picture covers the body";
            } else {
                // the corpse's picture lies over its own box (sprite size)
                EXPECT_LT(fr.dx, p.w);
                EXPECT_GT(fr.dx + p.w, 0);
                EXPECT_LE(p.h, d.height);
            }
        }
        // the animations have distinct pictures: a walking cycle in each
        // facing, firing poses, turning frames and dying frames
        auto content = [&](int i) { return slurp(d.frames[i].pic); };
        for (int a : {6, 19})
            for (int i = a; i < a + 4; i++)
                for (int j = i + 1; j < a + 4; j++) EXPECT_NE(content(i), content(j)) << i << " " << j;
        for (int i = 0; i < 6; i++) EXPECT_NE(content(i), content(13 + i)) << "facings " << i;
        for (int i = 0; i < 3; i++) EXPECT_NE(content(i), content(3 + i)) << "firing " << i;
        EXPECT_NE(content(10), content(11));
        EXPECT_NE(content(11), content(12));
        for (int i = 23; i < 27; i++) EXPECT_NE(content(i), content(i + 1)) << "dying " << i;
        EXPECT_TRUE(exists(d.death_sound)) << d.death_sound;
        for (long m : d.muzzle) {
            EXPECT_GT(m, 0);
            EXPECT_LT(m, d.height);
        }
        EXPECT_GT(d.muzzle[1], d.muzzle[0]) << "looking up shoots higher";
        EXPECT_LT(d.muzzle[2], d.muzzle[0]) << "looking down shoots lower";
        // walking 0.5 to 3 pixels a tick, a jump of 40 to 120 pixels against
        // the gravity of 3500 units a tick
        EXPECT_GE(d.walk, 32768);
        EXPECT_LE(d.walk, 3 * 65536);
        double jump_px = (double)d.jump * d.jump / (2.0 * 3500) / 65536;
        EXPECT_GE(jump_px, 40);
        EXPECT_LE(jump_px, 120);
        EXPECT_GE(d.health, 20);
        EXPECT_LE(d.health, 999);
        EXPECT_GE(d.frames[11].ticks, 2) << "the turn takes some time";
    }
}

TEST(DataMaps, EveryMapIsInTheWritersExactFormAndNamesOnlyPresentFiles) {
    auto names = map_names();
    ASSERT_FALSE(names.empty());
    for (const auto &name : names) {
        SCOPED_TRACE(name);
        std::string text = slurp(name);
        map_file m;
        ASSERT_EQ(parse_map(text, m), "");
        EXPECT_EQ(write_map(m), text) << "not byte for byte what the map writer writes";
        EXPECT_EQ(m.line4, "");
        EXPECT_GT(m.width, 480);
        EXPECT_GT(m.height, 240);
        EXPECT_EQ(m.width % 16, 0);
        EXPECT_EQ(m.height % 16, 0);
        // background: larger than a view and smaller than the map
        const picture &bg = load_picture(m.background);
        ASSERT_TRUE(bg.loaded) << m.background;
        EXPECT_GT(bg.w, 480);
        EXPECT_GT(bg.h, 240);
        EXPECT_LT(bg.w, m.width);
        EXPECT_LT(bg.h, m.height);
        if (!m.music.empty()) { EXPECT_TRUE(exists(m.music)) << m.music; }
        EXPECT_EQ(load_picture(m.status).w, 160) << m.status;
        for (const auto &o : m.objects) {
            SCOPED_TRACE(o.kind + " at " + std::to_string(o.x) + "," + std::to_string(o.y));
            EXPECT_EQ(o.x % 16, 0);
            EXPECT_EQ(o.y % 16, 0);
            if (!o.pic.empty()) expect_sprite(o.pic, name);
            if (o.kind == "ITEM") expect_sprite(item_picture(o.item), name);
            if (o.kind == "PLAYER" || o.kind == "MONSTER") { EXPECT_TRUE(exists(o.desc)) << o.desc; }
            if (o.kind == "PLAYER") {
                EXPECT_GE(o.player, 0);
                EXPECT_LE(o.player, 3);
            }
            if (o.kind == "TRIGGER") {
                EXPECT_GT(o.w, 0);
                EXPECT_GT(o.h, 0);
            }
            if (o.kind == "TRIGGER" && o.trigger == "TELEPORT") {
                EXPECT_EQ(o.dest_x % 16, 0);
                EXPECT_EQ(o.dest_y % 16, 0);
            }
        }
    }
}

namespace {

struct body {
    std::string what;
    box b;
};

// Boxes of what a map places: walls, and the things that must not start
// inside them (creatures by their description's body, items by picture).
void map_boxes(const map_file &m, std::vector<box> &walls, std::vector<body> &things,
               std::vector<box> &ladders) {
    for (const auto &o : m.objects) {
        if (o.kind == "WALL") {
            const picture &p = load_picture(o.pic);
            walls.push_back({o.x, o.y, o.x + p.w, o.y + p.h});
        } else if (o.kind == "LADDER") {
            const picture &p = load_picture(o.pic);
            ladders.push_back({o.x, o.y, o.x + p.w, o.y + p.h});
        } else if (o.kind == "PLATFORM") {
            const picture &p = load_picture(o.pic);
            things.push_back({"platform", {o.x, o.y, o.x + p.w, o.y + p.h}});
        } else if (o.kind == "ITEM") {
            const picture &p = load_picture(item_picture(o.item));
            things.push_back({o.item, {o.x, o.y, o.x + p.w, o.y + p.h}});
        } else if (o.kind == "PLAYER" || o.kind == "MONSTER" || o.kind == "DM_START") {
            // a start holds the first player's body (hrack's without players)
            std::string desc = o.desc;
            if (o.kind == "DM_START") {
                auto p = std::find_if(m.objects.begin(), m.objects.end(),
                                      [](const map_object &q) { return q.kind == "PLAYER"; });
                desc = p == m.objects.end() ? "hrack.monster" : p->desc;
            }
            monster_desc d;
            parse_monster(slurp(desc), d);
            things.push_back({o.kind + " " + desc, {o.x, o.y, o.x + d.width, o.y + d.height}});
        }
    }
}

}  // namespace

TEST(DataMaps, NothingStartsInsideAWallAndEverythingHasRoom) {
    for (const auto &name : map_names()) {
        SCOPED_TRACE(name);
        map_file m;
        ASSERT_EQ(parse_map(slurp(name), m), "");
        std::vector<box> walls, ladders;
        std::vector<body> things;
        map_boxes(m, walls, things, ladders);
        for (const auto &t : things) {
            EXPECT_GE(t.b.x0, 0) << t.what;
            EXPECT_LE(t.b.x1, m.width) << t.what;
            EXPECT_GE(t.b.y0, 0) << t.what;
            EXPECT_LE(t.b.y1, m.height) << t.what;
            for (const auto &w : walls)
                EXPECT_FALSE(t.b.overlaps(w)) << t.what << " at " << t.b.x0 << "," << t.b.y0
                                              << " overlaps the wall at " << w.x0 << "," << w.y0;
        }
        // teleport destinations have room for a player's body
        for (const auto &o : m.objects) {
            if (o.kind != "TRIGGER" || o.trigger != "TELEPORT") continue;
            box dest{o.dest_x, o.dest_y, o.dest_x + 20, o.dest_y + 44};
            for (const auto &w : walls) EXPECT_FALSE(dest.overlaps(w)) << "teleport to " << o.dest_x;
            box area{o.x, o.y, o.x + o.w, o.y + o.h};
            EXPECT_FALSE(dest.overlaps(area)) << "a teleport into its own area";
        }
    }
}

TEST(DataMaps, TheArenaHasEverythingTheGameOffers) {
    map_file m;
    ASSERT_EQ(parse_map(slurp("testmap.fenda"), m), "");
    std::map<std::string, int> kinds;
    std::set<std::string> items;
    std::map<long, int> players;
    bool silent_flagged = false, plain = false;
    std::vector<const map_object *> platforms, redirects;
    for (const auto &o : m.objects) {
        kinds[o.kind]++;
        if (o.kind == "ITEM") items.insert(o.item);
        if (o.kind == "PLAYER") players[o.player]++;
        if (o.kind == "PLATFORM") platforms.push_back(&o);
        if (o.kind == "TRIGGER" && o.trigger == "REDIRECT") redirects.push_back(&o);
        if (o.kind == "TRIGGER" && o.trigger == "TELEPORT") {
            if (o.silent && !o.kinds.empty()) silent_flagged = true;
            if (!o.silent) plain = true;
        }
    }
    EXPECT_GE(kinds["WALL"], 50);
    EXPECT_GE(kinds["LADDER"], 1);
    EXPECT_GE(kinds["DECORATION"], 5);
    EXPECT_GE(kinds["DM_START"], 4);
    EXPECT_GE(kinds["MONSTER"], 2);
    EXPECT_FALSE(m.music.empty());
    for (const auto &[n, pic] : ITEM_PICTURES) EXPECT_TRUE(items.count(n)) << n;
    for (long p = 0; p < 4; p++) EXPECT_EQ(players[p], 1) << "PLAYER " << p;
    EXPECT_EQ(players.size(), 4u);
    EXPECT_TRUE(silent_flagged) << "a TELEPORT with SILENT and kind flags";
    EXPECT_TRUE(plain) << "a TELEPORT without SILENT";
    // at least one horizontal and one vertical platform, each kept on its
    // path by two REDIRECT triggers that turn it back
    bool horizontal = false, vertical = false;
    for (const auto *p : platforms) {
        const picture &pic = load_picture(p->pic);
        box path = p->vx ? box{0, p->y, m.width, p->y + pic.h} : box{p->x, 0, p->x + pic.w, m.height};
        bool fwd = false, back = false;
        for (const auto *r : redirects) {
            box area{r->x, r->y, r->x + r->w, r->y + r->h};
            if (!area.overlaps(path)) continue;
            long along = p->vx ? r->vx : r->vy;
            long across = p->vx ? r->vy : r->vx;
            if (across != 0) continue;
            if (along > 0) fwd = true;
            if (along < 0) back = true;
        }
        SCOPED_TRACE("platform at " + std::to_string(p->x) + "," + std::to_string(p->y));
        EXPECT_TRUE(fwd && back) << "REDIRECT triggers at both ends of its path";
        if (p->vx != 0 && p->vy == 0) horizontal = true;
        if (p->vy != 0 && p->vx == 0) vertical = true;
    }
    EXPECT_TRUE(horizontal);
    EXPECT_TRUE(vertical);
}

TEST(DataSounds, EveryEffectIsPcmWaveAndTheMixerPlaysEffectsAndMusic) {
    std::set<std::string> sounds = {"weapon.wav", "shot.wav"};
    for (const char *name : {"plasma.missle", "rocket.missle"}) {
        missle_desc d;
        if (parse_missle(slurp(name), d).empty()) {
            sounds.insert(d.fire_sound);
            sounds.insert(d.explosion_sound);
        }
    }
    for (const auto &mf : monster_files()) {
        monster_desc d;
        if (parse_monster(slurp(mf), d).empty()) sounds.insert(d.death_sound);
    }
    std::set<std::string> musics;
    for (const auto &mn : map_names()) {
        map_file m;
        if (parse_map(slurp(mn), m).empty() && !m.music.empty()) musics.insert(m.music);
    }
    EXPECT_FALSE(musics.empty());
    for (const auto &s : sounds) {
        SCOPED_TRACE(s);
        std::string w = slurp(s);
        ASSERT_GE(w.size(), 44u);
        EXPECT_EQ(w.substr(0, 4), "RIFF");
        EXPECT_EQ(w.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ((uint8_t)w[20] | ((uint8_t)w[21] << 8), 1) << "PCM";
        EXPECT_LE(w.size(), 400000u) << "an effect stays short";
    }
    for (const auto &mu : musics) {
        std::string b = slurp(mu);
        if (ends_with(mu, ".mod")) {
            ASSERT_GE(b.size(), 1084u);
            EXPECT_EQ(b.substr(1080, 4), "M.K.") << mu;
        }
    }
    // the mixer itself, on the dummy audio driver
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 4096) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        GTEST_SKIP() << "no audio device: " << Mix_GetError();
    }
    for (const auto &s : sounds) {
        Mix_Chunk *c = Mix_LoadWAV_RW(SDL_RWFromFile(path_of(s).c_str(), "rb"), 1);
        EXPECT_NE(c, nullptr) << s << ": " << Mix_GetError();
        if (c) {
            EXPECT_GT(c->alen, 1000u) << s;
            Mix_FreeChunk(c);
        }
    }
    for (const auto &mu : musics) {
        Mix_Music *music = Mix_LoadMUS(path_of(mu).c_str());
        EXPECT_NE(music, nullptr) << mu << ": " << Mix_GetError();
        if (music) Mix_FreeMusic(music);
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

TEST(DataCredits, CreditsNameTheFontsOriginAndLicence) {
    std::string c = slurp("CREDITS");
    EXPECT_NE(c.find("xfonts-base"), std::string::npos);
    EXPECT_NE(c.find("Public domain"), std::string::npos);
    EXPECT_NE(c.find("koi8.font"), std::string::npos);
}
