// Network play: the start of the network layer, the server's lobby and the
// client's join, and the lock-step exchange of control sets that the game
// loop drives every logical step. In a local game the network is never
// started (SUB_NETWORK stays clear) and every call of the game loop returns
// at once. Nothing here needs SDL, so the simulation can call it headless.
#pragma once
#include <cstdint>

// The set into which arriving control events go and the logical frame they
// are stamped with; net_begin_turn sets both.
extern int net_receive_set;
extern int32_t net_receive_stamp;

// Starts the network layer for a network game; fatal when it cannot start.
void net_init();
// The server's waiting screen and the client's join; both load the map.
void net_server_lobby(int local_players);
void net_client_join(int local_players);

// Opens the next turn: control events that arrive go into `set`, stamped
// with `stamp`.
void net_begin_turn(int set, int32_t stamp);
// Waits at a turn's end until every computer's set of the turn has arrived
// and every computer holds ours; the milliseconds spent waiting, or 0.
uint32_t net_wait_turn();
// Sends the local players' events of `set` to every other computer.
void net_send_controls(int set);
// Handles the packets that have arrived, waiting up to `wait_ms` for one.
void net_receive(uint32_t wait_ms);
