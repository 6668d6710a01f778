// What the network layer needs from the system: one UDP socket with its
// channels (an address bound to channel n makes datagrams from it arrive
// as channel n), the three packet buffers, host names, and the clock. The
// game runs on SDL_net (transport.cpp, the only file that includes it);
// tests and the fuzz target put their own operations in `net_io`.
#pragma once
#include <cstdint>

#include "net/wire.h"

// Where a received datagram came from: the channel its address is bound
// to, or -1, and the address in network byte order.
struct net_source {
    int32_t channel;
    uint32_t host;
    uint16_t port;
};

struct net_io_ops {
    // Starts the library; fatal when it cannot.
    void (*start)();
    // Allocates the three packet buffers; fatal when one is missing.
    void (*alloc_packets)(net_packet *receive, net_packet *general, net_packet *controls);
    // Opens the socket on `port` (and its socket set); false when the port
    // cannot be had. Fatal when the socket set cannot be made.
    bool (*open)(uint16_t port);
    void (*bind)(int channel, uint32_t host, uint16_t port);
    void (*unbind)(int channel);
    // Sends the packet to the address bound to `channel`; nothing when none.
    void (*send)(int channel, const net_packet *p);
    // Waits up to `ms` for a datagram to arrive.
    void (*wait)(uint32_t ms);
    // Takes one waiting datagram into `into`: its length, or 0 when none.
    int32_t (*receive)(net_packet *into, net_source *from);
    // The address of a host name or dotted address with `port` (host
    // order); false when it does not resolve.
    bool (*resolve)(const char *name, uint16_t port, uint32_t *host, uint16_t *net_port);
    // The text for an address: its host name, else the dotted address.
    const char *(*host_text)(uint32_t host);
    // Closes the socket, frees the set and the packets, ends the library.
    void (*stop)();
    uint32_t (*clock)();
};

// The operations in use; SDL_net's unless a test replaced them.
extern net_io_ops net_io;
extern const net_io_ops sdl_net_io;

// The port of the socket opened last, in host order (0 before).
extern uint16_t net_socket_port;

// Host-order port of a network-order one, and back.
uint16_t net_port_host(uint16_t net_port);
uint16_t net_port_net(uint16_t host_port);
