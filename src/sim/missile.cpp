// Missiles, pellets, blasts, explosions and sparks.
#include "sim/missile.h"

#include "core/realm.h"
#include "gfx/bitmap.h"
#include "sim/control.h"
#include "sim/random.h"
#include "sim/step.h"
#include "sim/tick.h"
#include "sound/sound.h"
#include "world/grid.h"

namespace {

constexpr int32_t PX = FIXED_ONE;

void size_to_picture(object *o) {
    if (!o->sprite) return;
    o->w = o->sprite->width * PX;
    o->h = o->sprite->height * PX;
}

bool leftward(int32_t direction) { return direction < 3; }

void throw_plasma_sparks(object *p) {
    const velocity *pattern = plasma_sparks[draw(SPARK_PATTERNS)];
    for (int i = 0; i < PLASMA_SPARKS; i++) {
        int32_t picture = draw(2) != 0 ? 1 : 0;
        make_spark(p, p->x, p->y, pattern[i].vx, pattern[i].vy, picture);
    }
}

void throw_shell_sparks(object *p) {
    const velocity *pattern = shell_sparks[draw(SPARK_PATTERNS)];
    for (int i = 0; i < SHELL_SPARKS; i++) make_spark(p, p->x, p->y, pattern[i].vx, pattern[i].vy, 2);
}

// --- the rocket's blast: 32 rays from the corner of what it hit ---

struct ray_state {
    int32_t steps;
    int32_t dx, dy;
    int16_t attacker;
};

int ray_visit(object *o, void *context) {
    auto *r = static_cast<ray_state *>(context);
    // Only what overlaps the probe is recorded in the query's recall list:
    // the cells may hold far more objects than the list, and one that does
    // not overlap now will not overlap when met again in another cell.
    if (o->kind == OBJ_WALL || o->kind == OBJ_PLATFORM) {
        if (boxes_overlap(o, &blast_probe) && !object_was_recalled(o)) r->steps += BLAST_SOLID_COST;
        return 1;
    }
    if (o->kind != OBJ_MONSTER && o->kind != OBJ_ITEM) return 1;
    if (!boxes_overlap(o, &blast_probe) || object_was_recalled(o)) return 1;
    blast_probe.hit_side = blast_probe.hit_vertical = 1;
    if (o->kind == OBJ_MONSTER)
        add_damage_event(static_cast<creature *>(o->owner), SHOT_DAMAGE, r->attacker);
    o->push_x = clamp32((int64_t)o->push_x + (int64_t)r->dx * r->steps / BLAST_STEPS);
    o->fall_v = clamp32((int64_t)o->fall_v + (int64_t)r->dy * r->steps / BLAST_STEPS);
    return 0;
}

void rocket_blast(const missile *m) {
    const object *rocket = m->body, *hit = rocket->hit_object;
    if (!hit) return;
    int64_t ox = (int64_t)hit->x - 2 * PX, oy = (int64_t)hit->y - 2 * PX;
    if (rocket->vx < 0) ox += (int64_t)hit->w + 3 * PX;
    if (rocket->vy < 0) oy += (int64_t)hit->h + 3 * PX;
    for (const velocity &ray : blast_rays) {
        object &probe = blast_probe;
        probe.x = clamp32(ox);
        probe.y = clamp32(oy);
        probe.w = probe.h = 2 * PX;
        probe.step_x = ray.vx;
        probe.step_y = ray.vy;
        probe.hit_side = probe.hit_vertical = 0;
        ray_state r{0, ray.vx, ray.vy, m->attacker};
        while (r.steps < BLAST_STEPS && !probe.hit_side && !probe.hit_vertical) {
            for_objects_near(&probe, ray_visit, &r);
            probe.x = clamp32((int64_t)probe.x + ray.vx);
            probe.y = clamp32((int64_t)probe.y + ray.vy);
            r.steps++;
        }
    }
}

// What a missile or pellet does to what it struck.
void hit_effect(const missile *m) {
    int32_t type = m->definition->type;
    if (type == 1) {
        rocket_blast(m);
        return;
    }
    object *hit = m->body->hit_object;
    if (!hit || hit->kind != OBJ_MONSTER) return;
    auto *c = static_cast<creature *>(hit->owner);
    const int64_t sx = m->body->step_x, sy = m->body->step_y;
    if (type == 0) {
        add_damage_event(c, SHOT_DAMAGE, m->attacker);
        hit->push_x = clamp32(hit->push_x + sx / 2);
        hit->fall_v = clamp32(hit->fall_v + sy / 2);
    } else if (type == 2) {
        add_damage_event(c, SHOT_DAMAGE, m->attacker);
        hit->push_x = clamp32(hit->push_x + 4 * sx);
        hit->fall_v = clamp32(hit->fall_v + 2 * sy);
    }
}

// --- the shotgun: seven pellets traced along their paths at once ---

int pellet_visit(object *o, void *) {
    if ((o->kind == OBJ_WALL || o->kind == OBJ_PLATFORM || o->kind == OBJ_MONSTER) &&
        boxes_overlap(o, &pellet)) {
        pellet.hit_object = o;
        return 0;
    }
    return 1;
}

void trace_pellet(creature *shooter, int32_t x, int32_t y, int32_t vx, int32_t vy, int32_t direction) {
    object &p = pellet;
    p.hit_object = nullptr;
    p.x = x;
    p.y = y;
    p.w = vx < 0 ? -vx : vx;
    p.h = vy < 0 ? -vy : vy;
    if (leftward(direction)) p.x = clamp32((int64_t)p.x + vx);  // the box lies left of the start
    while (p.x >= 0 && p.x <= map_width && p.y >= 0 && p.y <= map_height) {
        for_objects_near(&p, pellet_visit, nullptr);
        if (p.hit_object) {
            pellet_missile.attacker = shooter->player_id;
            p.step_x = vx >> 5;
            p.step_y = vy >> 5;
            if (p.hit_object->kind != OBJ_MONSTER) {
                // Back to the last free step; the sparks follow the shooter
                // in the object list.
                if (leftward(direction)) p.x -= vx;
                p.y -= vy;
                p.list_node = shooter->body->list_node;
                throw_shell_sparks(&p);
            }
            hit_effect(&pellet_missile);
            return;
        }
        p.x += vx;
        p.y += vy;
    }
}

void shotgun_blast(creature *shooter, int32_t x, int32_t y, int32_t direction) {
    static const int32_t spread[SHOT_PELLETS] = {98304, 131072, 65536, 0, -65536, -131072, -98304};
    sound_play(missile_definitions[2].fire_sound);
    int32_t vx = leftward(direction) ? -SHOT_SPEED : SHOT_SPEED;
    int32_t vy = 0;
    if (direction == 1 || direction == 4) vy = SHOT_SPEED;
    if (direction == 2 || direction == 5) vy = SHOT_DOWN_SPEED;
    for (int32_t s : spread) trace_pellet(shooter, x, y, vx, vy + s, direction);
}

// --- the per-tick update ---

bool explosion_done(void *element, void *) {
    auto *e = static_cast<explosion *>(element);
    if (--e->ticks_left != 0) return false;
    e->frame++;
    if (e->frame >= e->definition->frame_count) {
        e->body->kind = OBJ_WIPE;
        rfree(e);
        return true;
    }
    const explosion_frame &f = e->definition->frames[e->frame];
    e->body->sprite = f.picture;
    size_to_picture(e->body);
    e->ticks_left = f.ticks;
    return false;
}

bool spark_done(void *element, void *) {
    auto *s = static_cast<spark *>(element);
    if (!s->body->hit_side && !s->body->hit_vertical && logic_frame != s->end_frame) return false;
    s->body->kind = OBJ_WIPE;
    rfree(s);
    return true;
}

bool missile_done(void *element, void *) {
    auto *m = static_cast<missile *>(element);
    object *o = m->body;
    if (!out_of_world(o)) {
        if (!o->hit_side && !o->hit_vertical) return false;
        make_explosion(m->definition->explosion_kind, o, o->x + o->w / 2, o->y + o->h / 2);
        hit_effect(m);
    }
    o->kind = OBJ_WIPE;
    rfree(m);
    return true;
}

}  // namespace

void spawn_missile(creature *shooter, int32_t type, int32_t x, int32_t y, int32_t add_vx, int32_t add_vy,
                   int32_t direction) {
    if (type == 2) {
        shotgun_blast(shooter, x, y, direction);
        return;
    }
    if (type < 0 || type >= MISSILE_TYPES || direction < 0 || direction >= DIRECTIONS) return;
    auto *m = static_cast<missile *>(ralloc(RMT_GAME, sizeof(missile)));
    object *o = create_object(shooter->body);
    o->owner = m;
    m->body = o;
    m->definition = &missile_definitions[type];
    m->direction = direction;
    m->attacker = shooter->player_id;
    const missile_direction &d = m->definition->directions[direction];
    o->kind = OBJ_MISSLE;
    o->sprite = d.picture;
    size_to_picture(o);
    o->weightless = 1;
    o->airborne = 0;
    list_add(&missile_list, m, RMT_GAME);
    o->vx = clamp32((int64_t)add_vx + d.vx);
    o->vy = clamp32((int64_t)add_vy + d.vy);
    o->x = x;
    o->y = y;
    if (leftward(direction)) o->x = clamp32((int64_t)o->x - o->w);  // its right edge at the muzzle
    o->y = clamp32((int64_t)o->y - o->h / 2);
    sound_play(m->definition->fire_sound);
}

void make_explosion(int32_t kind, object *parent, int32_t x, int32_t y) {
    if (kind < 0 || kind >= EXPLOSION_KINDS) return;
    explosion_definition *d = &explosion_definitions[kind];
    sound_play(d->sound);
    // A definition without frames (the shot's, or a description that gives
    // none) has no animation to start; its sound and sparks go all the same.
    if (d->frame_count >= 1) {
        auto *e = static_cast<explosion *>(ralloc(RMT_GAME, sizeof(explosion)));
        object *o = create_object(parent);
        o->owner = e;
        e->body = o;
        e->definition = d;
        e->frame = 0;
        e->ticks_left = d->frames[0].ticks;
        o->kind = OBJ_EXPLOSITION;
        o->sprite = d->frames[0].picture;
        size_to_picture(o);
        o->x = x;
        o->y = y;
        o->frozen = 1;
        o->hit_side = o->hit_vertical = 0;
        list_add(&explosion_list, e, RMT_GAME);
    }
    if (kind == 0) throw_plasma_sparks(parent);
}

void make_spark(object *parent, int32_t x, int32_t y, int32_t vx, int32_t vy, int32_t picture) {
    auto *s = static_cast<spark *>(ralloc(RMT_GAME, sizeof(spark)));
    object *o = create_object(parent);
    s->body = o;
    o->kind = OBJ_SPARK;
    o->x = x;
    o->y = y;
    o->vx = vx;
    o->vy = vy;
    o->weightless = 0;
    o->sprite = spark_pictures[picture];
    size_to_picture(o);
    s->picture = picture;
    s->end_frame = logic_frame + SPARK_LIFE;
    list_add(&spark_list, s, RMT_GAME);
}

void missiles_update() {
    list_walk_removing(&explosion_list, explosion_done, nullptr);
    list_walk_removing(&spark_list, spark_done, nullptr);
    list_walk_removing(&missile_list, missile_done, nullptr);
}
