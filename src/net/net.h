// Network play: the network layer's start and end, the table of nodes (the
// computers this one talks to), the sends, the acknowledgements and the
// receive step that hands every datagram to its handler; the server's lobby
// and the client's join (lobby.cpp); the lock-step exchange of control sets
// during play (turn.cpp). A local game never starts the network: SUB_NETWORK
// stays clear and every call of the game loop returns at once.
#pragma once
#include <cstdint>

#include "net/transport.h"
#include "net/wire.h"

enum {
    NET_NODES = 5,             // 0 this computer, 1 to 3 the others, 4 the spare
    NET_LOCAL_NODE = 0,
    NET_SPARE_NODE = 4,
    NET_NO_NODE = 0xFFFF,
    NET_SERVER_PORT = 8192,
    NET_CLIENT_PORT_FIRST = 8193,
    NET_CLIENT_PORT_LAST = 8208,
    NET_RELIABLE_MS = 20000,
    NET_JOIN_MS = 10000,
    NET_ADDRESSES_MS = 40000,
    NET_READY_MS = 30000,
    NET_LEAVE_MS = 10000,
    NET_TURN_MS = 10000,
    NET_RECEIVE_BURST = 64     // most datagrams one receive step takes in
};

// Join states.
enum { NET_IDLE = 0, NET_JOINING = 1, NET_CONNECTED = 2, NET_PREPARED = 3, NET_STARTED = 4 };

struct net_node {
    int32_t used;
    int32_t player_count;
    int32_t players[NET_MAX_PLAYERS];   // slot numbers; the index is the player position
    uint32_t host;                      // network byte order; 0xFFFFFFFF while not bound
    uint16_t port;                      // network byte order; 0 while not bound
    int32_t channel;                    // always the node's own index
    uint16_t acked[PAK_SHUTDOWN + 1];   // highest sequence acknowledged, per type
    int32_t controls_received;          // its set of the current turn is stored
    int32_t controls_acked;             // it holds our set of the current turn
    uint32_t last_send;                 // ms, the last send that may need repeating
    int32_t ready;                      // it has loaded the map
    int32_t early_pending;
    int32_t early_len;
    uint8_t early[NET_PACKET_SIZE];     // bytes 4 on of a PAK_CONTROLS of the next turn
};

// Counts for the end-of-game line and the tests.
struct net_counts {
    uint32_t turns;
    uint32_t waited_ms, longest_wait_ms;
    uint32_t resends;
    uint32_t malformed;
};

extern net_node net_nodes[NET_NODES];
extern uint16_t net_local_node;
extern uint16_t net_server_node;
extern bool net_is_server;
extern int32_t net_join_state;
extern int32_t net_total_players;
extern bool net_lobby_redraw;
// Joins are taken only while the server's lobby waits for Space.
extern bool net_lobby_open;
// The receive packet (each datagram as it arrives), the general send
// packet (signals, acknowledgements, joins, accepts, addresses) and the
// controls packet (this computer's set of the current turn).
extern net_packet net_recv_pak, net_send_pak, net_controls_pak;
extern net_counts net_stats;

// The set into which arriving control events go and the logical frame they
// are stamped with; net_begin_turn sets both.
extern int net_receive_set;
extern int32_t net_receive_stamp;

// Starts the network layer for a network game; fatal when it cannot start.
void net_init();
// Ends it; only sys_exit calls it, when SUB_NETWORK is set.
void net_shutdown();
// Opens this computer's socket: 8192 on the server, the first free port of
// 8193 to 8208 on a client.
void net_open_socket();

int net_alloc_node();   // a node of 1 to 3 newly taken, or 0 when none is free
void net_reset_node(int n);
void net_bind_node(int n, uint32_t host, uint16_t port);
void net_unbind_node(int n);

void net_send_signal(int n, int type, uint16_t seq);
void net_send_signal_all(int type, uint16_t seq);
// Sends `p` to node n as it stands.
void net_send_packet(int n, const net_packet *p);
// Acknowledges the datagram in the receive packet to node n.
void net_send_ack(int n, int type);
// Sends a signal with sequence number 1 to every other computer and waits
// until all have acknowledged it; after 20 s tells them to shut down and
// ends the program.
void net_send_reliable(int type);
// The receive step: handles every datagram waiting, after waiting up to
// `wait_ms` for the first.
void net_receive(uint32_t wait_ms);
// Handles one datagram that is in the receive packet.
void net_dispatch(const net_source *from);

// A datagram that cannot be read is dropped with a line naming the sender
// and the fault: at most one line per sender and second.
void net_drop_malformed(const net_source *from, const char *format, ...) __attribute__((format(printf, 2, 3)));
// "host:port" of an address, for messages.
const char *net_address_text(uint32_t host, uint16_t port);
// True while node n (1 to 3) is a computer of this game.
bool net_is_peer(int n);

// The server's waiting screen and the client's join; both load the map.
void net_server_lobby(int local_players);
void net_client_join(int local_players);

// Opens the next turn: control events that arrive go into `set`, stamped
// with `stamp`; sets that arrived early are taken in.
void net_begin_turn(int set, int32_t stamp);
// Waits at a turn's end until every computer's set of the turn has arrived
// and every computer holds ours; the milliseconds spent waiting when 100 or
// more, else 0.
uint32_t net_wait_turn();
// The world's digest that the last net_wait_turn sent to the other
// computers (the world has not changed since, until the next step).
extern uint64_t net_last_digest;
// Sends the local players' events of `set` to every other computer.
void net_send_controls(int set);
// The statistics line of a network game's end.
void net_report();
