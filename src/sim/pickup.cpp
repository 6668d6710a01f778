// Items in play: the per-tick update with pickups and respawning, and
// crushing.
#include "sim/pickup.h"

#include "core/realm.h"
#include "frame/sys.h"
#include "sim/control.h"
#include "sim/missile.h"
#include "sim/view.h"
#include "sound/sound.h"
#include "world/weapon.h"

namespace {

bool update_one(void *element, void *) {
    auto *it = static_cast<item *>(element);
    if (it->kind == ITEM_NONE) {
        it->body->kind = OBJ_WIPE;
        rfree(it);
        return true;
    }
    item_tick(it);
    return false;
}

int16_t capped(int32_t value, int32_t limit) { return (int16_t)(value > limit ? limit : value); }

void add_ammunition(creature *c, int slot, int32_t amount) {
    weapon_slot &w = c->weapons[slot];
    w.ammunition = capped(w.ammunition + amount, ammunition_limits[slot]);
}

}  // namespace

void take_item_away(item *it) {
    if (it->one_shot) {
        it->kind = ITEM_NONE;
        return;
    }
    it->body->x = ITEM_WAIT_X;
    it->body->y = ITEM_WAIT_Y;
    it->body->frozen = 1;
    it->respawn_timer = ITEM_RESPAWN_TICKS;
}

void items_update() { list_walk_removing(&item_list, update_one, nullptr); }

void item_tick(item *it) {
    object *o = it->body;
    if (out_of_world(o)) {
        if (it->one_shot) {
            it->kind = ITEM_NONE;
            return;
        }
        take_item_away(it);
    }
    if (!it->one_shot && it->respawn_timer != 0) {
        if (--it->respawn_timer == 0) {
            o->x = it->spawn_x;
            o->y = it->spawn_y;
            o->push_x = o->fall_v = 0;
            o->carry_x = o->carry_y = 0;
            o->frozen = 0;
        }
        return;  // waiting, or back only from the next tick on
    }
    for (int i = 0; i < VIEW_SLOTS; i++) {
        creature *c = views[i].creature;
        if (!c || c->state != CREATURE_ALIVE || !c->body) continue;
        if (boxes_overlap(c->body, o) && can_take(c, it->kind)) {
            pickup(c, it);
            return;
        }
    }
}

void pickup(creature *c, item *it) {
    switch (it->kind) {
    case ITEM_HEALTH: c->health = capped(c->health + 25, c->max_health); break;
    case ITEM_PLASMABOLT:
    case ITEM_LAUNCHER:
    case ITEM_SHOTGUN: {
        static const int32_t gift[3] = {40, 5, 10};
        int slot = it->kind - ITEM_PLASMABOLT + 1;
        c->weapons[slot].owned = 1;
        add_ammunition(c, slot, gift[slot - 1]);
        sound_play(weapons[slot].pickup_sound);
        if (c->weapons[c->weapon].ammunition == 0) {
            c->weapon = slot;
            c->weapons[0].owned = 0;
        }
        break;
    }
    case ITEM_CELL_SMALL: add_ammunition(c, 1, 10); break;
    case ITEM_CELL_BIG: add_ammunition(c, 1, 50); break;
    case ITEM_ONE_ROCKET: add_ammunition(c, 2, 1); break;
    case ITEM_ROCKET_BOX: add_ammunition(c, 2, 5); break;
    case ITEM_SHELLS_4: add_ammunition(c, 3, 4); break;
    case ITEM_SHELL_BOX: add_ammunition(c, 3, 20); break;
    default: sys_exit(16, "no pickup processing for item kind %02Xh", it->kind);
    }
    mark_panel(c);
    take_item_away(it);
}

void item_crushed(item *it) {
    if (it->kind >= ITEM_PLASMABOLT && it->kind <= ITEM_SHELL_BOX)
        make_explosion(1, it->body, it->body->x, it->body->y);
    take_item_away(it);
}
