// The world digest: FNV-1a over the state's values, 32 bits at a time.
#include "sim/state_hash.h"

#include <initializer_list>

#include "gfx/bitmap.h"
#include "sim/creature.h"
#include "sim/player.h"
#include "sim/random.h"
#include "sim/step.h"
#include "sim/view.h"
#include "world/item.h"
#include "world/object.h"
#include "world/weapon.h"

namespace {

struct digest {
    uint64_t h = 14695981039346656037ull;
    void byte(uint8_t b) {
        h ^= b;
        h *= 1099511628211ull;
    }
    void add(int64_t v) {
        for (int i = 0; i < 8; i++) byte((uint8_t)((uint64_t)v >> (8 * i)));
    }
    void text(const char *s) {
        for (; s && *s; s++) byte((uint8_t)*s);
        byte(0);
    }
    void obj(const object *o) { add(o ? o->id : 0); }
    // A picture is known by its file name, size and drawing offsets.
    void picture(const sprite *s) {
        if (!s) {
            add(-1);
            return;
        }
        text(s->name);
        add(s->width);
        add(s->height);
        add(s->dx);
        add(s->dy);
    }
};

void hash_object(digest &d, const object *o) {
    d.add(o->kind);
    d.add(o->id);
    d.add(o->list_node ? 1 : 0);
    d.add(o->owner ? 1 : 0);
    d.add(o->x);
    d.add(o->y);
    d.add(o->w);
    d.add(o->h);
    d.picture(o->sprite);
    d.add(o->frozen);
    d.add(o->vx);
    d.add(o->vy);
    d.add(o->push_x);
    d.add(o->fall_v);
    d.add(o->carry_x);
    d.add(o->carry_y);
    d.add(o->step_x);
    d.add(o->step_y);
    d.add(o->weightless);
    d.add(o->airborne);
    d.add(o->hit_side);
    d.add(o->hit_vertical);
    d.obj(o->hit_object);
}

void hash_creature(digest &d, const creature *c) {
    d.add(c->state);
    d.add(c->keep_position);
    d.add(c->player_id);
    d.add(c->frags);
    d.add(c->facing);
    d.add(c->look);
    d.obj(c->body);
    for (const creature_frame &f : c->frames) {
        d.picture(f.picture);
        d.add(f.ticks);
    }
    d.add(c->frame);
    d.add(c->frame_left);
    d.add(c->firing_anim);
    d.add(c->firing_left);
    for (int32_t m : c->muzzle_y) d.add(m);
    // The death sound's handle is left out: it depends on whether this
    // computer's sound could start, and what is heard must not count.
    // So are the command rings: they are input on its way in, and
    // their contents (when a key was taken, which set it waits in) differ
    // between the computers of one network game until the set is applied.
    for (int32_t f : {c->left_held, c->right_held, c->up_held, c->down_held, c->fire_held, c->jump_held,
                      c->moving_left, c->moving_right, c->look_up, c->look_down, c->fire, c->jump})
        d.add(f);
    d.add(c->turning);
    d.add(c->turn_left);
    for (const weapon_slot &w : c->weapons) {
        d.add(w.owned);
        d.add(w.ammunition);
    }
    d.add(c->weapon);
    d.add(c->cooldown);
    d.add(c->health);
    d.add(c->max_health);
    d.add(c->walk_speed);
    d.add(c->jump_speed);
    d.add(c->event_count);
    for (int32_t i = 0; i < c->event_count && i < CREATURE_EVENTS; i++) {
        d.add(c->events[i].damage);
        d.add(c->events[i].attacker);
    }
    d.add(c->view ? c->view - views : -1);
}

template <typename T, typename F>
void each(list_node *list, F f) {
    for (list_node *n = list; n; n = n->next) f(static_cast<T *>(n->element));
}

}  // namespace

uint64_t world_hash() {
    digest d;
    int64_t count = 0;
    for (list_node *n = object_list; n; n = n->next, count++) hash_object(d, static_cast<object *>(n->element));
    d.add(count);
    each<creature>(creature_list, [&](creature *c) { hash_creature(d, c); });
    each<item>(item_list, [&](item *it) {
        d.add(it->kind);
        d.obj(it->body);
        d.add(it->one_shot);
        d.add(it->spawn_x);
        d.add(it->spawn_y);
        d.add(it->respawn_timer);
    });
    each<missile>(missile_list, [&](missile *m) {
        d.obj(m->body);
        d.add(m->definition - missile_definitions);
        d.add(m->direction);
        d.add(m->attacker);
    });
    each<explosion>(explosion_list, [&](explosion *e) {
        d.obj(e->body);
        d.add(e->definition - explosion_definitions);
        d.add(e->frame);
        d.add(e->ticks_left);
    });
    each<spark>(spark_list, [&](spark *s) {
        d.add(s->picture);
        d.obj(s->body);
        d.add(s->end_frame);
    });
    each<trigger>(trigger_list, [&](trigger *t) {
        d.add(t->type);
        d.obj(t->area);
        d.add(t->value1);
        d.add(t->value2);
        for (int32_t k : t->kinds) d.add(k);
    });
    each<platform>(platform_list, [&](platform *p) {
        d.obj(p->body);
        hash_object(d, p->probe);
    });
    for (const view &v : views) d.add(v.look_offset);
    d.add(random_index);
    d.add(last_dm_start);
    d.add(logic_frame);
    return d.h;
}
