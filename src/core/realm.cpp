// Realm memory. Each realm owns a table of up to 127 groups of 64 slots; a
// slot holds one block: a 12-byte header (tag, group, slot, size) directly in
// front of the caller's bytes, so that rfree finds its way back from the
// address alone.
#include "core/realm.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "frame/log.h"
#include "frame/sys.h"

namespace {

struct block_header {
    uint32_t tag;
    uint16_t group;
    uint16_t slot;
    uint32_t size;
};
static_assert(sizeof(block_header) == RMT_HEADER_SIZE, "the block header is 12 bytes");

// The caller's bytes must be aligned for any type, like malloc's own. The
// block starts with a few bytes of padding so that the header still ends
// exactly where the caller's bytes begin: with 16-byte alignment the block
// is 4 bytes of padding, the header, then the caller's bytes at offset 16.
constexpr size_t BLOCK_ALIGN = alignof(std::max_align_t);
constexpr size_t BLOCK_FRONT =
    (RMT_HEADER_SIZE + BLOCK_ALIGN - 1) / BLOCK_ALIGN * BLOCK_ALIGN;
constexpr size_t HEADER_OFFSET = BLOCK_FRONT - RMT_HEADER_SIZE;
static_assert(HEADER_OFFSET % alignof(block_header) == 0, "the header is aligned");

constexpr int USABLE_GROUPS = RMT_GROUPS - 1;  // the last entry ends every walk

struct realm_group {
    unsigned char *slots[RMT_GROUP_SLOTS];  // block starts; null when free
};

struct realm {
    bool in_use;
    int tag;
    uint32_t total;
    // No slot below this index (group * 64 + slot) is free: the first-fit
    // search starts here, which finds the same lowest free slot as a walk
    // from the first group without walking the full ones.
    int first_free;
    realm_group **groups;  // RMT_GROUPS entries, filled from the front
};

realm realms[RMT_REALMS];

block_header *header_of(unsigned char *block) {
    return reinterpret_cast<block_header *>(block + HEADER_OFFSET);
}

void *caller_address(unsigned char *block) { return block + BLOCK_FRONT; }

realm_group **new_group_table() {
    auto **table = static_cast<realm_group **>(sys_malloc(RMT_GROUPS * sizeof(realm_group *)));
    for (int g = 0; g < RMT_GROUPS; g++) table[g] = nullptr;
    return table;
}

// Takes a block for `size` caller bytes, puts it in the given slot and
// fills its header.
void *place_block(realm &r, int group, int slot, uint32_t size) {
    auto *block = static_cast<unsigned char *>(sys_malloc(BLOCK_FRONT + (size_t)size));
    block_header *h = header_of(block);
    h->tag = (uint32_t)r.tag;
    h->group = (uint16_t)group;
    h->slot = (uint16_t)slot;
    h->size = size;
    r.groups[group]->slots[slot] = block;
    r.total += size;
    void *address = caller_address(block);
    log_write(LOG_ALLOC, "  - allocated at %p (block %d:%d)", address, group, slot);
    return address;
}

void free_groups(realm &r) {
    for (int g = 0; g < USABLE_GROUPS && r.groups[g]; g++) {
        realm_group *group = r.groups[g];
        for (int s = 0; s < RMT_GROUP_SLOTS; s++) {
            if (group->slots[s]) {
                sys_free(group->slots[s]);
                group->slots[s] = nullptr;
            }
        }
        sys_free(group);
        r.groups[g] = nullptr;
    }
    r.total = 0;
    r.first_free = 0;
}

bool tag_valid(int tag) { return tag >= 0 && tag < RMT_REALMS; }

}  // namespace

void *ralloc(int tag, uint32_t size) {
    log_write(LOG_ALLOC, "ralloc(%02Xh, %u)", tag, size);
    if (tag == RMT_NONE) sys_exit(2, "trying to alloc in RMT_NONE realm");
    if (!tag_valid(tag)) sys_exit(2, "trying to alloc in realm %d, which does not exist", tag);
    realm &r = realms[tag];
    if (!r.in_use) sys_exit(2, "trying to alloc in realm %02Xh, which is not in use", tag);

    int g = r.first_free / RMT_GROUP_SLOTS;
    for (; g < USABLE_GROUPS && r.groups[g]; g++) {
        realm_group *group = r.groups[g];
        int s = g == r.first_free / RMT_GROUP_SLOTS ? r.first_free % RMT_GROUP_SLOTS : 0;
        for (; s < RMT_GROUP_SLOTS; s++) {
            if (!group->slots[s]) {
                r.first_free = g * RMT_GROUP_SLOTS + s + 1;
                return place_block(r, g, s, size);
            }
        }
    }
    r.first_free = g * RMT_GROUP_SLOTS + 1;
    if (g == USABLE_GROUPS) sys_exit(2, "can't alloc at realm %02Xh any more", tag);

    // Every group is full: open the next one. Its slots are cleared before
    // it enters the table, so a failure of the block's own allocation still
    // leaves a table that a wipe can walk.
    auto *group = static_cast<realm_group *>(sys_malloc(sizeof(realm_group)));
    for (int s = 0; s < RMT_GROUP_SLOTS; s++) group->slots[s] = nullptr;
    r.groups[g] = group;
    return place_block(r, g, 0, size);
}

void rfree(void *address) {
    // The header is checked against the tables before anything changes: a
    // null address, a header naming no realm, group or slot in use, or a
    // slot that holds another block ends the program instead of corrupting
    // a realm. This is no double-free detection: a freed block's header is
    // freed memory, and once the system has given that memory to a new
    // block in the same slot, a second rfree of the old address reads a
    // live header and frees the new block.
    if (!address) sys_exit(2, "rfree(%p): not a block of realm memory", address);
    unsigned char *block = static_cast<unsigned char *>(address) - BLOCK_FRONT;
    const block_header *h = header_of(block);
    const uint32_t tag = h->tag;
    const int group = h->group;
    const int slot = h->slot;
    if (tag >= (uint32_t)RMT_REALMS || !realms[tag].in_use || group >= USABLE_GROUPS ||
        slot >= RMT_GROUP_SLOTS || !realms[tag].groups[group] ||
        realms[tag].groups[group]->slots[slot] != block)
        sys_exit(2, "rfree(%p): not a block of realm memory", address);

    realm &r = realms[tag];
    log_write(LOG_ALLOC, "rfree(%p) tag %02Xh size %u block %d:%d", address, tag, h->size,
              group, slot);
    r.total -= h->size;
    r.groups[group]->slots[slot] = nullptr;
    if (group * RMT_GROUP_SLOTS + slot < r.first_free) r.first_free = group * RMT_GROUP_SLOTS + slot;
    sys_free(block);
}

int create_realm() {
    log_write(LOG_ALLOC, "creating realm");
    for (int tag = RMT_FIRST_DYNAMIC; tag < RMT_REALMS; tag++) {
        realm &r = realms[tag];
        if (r.in_use) continue;
        log_write(LOG_ALLOC, "  - created realm %02Xh", tag);
        r.in_use = true;
        r.tag = tag;
        r.total = 0;
        r.first_free = 0;
        r.groups = new_group_table();
        return tag;
    }
    return -1;
}

void wipe_realm(int tag) {
    log_write(LOG_ALLOC, "wipe_realm(%02Xh)", tag);
    if (tag == RMT_NONE) sys_exit(2, "trying to wipe RMT_NONE realm");
    if (!tag_valid(tag)) sys_exit(2, "trying to wipe realm %d, which does not exist", tag);
    if (!realms[tag].in_use) sys_exit(2, "trying to wipe realm %02Xh, which is not in use", tag);
    free_groups(realms[tag]);
}

void destroy_realm(int tag) {
    log_write(LOG_ALLOC, "destroy_realm(%02Xh)", tag);
    if (tag == RMT_NONE) sys_exit(2, "trying to destroy RMT_NONE realm");
    if (!tag_valid(tag)) sys_exit(2, "trying to destroy realm %d, which does not exist", tag);
    if (!realms[tag].in_use)
        sys_exit(2, "trying to destroy realm %02Xh, which is not in use", tag);
    wipe_realm(tag);
    realm &r = realms[tag];
    r.in_use = false;
    sys_free(r.groups);
    r.groups = nullptr;
}

uint32_t realm_total(int tag) { return tag_valid(tag) ? realms[tag].total : 0; }

bool realm_in_use(int tag) { return tag_valid(tag) && realms[tag].in_use; }

void realm_init() {
    // A second start without a shutdown in between gives back what the
    // first one held rather than losing it.
    for (int tag = 0; tag < RMT_REALMS; tag++)
        if (realms[tag].in_use) destroy_realm(tag);

    subsystem_set(SUB_REALM, true);
    log_write(LOG_ALLOC, "initializing realm memory");
    for (int tag = 0; tag < RMT_REALMS; tag++) {
        realms[tag].in_use = false;
        realms[tag].tag = tag;
        realms[tag].total = 0;
        realms[tag].first_free = 0;
        realms[tag].groups = nullptr;
    }
    for (int tag = RMT_RESIDENT; tag < RMT_FIRST_DYNAMIC; tag++) {
        realms[tag].in_use = true;
        realms[tag].groups = new_group_table();
    }
}

void realm_shutdown() {
    subsystem_set(SUB_REALM, false);
    log_write(LOG_ALLOC, "realm memory shutdown");
    for (int tag = 0; tag < RMT_REALMS; tag++)
        if (realms[tag].in_use) destroy_realm(tag);
}

void *sys_malloc(size_t size) {
    // malloc(0) may answer null, which is not a failure: ask for one byte.
    void *address = malloc(size ? size : 1);
    if (!address)
        sys_exit(2, "system call for allocation %zu (%0zXh) bytes failed", size, size);
    return address;
}

void sys_free(void *address) { free(address); }
