// The server's lobby and the client's join: the handlers of the packets that
// bring the computers of a network game together before its first frame.
#pragma once

#include "net/transport.h"

// The game's map start (the start picture, then "testmap.fenda"); tests may
// put their own here.
extern void (*net_map_start)();

// Server: a computer asks to join, tells it has loaded the map, leaves.
void net_handle_join(const net_source *from);
void net_handle_ready(const net_source *from);
void net_handle_leave(const net_source *from);
// Client: the server's answers and signals.
void net_handle_join_full(const net_source *from);
void net_handle_accept(const net_source *from);
void net_handle_address(const net_source *from);
void net_handle_prepare(const net_source *from);
void net_handle_start(const net_source *from);

// The server's part of the lobby, without its screen.
void net_server_setup(int local_players);
// Takes node n out of the game: its players' slots are freed.
void net_drop_node(int n);
// Tells every client the addresses and players of the other computers.
void net_send_addresses();
// Makes every computer load the map and waits until all have.
void net_prepare();
// The client's socket, its server node and the join request.
void net_connect(int local_players);
void net_leave();
