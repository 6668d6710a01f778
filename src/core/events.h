// Input events and the millisecond clock: the SDL events that matter become
// event records in a small ring queue, which the menu, the lobby, the game
// loop and the editor drain one record at a time.
#pragma once
#include <cstdint>

enum {
    EV_KEY_DOWN = 0,
    EV_KEY_UP = 1,
    EV_BUTTON_DOWN = 2,  // mouse types come only in the editor
    EV_BUTTON_UP = 3,
    EV_MOTION = 4,
    EV_QUEUE_SIZE = 64   // ring of 64: at most 63 records wait
};

enum { MOUSE_LEFT = 0, MOUSE_RIGHT = 1, MOUSE_MIDDLE = 2, MOUSE_BUTTONS = 3 };

struct event {
    int32_t type;
    uint32_t time;       // sys_ticks() when the record was queued
    union {
        int32_t key;     // key code (SDL key symbol), key types
        int32_t x;       // mouse x, mouse types
    };
    int32_t y;           // mouse y
    int32_t left;        // buttons held after the event (mouse types)
    int32_t right;
    int32_t middle;
    int32_t button;      // the button that changed: MOUSE_LEFT, _RIGHT, _MIDDLE
};

extern event event_queue[EV_QUEUE_SIZE];
extern int event_read_index;
extern int event_write_index;
// The editor's mouse buttons (MOUSE_LEFT...) held between events.
extern int32_t mouse_held[MOUSE_BUTTONS];

// Called by the editor's poll after the back buffer was remade at the new
// window size, so that the editor lays its regions out again.
extern void (*window_resized_hook)();

// Queues a copy of the record stamped with the clock. A record that finds
// the queue full is dropped, so the records already waiting are kept; the
// first drop after the queue was last emptied is logged as a warning.
void event_put(const event *record);
int event_get(event *record);   // 1 with the oldest record, 0 when empty
int event_pending();
// Queues a key record unless the key code is 0 (a key SDL does not know).
void event_put_key(int32_t type, int32_t key);

// The game's poll: keys, Alt-Enter, the window's close request.
void events_poll();
// The editor's poll: keys, mouse, window resize, close request.
void editor_poll_events();

uint32_t sys_ticks();            // milliseconds since SDL started
