// The lock-step exchange during play: every computer sends its players'
// commands of each turn to every other, waits at the turn's end until it
// holds every set and every other computer holds its own, and then sends
// its digest of the world so that computers that drift apart say so.
#pragma once
#include <cstdint>

#include "net/transport.h"

enum {
    NET_DIGESTS_KEPT = 8,     // this computer's digests of its last turns
    NET_DIGEST_LOG_EVERY = 50,
    NET_WAIT_STEP_MS = 5,
    NET_WAIT_REPORTED_MS = 100
};

// Turn numbers: 1 at start, one more at each turn's end, wrapping after
// 65535; compared modulo 65536.
extern uint16_t net_turn_number;
// This computer has sent its set of the current turn.
extern bool net_controls_ready;
// The world's digest at a turn's end; tests may put their own here.
extern uint64_t (*net_world_digest)();

// Back to the start of a game: turn 1, nothing sent, no digests.
void net_turn_reset();
// Appends the received commands (pairs of player position and command) to
// the node's players' rings of the receive set.
void net_store_controls(int node, int count, const uint8_t *pairs);

void net_handle_controls(const net_source *from);
void net_handle_controls_have(const net_source *from);
void net_handle_controls_ack(const net_source *from);
void net_handle_digest(const net_source *from);
