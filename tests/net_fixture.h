// The network unit tests' world, and a transport of our own in place of
// SDL_net: its clock moves only while the layer waits, datagrams are handed
// in by the test or a scripted peer, and every send is kept.
#pragma once
#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "frame/log.h"
#include "frame/sys.h"
#include "net/lobby.h"
#include "net/net.h"
#include "net/turn.h"
#include "netns_util.h"
#include "sim/state_hash.h"
#include "world_fixture.h"

struct datagram {
    int32_t channel;  // sent: the channel; received: filled in by the fake
    uint32_t host;
    uint16_t port;    // network byte order
    bytes data;
    int type() const { return data.empty() ? -1 : data[0]; }
    int seq() const { return data.size() < 4 ? -1 : data[2] | data[3] << 8; }
};

struct fake_transport {
    uint32_t now = 100000;
    std::deque<datagram> inbox;
    std::vector<datagram> sent;
    struct binding {
        bool bound;
        uint32_t host;
        uint16_t port;
    } channels[NET_NODES] = {};
    std::vector<uint16_t> busy_ports;  // ports that cannot be opened
    uint8_t buffers[3][NET_PACKET_SIZE] = {};
    // A scripted peer: sees each send, may answer into the inbox.
    std::function<void(const datagram &)> on_send;
    // Datagrams that arrive when the clock reaches their time.
    std::vector<std::pair<uint32_t, datagram>> later;

    // A wait ends early when a datagram arrives, as a socket set's does.
    void wait(uint32_t ms) {
        uint32_t until = now + ms;
        for (const auto &l : later) until = std::min(until, std::max(now, l.first));
        if (inbox.empty()) now = until;
        for (size_t i = 0; i < later.size();)
            if (later[i].first <= now) {
                inbox.push_back(later[i].second);
                later.erase(later.begin() + (long)i);
            } else {
                i++;
            }
    }

    // A datagram from 127.0.0.1:port.
    void deliver(uint16_t port, const bytes &data) { inbox.push_back({-1, ipv4(127, 0, 0, 1), net_port_net(port), data}); }
    std::vector<datagram> sent_of(int type) const {
        std::vector<datagram> out;
        for (const datagram &d : sent)
            if (d.type() == type) out.push_back(d);
        return out;
    }
};

inline fake_transport *fake = nullptr;

inline const net_io_ops fake_io = {
    [] {},
    [](net_packet *r, net_packet *g, net_packet *c) {
        net_packet *p[3] = {r, g, c};
        for (int i = 0; i < 3; i++) *p[i] = {fake->buffers[i], 0};
    },
    [](uint16_t port) {
        for (uint16_t busy : fake->busy_ports)
            if (busy == port) return false;
        return true;
    },
    [](int ch, uint32_t host, uint16_t port) { fake->channels[ch] = {true, host, port}; },
    [](int ch) { fake->channels[ch] = {false, 0, 0}; },
    [](int ch, const net_packet *p) {
        const auto &b = fake->channels[ch];
        if (!b.bound) return;
        datagram d{ch, b.host, b.port, bytes(p->data, p->data + p->len)};
        fake->sent.push_back(d);
        if (fake->on_send) fake->on_send(d);
    },
    [](uint32_t ms) { fake->wait(ms); },
    [](net_packet *into, net_source *from) -> int32_t {
        if (fake->inbox.empty()) return 0;
        datagram d = fake->inbox.front();
        fake->inbox.pop_front();
        memcpy(into->data, d.data.data(), d.data.size());
        into->len = (int32_t)d.data.size();
        *from = {-1, d.host, d.port};
        for (int ch = 0; ch < NET_NODES; ch++)
            if (fake->channels[ch].bound && fake->channels[ch].host == d.host && fake->channels[ch].port == d.port) {
                from->channel = ch;
                break;
            }
        return into->len;
    },
    [](const char *, uint16_t port, uint32_t *host, uint16_t *net_port) {
        *host = ipv4(127, 0, 0, 1);
        *net_port = net_port_net(port);
        return true;
    },
    [](uint32_t) { return "127.0.0.1"; },  // every peer's address
    [] {},
    [] { return fake->now; },
};

// How a fatal end was reached inside run_fatal.
struct fatal_end {
    int code = -1;  // -1: no fatal end
    std::string message;
};

inline jmp_buf fatal_jump;
inline fatal_end *fatal_record = nullptr;

// Runs `body`; a sys_exit inside it comes back here with its code and
// message instead of ending the test. The frame is restarted afterwards.
inline fatal_end run_fatal(void (*body)()) {
    static fatal_end result;
    result = fatal_end();
    fatal_record = &result;
    void (*saved_hook)(int, const char *) = sys_exit_hook;
    const program_info *saved_program = program;
    sys_exit_hook = [](int code, const char *message) {
        *fatal_record = {code, message};
        longjmp(fatal_jump, 1);
    };
    if (!setjmp(fatal_jump)) body();
    bool up[SUB_SLOTS_MAX];
    for (int i = 0; i < SUB_SLOTS_MAX; i++) up[i] = subsystem_is_up(i);
    bool log_on = log_enabled;
    frame_start(saved_program);
    log_enabled = log_on;
    for (int i = 0; i < SUB_SLOTS_MAX; i++) subsystem_set(i, up[i]);
    sys_exit_hook = saved_hook;
    return result;
}

struct net_env : world_env {
    fake_transport transport;
    int map_starts = 0;
    static inline int *map_count = nullptr;

    net_env() {
        fake = &transport;
        net_io = fake_io;
        map_count = &map_starts;
        net_map_start = [] { ++*map_count; };
        net_world_digest = [] { return (uint64_t)net_turn_number * 1000003u; };
        config_defaults(false);
        // The lobby writes its waiting lines into the back buffer.
        alloc_bitmap(&back_buffer, GAME_SCREEN_WIDTH, GAME_SCREEN_HEIGHT, RMT_SCREEN, "screen");
        net_init();
    }
    ~net_env() {
        if (subsystem_is_up(SUB_NETWORK)) net_shutdown();
        net_io = sdl_net_io;
        fake = nullptr;
        net_world_digest = world_hash;
    }
    // Node n bound to 127.0.0.1:port with players in `slots`.
    void add_peer(int n, uint16_t port, std::vector<int> slots) {
        net_reset_node(n);
        net_bind_node(n, ipv4(127, 0, 0, 1), net_port_net(port));
        net_nodes[n].player_count = (int32_t)slots.size();
        for (size_t j = 0; j < slots.size(); j++) {
            net_nodes[n].players[j] = slots[j];
            init_view(slots[j]);
            views[slots[j]].remote = 1;
        }
    }
    void from_peer(uint16_t port, const bytes &data) { transport.deliver(port, data); }
    // Hands every datagram waiting to the receive step.
    void pump() {
        while (!transport.inbox.empty()) net_receive(0);
    }
};
