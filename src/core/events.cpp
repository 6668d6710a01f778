// The event queue and the clock, shared by both programs' polls.
#include "core/events.h"

#include <SDL/SDL.h>

#include "frame/log.h"

event event_queue[EV_QUEUE_SIZE];
int event_read_index = 0;
int event_write_index = 0;
int32_t mouse_held[MOUSE_BUTTONS] = {0, 0, 0};
void (*window_resized_hook)() = nullptr;

namespace {

// Set when a record was dropped; cleared when the reader has emptied the
// queue, so that a burst of dropped input leaves one warning in the log.
bool overflow_reported = false;

}  // namespace

void event_put(const event *record) {
    int next = (event_write_index + 1) % EV_QUEUE_SIZE;
    // Advancing onto the read index would make a full queue look empty and
    // lose every waiting record; the newest one is dropped instead.
    if (next == event_read_index) {
        if (!overflow_reported)
            log_warning("event queue full (%d records waiting): input dropped until it is read",
                        EV_QUEUE_SIZE - 1);
        overflow_reported = true;
        return;
    }
    event_queue[event_write_index] = *record;
    event_queue[event_write_index].time = sys_ticks();
    event_write_index = next;
}

int event_get(event *record) {
    if (event_read_index == event_write_index) return 0;
    *record = event_queue[event_read_index];
    event_read_index = (event_read_index + 1) % EV_QUEUE_SIZE;
    if (event_read_index == event_write_index) overflow_reported = false;
    return 1;
}

int event_pending() { return event_read_index != event_write_index; }

void event_put_key(int32_t type, int32_t key) {
    if (key == 0) return;
    event record{};
    record.type = type;
    record.key = key;
    event_put(&record);
}

uint32_t sys_ticks() { return SDL_GetTicks(); }
