// Realm memory: blocks tagged by realm, freed one by one or a realm at a time.
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    RMT_NONE = 0,
    RMT_RESIDENT = 1,
    RMT_PICTURE = 2,
    RMT_SCREEN = 3,
    RMT_GAME = 4,
    RMT_SPRITE_NAMES = 5,
    RMT_GRID = 6,
    RMT_FIRST_DYNAMIC = 7,
    RMT_REALMS = 256,
    RMT_GROUPS = 128,       // group table entries; the last always stays empty
    RMT_GROUP_SLOTS = 64,
    RMT_HEADER_SIZE = 12
};

void *ralloc(int tag, uint32_t size);
void rfree(void *address);
int create_realm();            // lowest free tag from 7, or -1
void wipe_realm(int tag);
void destroy_realm(int tag);
uint32_t realm_total(int tag); // bytes held by the realm's live blocks
bool realm_in_use(int tag);

void realm_init();
void realm_shutdown();

void *sys_malloc(size_t size);
void sys_free(void *address);
