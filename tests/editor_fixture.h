// The editor's tests' set-up: an 800 x 600 dummy display with back buffer
// and font, a copy of the data set as working directory, globals reset.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "core/events.h"
#include "editor/editor.h"
#include "editor/history.h"
#include "editor/panel.h"
#include "editor/session.h"
#include "gfx/font.h"
#include "gfx_fixture.h"
#include "world/item.h"
#include "world/map_load.h"
#include "world/object.h"

inline void reset_editor_globals() {
    world_lists_clear();
    item_list = nullptr;
    map_width = map_height = 0;
    for (editor_region *r : {&map_area, &panel_area}) {
        r->first_layout = true;
        r->picture.block = nullptr;
    }
    view_origin_x = view_origin_y = 0;
    panel_page = PAGE_ITEM;
    view_dirty = panel_dirty = false;
    view_width = GAME_VIEW_WIDTH;
    view_height = GAME_VIEW_HEIGHT;
    window_resized_hook = nullptr;
    event_read_index = event_write_index = 0;
    show_outlines = true;
    show_grid = pointer_in_map = map_in_memory = autosave_holds_edits = false;
    status_message[0] = 0;
    history_clear();
}

struct editor_env : gfx_env {
    editor_env() : gfx_env(32, 800, 600) {
        reset_editor_globals();
        copy_data_set(dir.path);
        alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
        load_font(0, "koi8.font");
    }
    ~editor_env() { reset_editor_globals(); }
};

// The objects of the object list in list order.
inline std::vector<object *> editor_objects() {
    std::vector<object *> out;
    for (list_node *n = object_list; n; n = n->next) out.push_back(static_cast<object *>(n->element));
    return out;
}

// A press and release at (x, y).
inline void push_click(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
    push_button(SDL_MOUSEBUTTONDOWN, button, x, y);
    push_button(SDL_MOUSEBUTTONUP, button, x, y);
}
