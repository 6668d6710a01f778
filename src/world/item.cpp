// Items: registration and spawn memory.
#include "world/item.h"

#include "core/realm.h"

list_node *item_list = nullptr;

item *add_item(int32_t kind, object *body, int respawns) {
    auto *it = static_cast<item *>(ralloc(RMT_GAME, sizeof(item)));
    it->kind = kind;
    it->body = body;
    it->one_shot = respawns ? 0 : 1;
    it->spawn_x = it->spawn_y = 0;
    it->respawn_timer = 0;
    body->kind = OBJ_ITEM;
    body->owner = it;
    list_add(&item_list, it, RMT_GAME);
    return it;
}

void remember_spawn_positions() {
    for (list_node *n = item_list; n; n = n->next) {
        auto *it = static_cast<item *>(n->element);
        it->spawn_x = it->body->x;
        it->spawn_y = it->body->y;
        it->respawn_timer = 0;
    }
}
