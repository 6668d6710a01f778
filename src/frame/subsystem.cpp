// The subsystem table.
#include "frame/subsystem.h"

namespace {

bool flags[SUB_SLOTS_MAX];
int slot_count = SUB_SLOTS_MAX;

}  // namespace

void subsystems_reset(int slots) {
    slot_count = slots < 0 ? 0 : slots > SUB_SLOTS_MAX ? SUB_SLOTS_MAX : slots;
    for (bool &f : flags) f = false;
}

void subsystem_set(int slot, bool value) {
    if (slot >= 0 && slot < slot_count) flags[slot] = value;
}

bool subsystem_is_up(int slot) { return slot >= 0 && slot < slot_count && flags[slot]; }
