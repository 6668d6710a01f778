// Creatures: the record shared by players' fighters and monsters, with one
// MONSTER object as its body, and its description file (".monster").
#pragma once
#include <cstdint>

#include "world/object.h"

struct sprite;
struct view;

enum {
    CREATURE_OUT = 0,  // a player slot not in play
    CREATURE_ALIVE = 1,
    CREATURE_DYING = 2,
    CREATURE_DEAD = 3,
    CREATURE_FRAMES = 28,
    CREATURE_QUEUE = 32,
    CREATURE_EVENTS = 64,
    CREATURE_RECORD_SIZE = 1700,  // what the main menu allocates per player
    FIRST_MONSTER_ID = 5,
    FRAME_STAND_RIGHT = 13,
    FRAME_TURN_HALF = 11,  // its duration is the whole turn's length
    FRAME_BODY = 27
};

struct creature_frame {
    sprite *picture;
    int32_t ticks;
};

struct control_entry {
    int32_t event;  // control 0 to 7, plus 128 on release
    int32_t frame;  // the logic frame it was queued in
};

struct control_queue {
    control_entry entries[CREATURE_QUEUE];
    int32_t read;
    int32_t write;
};

struct weapon_slot {
    int32_t owned;
    int16_t ammunition;
};

struct damage_event {
    int16_t damage;
    int16_t attacker;  // the attacker's player_id; 0 for none
};

struct creature {
    int32_t state;
    int32_t keep_position;  // the next respawn keeps the body's position
    int16_t player_id;      // 1 to 4 for players, 5 on for monsters
    int16_t frags;
    int32_t facing;         // 0 left, 1 right
    int32_t look;           // 0 level, 1 up, 2 down
    object *body;
    creature_frame frames[CREATURE_FRAMES];
    int32_t frame, frame_left;
    int32_t firing_anim, firing_left;
    int32_t muzzle_y[3];    // 16.16 above the body's bottom: level, up, down
    int16_t death_sound;
    control_queue queues[2];
    int32_t left_held, right_held, up_held, down_held, fire_held, jump_held;
    int32_t moving_left, moving_right, look_up, look_down, fire, jump;
    int32_t turning;        // 0 no, 1 to face left, 2 to face right
    int32_t turn_left;
    weapon_slot weapons[5];
    int32_t weapon;
    int16_t cooldown;
    int16_t health, max_health;
    int32_t walk_speed, jump_speed;
    damage_event events[CREATURE_EVENTS];
    int32_t event_count;
    struct view *view;      // the player's view; null for a monster
};

static_assert(sizeof(creature) <= CREATURE_RECORD_SIZE, "a creature fits the players' records");

// The number the next monster of any map gets; 5 at program start.
extern int16_t next_monster_id;

// Reads a ".monster" file into the creature and its body (body size,
// frames, death sound, muzzle heights, speeds, health).
void load_monster(creature *c, const char *file_name);
// The state of a fresh life.
void reset_creature(creature *c);
// After a map has loaded: the map's monsters are reset, then every player
// in play is appended to the creature list, in view order.
void start_creatures();
