// Fuzz target: the network layer's receive step, every handler fed
// arbitrary datagrams from four senders, on a server in its lobby or in play
// and on a client joining, waiting in the lobby or in play. The input's
// first byte picks the state; then each datagram is a sender byte, a length
// byte and that many bytes. Sockets are replaced by the input; the clock
// moves only while the layer waits, so the time limits pass quickly.
#include <cstring>

#include "core/realm.h"
#include "frame/config.h"
#include "frame/sys.h"
#include "harness.h"
#include "net/lobby.h"
#include "net/net.h"
#include "net/turn.h"
#include "sim/creature.h"
#include "sim/view.h"

namespace {

const uint8_t *input;
size_t input_size, input_at;
uint32_t now;
bool bound[NET_NODES];
uint32_t bound_host[NET_NODES];
uint16_t bound_port[NET_NODES];
uint8_t buffers[3][NET_PACKET_SIZE];

uint32_t host_of(int sender) {
    const uint8_t raw[4][4] = {{127, 0, 0, 1}, {127, 0, 0, 1}, {127, 0, 0, 1}, {10, 0, 0, 9}};
    uint32_t h;
    memcpy(&h, raw[sender], 4);
    return h;
}

uint16_t port_of(int sender) {
    const uint16_t ports[4] = {8192, 8193, 8194, 9999};
    return net_port_net(ports[sender]);
}

int32_t next_datagram(net_packet *into, net_source *from) {
    if (input_at + 2 > input_size) return 0;
    int sender = input[input_at] & 3;
    size_t len = input[input_at + 1];
    input_at += 2;
    if (len > input_size - input_at) len = input_size - input_at;
    memcpy(into->data, input + input_at, len);
    input_at += len;
    into->len = (int32_t)len;
    *from = {-1, host_of(sender), port_of(sender)};
    for (int ch = 0; ch < NET_NODES; ch++)
        if (bound[ch] && bound_host[ch] == from->host && bound_port[ch] == from->port) {
            from->channel = ch;
            break;
        }
    return into->len;
}

const net_io_ops input_io = {
    [] {},
    [](net_packet *r, net_packet *g, net_packet *c) {
        *r = {buffers[0], 0};
        *g = {buffers[1], 0};
        *c = {buffers[2], 0};
    },
    [](uint16_t) { return true; },
    [](int ch, uint32_t host, uint16_t port) {
        bound[ch] = true;
        bound_host[ch] = host;
        bound_port[ch] = port;
    },
    [](int ch) { bound[ch] = false; },
    [](int, const net_packet *p) {
        // What is sent must lie inside its buffer.
        volatile uint8_t sink = 0;
        for (int32_t i = 0; i < p->len; i++) sink ^= p->data[i];
        (void)sink;
    },
    [](uint32_t ms) { now += ms ? ms : 1; },
    next_datagram,
    [](const char *, uint16_t port, uint32_t *host, uint16_t *net_port) {
        *host = host_of(0);
        *net_port = net_port_net(port);
        return true;
    },
    [](uint32_t) { return "peer"; },
    [] {},
    [] { return now; },
};

void add_peer(int n, int sender, int slot) {
    net_reset_node(n);
    net_bind_node(n, host_of(sender), port_of(sender));
    net_nodes[n].player_count = 1;
    net_nodes[n].players[0] = slot;
    init_view(slot);
    views[slot].remote = 1;
}

void run() {
    for (int i = 0; i < VIEW_SLOTS; i++) {
        auto *c = static_cast<creature *>(ralloc(RMT_GAME, CREATURE_RECORD_SIZE));
        memset(c, 0, CREATURE_RECORD_SIZE);
        c->view = &views[i];
        views[i].creature = c;
    }
    memset(bound, 0, sizeof bound);
    now = 1000;
    input_at = 1;
    net_io = input_io;
    net_map_start = [] {};
    net_init();
    switch (input[0] % 5) {
    case 0:  // a server taking joins
        net_server_setup(1);
        net_lobby_open = true;
        break;
    case 1:  // a server in play with two clients
        net_server_setup(1);
        add_peer(1, 1, 1);
        add_peer(2, 2, 2);
        net_join_state = NET_STARTED;
        break;
    case 2:  // a client waiting for its accept
    case 3:  // ... accepted, waiting in the lobby
    case 4:  // ... in play beside another client
        net_connect(1);
        net_join_state = NET_JOINING;
        if (input[0] % 5 == 2) break;
        net_join_state = NET_CONNECTED;
        net_nodes[net_local_node].players[0] = 1;
        init_view(1);
        if (input[0] % 5 == 3) break;
        net_nodes[net_server_node].player_count = 1;
        init_view(0);
        views[0].remote = 1;
        add_peer(2, 2, 2);
        net_join_state = NET_STARTED;
        break;
    }
    net_begin_turn(0, 20);
    net_send_controls(0);
    while (input_at + 2 <= input_size) net_receive(0);
    if (net_join_state == NET_STARTED) net_wait_turn();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    input = data;
    input_size = size;
    fuzz_run("fuzz.net", data, size, run);
    if (subsystem_is_up(SUB_NETWORK)) net_shutdown();
    net_io = sdl_net_io;
    return 0;
}
