// Weapons, missiles and explosions: the weapon table, the missile and
// explosion definitions read from ".missle" files, the fixed direction
// tables, and the records of flying missiles, explosions and sparks.
#pragma once
#include <cstdint>

#include "world/object.h"

struct sprite;

enum {
    WEAPON_SLOTS = 5,
    MISSILE_TYPES = 4,      // 0 plasma bolt, 1 rocket, 2 shot, 3 unused
    EXPLOSION_KINDS = 3,    // 0 plasma, 1 rocket, 2 shot
    DIRECTIONS = 6,         // 0 left, 1 left up, 2 left down, 3 right, 4 right up, 5 right down
    EXPLOSION_FRAMES = 8,
    SPARK_PICTURES = 3,     // 0 "spark.png", 1 "spark_3.png", 2 "shell_spark.png"
    DESCRIPTION_FIELD_MAX = 60,
    BLAST_RAYS = 32,
    PLASMA_SPARKS = 11,
    SHELL_SPARKS = 7,
    SPARK_PATTERNS = 3
};

struct weapon_entry {
    int16_t fire_delay;     // ticks, copied into the creature's cooldown
    int16_t missile_type;
    int16_t pickup_sound;   // sound handle
    sprite *picture;        // icon and pickup picture; null for none
};

struct missile_direction {
    sprite *picture;
    int32_t vx, vy;         // 16.16 per tick, as written
};

struct missile_definition {
    int32_t type;
    missile_direction directions[DIRECTIONS];
    int16_t fire_sound;
    int16_t explosion_kind;
};

struct explosion_frame {
    sprite *picture;
    int32_t ticks;
};

struct explosion_definition {
    explosion_frame frames[EXPLOSION_FRAMES];
    int32_t frame_count;
    int16_t sound;
};

struct missile {
    object *body;           // its MISSLE object (or the pellet)
    missile_definition *definition;
    int32_t direction;
    int16_t attacker;       // the shooter's player_id
};

struct explosion {
    object *body;
    explosion_definition *definition;
    int32_t frame;
    int32_t ticks_left;
};

struct spark {
    int32_t picture;        // index into spark_pictures
    object *body;
    int32_t end_frame;      // the logic frame at which it vanishes
};

struct velocity {
    int32_t vx, vy;
};

extern weapon_entry weapons[WEAPON_SLOTS];
extern missile_definition missile_definitions[MISSILE_TYPES];
extern explosion_definition explosion_definitions[EXPLOSION_KINDS];
extern sprite *spark_pictures[SPARK_PICTURES];

// The shotgun's traced pellet and the rocket blast's 2 x 2 probe: objects in
// no list and no grid cell, reused by every shot.
extern object pellet;
extern missile pellet_missile;
extern object blast_probe;

extern list_node *missile_list;
extern list_node *explosion_list;
extern list_node *spark_list;

// Fixed directions: entry k of a table of n entries with radius R and start
// angle a0 is R * (cos, sin)(a0 + 2 pi k / n), truncated toward zero.
extern const velocity blast_rays[BLAST_RAYS];
extern const velocity plasma_sparks[SPARK_PATTERNS][PLASMA_SPARKS];
extern const velocity shell_sparks[SPARK_PATTERNS][SHELL_SPARKS];

// The game's loading (weapon_load_game.cpp): the weapon, missile, explosion
// and spark resources, run at every map load before the map's objects.
void weapon_setup();
// Reads one ".missle" file into a missile and an explosion definition.
void load_missile_file(missile_definition *m, explosion_definition *e, const char *file_name);
