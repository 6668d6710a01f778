// The map chooser and the listing of the working directory's map files.
#include "editor/chooser.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "core/events.h"
#include "core/files.h"
#include "core/realm.h"
#include "editor/editor.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "gfx/draw.h"
#include "gfx/font.h"

namespace {

const int FONT = 0;
const char MAP_SUFFIX[] = ".fenda";
constexpr int IDLE_WAIT_MS = 5;

// "*.fenda", matched without regard to case as the platforms that list
// files that way do.
bool is_map_name(const std::string &name) {
    const size_t n = sizeof MAP_SUFFIX - 1;
    if (name.size() < n) return false;
    for (size_t i = 0; i < n; i++) {
        char c = name[name.size() - n + i];
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
        if (c != MAP_SUFFIX[i]) return false;
    }
    return true;
}

void insert_sorted(file_list *list, const std::string &name, int realm) {
    auto *node = static_cast<file_name *>(ralloc(realm, sizeof(file_name)));
    node->name = static_cast<char *>(ralloc(realm, (uint32_t)name.size() + 1));
    memcpy(node->name, name.c_str(), name.size() + 1);
    file_name **at = &list->first;
    while (*at && strcmp((*at)->name, node->name) <= 0) at = &(*at)->next;
    node->next = *at;
    *at = node;
    list->count++;
}

const file_name *nth_name(const file_list *list, int index) {
    const file_name *n = list->first;
    while (n && index-- > 0) n = n->next;
    return n;
}

// The names of one page of the list. When the list is longer than the
// picture can show, every page ends with a row that turns to the next
// page, the last one back to the first.
struct chooser_pages {
    int per_page;  // names a page shows
    int pages;
    int page;
    int rows() const { return pages > 1 ? per_page + 1 : per_page; }
};

void show_page(bitmap *picture, int realm, const chooser_pages &p, const file_list *list, const char *prompt) {
    // The picture is loaded again for every page, so that no earlier names
    // show through.
    free_bitmap(picture);
    load_bitmap(picture, "menu.png", realm);
    int row = 0;
    for (const file_name *n = nth_name(list, p.page * p.per_page); n && row < p.per_page; n = n->next, row++)
        draw_text(picture, FONT, CHOOSER_ROWS_X, CHOOSER_ROWS_Y + CHOOSER_ROW_HEIGHT * row, n->name);
    if (p.pages > 1)
        draw_textf(picture, FONT, CHOOSER_ROWS_X, CHOOSER_ROWS_Y + CHOOSER_ROW_HEIGHT * p.per_page,
                   "more maps... (page %d of %d)", p.page + 1, p.pages);
    draw_text(picture, FONT, CHOOSER_PROMPT_X, CHOOSER_PROMPT_Y, prompt);
    // Drawn over what the screen shows (the start picture, or the map).
    show_bitmap(picture, CHOOSER_X, CHOOSER_Y);
}

}  // namespace

int chooser_row_at(int px, int py, int rows) {
    const int bottom = CHOOSER_ROWS_Y + CHOOSER_ROW_HEIGHT * rows;
    if (py < CHOOSER_ROWS_Y || py > bottom || px < CHOOSER_ROWS_X || px > CHOOSER_RIGHT) return -1;
    int row = 0;
    for (int row_y = CHOOSER_ROWS_Y; row_y + CHOOSER_ROW_HEIGHT < py; row_y += CHOOSER_ROW_HEIGHT) row++;
    return row;
}

void get_file_list_aux(file_list *list, int realm) {
    std::error_code ec;
    std::filesystem::directory_iterator it(".", ec);
    for (const std::filesystem::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::error_code kind_ec;
        if (!it->is_regular_file(kind_ec)) continue;
        std::string name = it->path().filename().string();
        if (!is_map_name(name)) continue;
        // A name the file layer cannot open would only end the program
        // when chosen; such a file is not offered.
        if (name.size() > FS_NAME_MAX) {
            log_write(LOG_WARNING, "map file \"%s\" not listed: its name is longer than %d characters",
                      name.c_str(), FS_NAME_MAX);
            continue;
        }
        insert_sorted(list, name, realm);
    }
    if (ec) sys_exit(1, "get_file_list_aux() - FindNextFile error. Error is %u", (unsigned)ec.value());
}

void map_chooser(const char *prompt, char *name) {
    int realm = create_realm();
    if (realm < 0) sys_exit(2, "map_chooser(): no free realm for the map list");
    bitmap picture = {0, 0, nullptr, nullptr, nullptr};
    load_bitmap(&picture, "menu.png", realm);
    set_colour(153, 207, 232);
    file_list list = {nullptr, 0};
    get_file_list_aux(&list, realm);
    if (!list.count) {
        destroy_realm(realm);
        return;
    }

    int fit = (picture.height - CHOOSER_ROWS_Y) / CHOOSER_ROW_HEIGHT;
    if (fit < CHOOSER_PAGE_ROWS_MIN) fit = CHOOSER_PAGE_ROWS_MIN;
    chooser_pages p;
    p.per_page = list.count <= fit ? list.count : fit - 1;
    p.pages = (list.count + p.per_page - 1) / p.per_page;
    p.page = 0;
    show_page(&picture, realm, p, &list, prompt);

    const file_name *chosen = nullptr;
    while (!chosen) {
        editor_poll_events();
        event e;
        while (!chosen && event_get(&e)) {
            if (e.type != EV_BUTTON_DOWN) continue;  // keys and releases do nothing here
            int row = chooser_row_at(e.x - CHOOSER_X, e.y - CHOOSER_Y, p.rows());
            if (row < 0) continue;
            if (row == p.per_page) {
                p.page = (p.page + 1) % p.pages;
                show_page(&picture, realm, p, &list, prompt);
                continue;
            }
            chosen = nth_name(&list, p.page * p.per_page + row);
        }
        if (!chosen) std::this_thread::sleep_for(std::chrono::milliseconds(IDLE_WAIT_MS));
    }
    snprintf(name, MAP_FILE_NAME_MAX, "%s", chosen->name);
    destroy_realm(realm);
}
