// The UDP transport on SDL_net: one socket, channels bound to the other
// computers' addresses, and three packets allocated once.
#include "net/transport.h"

#include <SDL/SDL.h>
#include <SDL/SDL_net.h>
#include <arpa/inet.h>

#include "core/events.h"
#include "frame/sys.h"

uint16_t net_socket_port = 0;

namespace {

UDPsocket sock = nullptr;
SDLNet_SocketSet sock_set = nullptr;
UDPpacket *packets[3] = {nullptr, nullptr, nullptr};

void sdl_start() {
    if (SDLNet_Init() < 0) sys_exit(6, "unable to initialize network: \"%s\"", SDL_GetError());
}

void sdl_alloc_packets(net_packet *receive, net_packet *general, net_packet *controls) {
    net_packet *mine[3] = {receive, general, controls};
    for (int i = 0; i < 3; i++) {
        packets[i] = SDLNet_AllocPacket(NET_PACKET_SIZE);
        mine[i]->data = packets[i] ? packets[i]->data : nullptr;
        mine[i]->len = 0;
    }
    if (!packets[0] || !packets[1] || !packets[2]) sys_exit(2, "couldn't allocate UDP packets");
}

bool sdl_open(uint16_t port) {
    sock = SDLNet_UDP_Open(port);
    if (!sock) return false;
    net_socket_port = port;
    sock_set = SDLNet_AllocSocketSet(1);
    if (!sock_set) sys_exit(6, "couldn't create socket set: \"%s\"", SDL_GetError());
    SDLNet_UDP_AddSocket(sock_set, sock);
    return true;
}

void sdl_bind(int channel, uint32_t host, uint16_t port) {
    IPaddress address = {host, port};
    if (sock) SDLNet_UDP_Bind(sock, channel, &address);
}

void sdl_unbind(int channel) {
    if (sock) SDLNet_UDP_Unbind(sock, channel);
}

void sdl_send(int channel, const net_packet *p) {
    if (!sock) return;
    // A packet record around the caller's bytes: no copy, no allocation.
    UDPpacket out = {};
    out.channel = channel;
    out.data = p->data;
    out.len = p->len;
    out.maxlen = NET_PACKET_SIZE;
    SDLNet_UDP_Send(sock, channel, &out);
}

void sdl_wait(uint32_t ms) {
    if (sock_set) SDLNet_CheckSockets(sock_set, ms);
}

int32_t sdl_receive(net_packet *into, net_source *from) {
    if (!sock || !packets[0]) return 0;
    if (SDLNet_UDP_Recv(sock, packets[0]) <= 0) return 0;
    into->len = packets[0]->len;
    from->channel = packets[0]->channel;
    from->host = packets[0]->address.host;
    from->port = packets[0]->address.port;
    return into->len;
}

bool sdl_resolve(const char *name, uint16_t port, uint32_t *host, uint16_t *net_port) {
    IPaddress address = {INADDR_NONE, 0};
    int result = SDLNet_ResolveHost(&address, name, port);
    *host = address.host;
    *net_port = address.port;
    return result == 0;
}

const char *sdl_host_text(uint32_t host) {
    IPaddress address = {host, 0};
    const char *text = SDLNet_ResolveIP(&address);
    if (text) return text;
    in_addr a;
    a.s_addr = host;
    return inet_ntoa(a);
}

void sdl_stop() {
    if (sock) SDLNet_UDP_Close(sock);
    sock = nullptr;
    if (sock_set) SDLNet_FreeSocketSet(sock_set);
    sock_set = nullptr;
    for (UDPpacket *&p : packets) {
        if (p) SDLNet_FreePacket(p);
        p = nullptr;
    }
    SDLNet_Quit();
}

}  // namespace

const net_io_ops sdl_net_io = {sdl_start, sdl_alloc_packets, sdl_open,      sdl_bind, sdl_unbind, sdl_send,
                               sdl_wait,  sdl_receive,       sdl_resolve,   sdl_host_text, sdl_stop, sys_ticks};
net_io_ops net_io = sdl_net_io;

uint16_t net_port_host(uint16_t net_port) { return ntohs(net_port); }
uint16_t net_port_net(uint16_t host_port) { return htons(host_port); }
