// Player views: making and freeing them, and the status picture.
#include "sim/view.h"

#include <cstring>

#include "core/realm.h"
#include "frame/sys.h"
#include "sim/creature.h"

view views[VIEW_SLOTS];
const char *const weapon_names[5] = {"", "Plasmabolt", "Rocket Launcher", "Shotgun", "Sharp teeth"};

bitmap status_picture;
sprite *status_digits[STATUS_DIGITS];

void init_view(int i) {
    view &v = views[i];
    if (!v.creature) sys_exit(16, "init_view(): view %d has no creature", i);
    v.creature->state = CREATURE_ALIVE;
    v.creature->player_id = (int16_t)(i + 1);
    v.creature->frags = 0;
    v.creature->keep_position = 1;
    alloc_bitmap(&v.picture, GAME_VIEW_WIDTH, GAME_VIEW_HEIGHT, RMT_PICTURE, "pl_view");
    alloc_bitmap(&v.panel, PANEL_WIDTH, PANEL_HEIGHT, RMT_PICTURE, "pl_screen");
    v.cam_x = v.cam_y = 0;
    v.screen_x = v.screen_y = 0;
    v.panel_x = GAME_VIEW_WIDTH;
    v.panel_y = 0;
    for (int32_t &k : v.keys) k = -1;
    v.remote = 0;
}

void free_view(int i) {
    view &v = views[i];
    if (v.creature) v.creature->state = CREATURE_OUT;
    free_bitmap(&v.picture);
    free_bitmap(&v.panel);
}

bool view_in_use(int i) { return views[i].creature && views[i].creature->state != CREATURE_OUT; }

void load_status_picture(const char *file_name) {
    load_bitmap(&status_picture, file_name, RMT_GAME);
    // Every panel redraw copies 240 rows of 160 pixels from the picture.
    if (status_picture.width < PANEL_WIDTH || status_picture.height < PANEL_HEIGHT)
        sys_exit(16, "status picture \"%s\" is %dx%d pixels, at least %dx%d are needed", file_name,
                 status_picture.width, status_picture.height, PANEL_WIDTH, PANEL_HEIGHT);
    char name[] = "rn0.png";
    for (int d = 0; d < STATUS_DIGITS; d++) {
        name[2] = (char)('0' + d);
        status_digits[d] = load_sprite(name, RMT_GAME);
    }
}
