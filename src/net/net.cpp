// The network layer: its start and end, the node table, the sends, the
// acknowledgement bookkeeping and the receive step with its dispatch.
#include "net/net.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "frame/config.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "net/lobby.h"
#include "net/turn.h"
#include "sim/view.h"

net_node net_nodes[NET_NODES];
uint16_t net_local_node = NET_LOCAL_NODE;
uint16_t net_server_node = NET_NO_NODE;
bool net_is_server = false;
int32_t net_join_state = NET_IDLE;
int32_t net_total_players = 0;
bool net_lobby_redraw = false;
bool net_lobby_open = false;
net_packet net_recv_pak = {nullptr, 0}, net_send_pak = {nullptr, 0}, net_controls_pak = {nullptr, 0};
net_counts net_stats = {};

namespace {

const uint32_t UNBOUND_HOST = 0xFFFFFFFFu;

// Senders whose malformed datagrams were reported in the current second.
enum { DROP_NOTES = 16 };
struct drop_note {
    uint32_t host;
    uint16_t port;
    bool used;
    uint32_t second;
};
drop_note drop_notes[DROP_NOTES];

bool may_report(const net_source *from) {
    uint32_t second = net_io.clock() / 1000;
    drop_note *free_note = nullptr;
    for (drop_note &d : drop_notes) {
        if (d.used && d.host == from->host && d.port == from->port) {
            if (d.second == second) return false;
            d.second = second;
            return true;
        }
        if (!free_note && (!d.used || d.second != second)) free_note = &d;
    }
    // Every note taken by a sender reported this second: a flood from many
    // addresses is counted but not written.
    if (!free_note) return false;
    *free_note = {from->host, from->port, true, second};
    return true;
}

void handle_ack(const net_source *from) {
    int type;
    const char *fault;
    if (!pak_read_ack(&net_recv_pak, &type, &fault)) return net_drop_malformed(from, "%s", fault);
    if (from->channel < 0 || from->channel >= NET_NODES) return;
    uint16_t seq = pak_sequence(&net_recv_pak);
    net_node &n = net_nodes[from->channel];
    if (type <= PAK_SHUTDOWN && seq > n.acked[type]) n.acked[type] = seq;
}

void handle_shutdown(const net_source *) { sys_exit(0, "Shutdown signal recieved from network"); }

void ignore(const net_source *) {}

typedef void (*pak_handler)(const net_source *from);

const pak_handler handlers[PAK_TYPES] = {
    nullptr,                  // 0: no such type
    handle_ack,
    ignore,                   // PAK_JOIN_DENIED
    net_handle_join,
    net_handle_join_full,
    net_handle_accept,
    net_handle_address,
    net_handle_prepare,
    net_handle_ready,
    net_handle_start,
    net_handle_controls,
    net_handle_controls_have,
    net_handle_controls_ack,
    net_handle_leave,
    handle_shutdown,
    net_handle_digest,
};

}  // namespace

bool net_is_peer(int n) { return n > 0 && n < NET_SPARE_NODE && net_nodes[n].used && n != net_local_node; }

const char *net_address_text(uint32_t host, uint16_t port) {
    static char text[96];
    snprintf(text, sizeof text, "%s:%d", net_io.host_text(host), net_port_host(port));
    return text;
}

void net_drop_malformed(const net_source *from, const char *format, ...) {
    net_stats.malformed++;
    if (!may_report(from)) return;
    char reason[160];
    va_list ap;
    va_start(ap, format);
    vsnprintf(reason, sizeof reason, format, ap);
    va_end(ap);
    log_write(LOG_NETWORK, "dropped a datagram of %d bytes from %s: %s", (int)net_recv_pak.len,
              net_address_text(from->host, from->port), reason);
}

void net_reset_node(int n) {
    net_node &d = net_nodes[n];
    d.used = 1;
    d.host = UNBOUND_HOST;
    d.port = 0;
    d.channel = n;
    d.player_count = 0;
    d.controls_received = d.controls_acked = d.ready = d.early_pending = 0;
    d.early_len = 0;
    d.last_send = 0;
    memset(d.acked, 0, sizeof d.acked);
}

int net_alloc_node() {
    for (int n = 0; n < NET_SPARE_NODE; n++)
        if (!net_nodes[n].used) {
            net_reset_node(n);
            return n;
        }
    return 0;
}

void net_bind_node(int n, uint32_t host, uint16_t port) {
    log_write(LOG_NETWORK, "binding node %d to %s", n, net_address_text(host, port));
    net_nodes[n].host = host;
    net_nodes[n].port = port;
    net_nodes[n].channel = n;
    net_io.bind(n, host, port);
}

void net_unbind_node(int n) {
    log_write(LOG_NETWORK, "unbinding node %d", n);
    net_io.unbind(net_nodes[n].channel);
    net_nodes[n].host = UNBOUND_HOST;
    net_nodes[n].port = 0;
    net_nodes[n].channel = n;
}

void net_init() {
    log_write(LOG_INFO, "initializing network");
    log_write(LOG_INFO, "sizeof(pak_header) = %d, sizeof(address_pak) = %d", (int)PAK_HEADER_SIZE,
              (int)ADDRESS_PAK_SIZE);
    log_write(LOG_INFO, "net_packet_interval = %dms", config.net_packet_interval);
    net_io.start();
    subsystem_set(SUB_NETWORK, true);
    for (net_node &n : net_nodes) {
        n.used = 0;
        n.host = UNBOUND_HOST;
    }
    net_is_server = false;
    net_io.alloc_packets(&net_recv_pak, &net_send_pak, &net_controls_pak);
    net_server_node = NET_NO_NODE;
    net_local_node = NET_LOCAL_NODE;
    net_reset_node(NET_LOCAL_NODE);
    net_reset_node(NET_SPARE_NODE);
    net_total_players = 0;
    for (int i = 0; i < VIEW_SLOTS; i++) net_total_players += view_in_use(i);
    net_join_state = NET_IDLE;
    net_lobby_redraw = net_lobby_open = false;
    net_stats = {};
    memset(drop_notes, 0, sizeof drop_notes);
    net_turn_reset();
}

void net_shutdown() {
    log_write(LOG_INFO, "network shutdown");
    for (int n = 0; n < NET_NODES; n++)
        if (net_nodes[n].host != UNBOUND_HOST) net_io.unbind(net_nodes[n].channel);
    net_io.stop();
    net_recv_pak.data = net_send_pak.data = net_controls_pak.data = nullptr;
    subsystem_set(SUB_NETWORK, false);
}

void net_open_socket() {
    uint16_t port = 0;
    if (net_is_server) {
        if (net_io.open(NET_SERVER_PORT)) port = NET_SERVER_PORT;
    } else {
        for (int p = NET_CLIENT_PORT_FIRST; p <= NET_CLIENT_PORT_LAST && !port; p++)
            if (net_io.open((uint16_t)p)) port = (uint16_t)p;
    }
    if (!port) sys_exit(6, "unable to open UDP socket");
    log_write(LOG_NETWORK, "UDP socket opened at port %04Xh (%d)", port, port);
}

void net_send_packet(int n, const net_packet *p) { net_io.send(net_nodes[n].channel, p); }

void net_send_signal(int n, int type, uint16_t seq) {
    pak_build_signal(&net_send_pak, type, seq);
    net_send_packet(n, &net_send_pak);
}

void net_send_signal_all(int type, uint16_t seq) {
    for (int n = 0; n < NET_SPARE_NODE; n++)
        if (net_nodes[n].used && n != net_local_node) net_send_signal(n, type, seq);
}

void net_send_ack(int n, int type) {
    pak_build_ack(&net_send_pak, pak_sequence(&net_recv_pak), type);
    net_send_packet(n, &net_send_pak);
}

void net_send_reliable(int type) {
    uint32_t start = net_io.clock();
    for (int n = 0; n < NET_SPARE_NODE; n++)
        if (net_is_peer(n)) {
            net_nodes[n].acked[type] = 0;
            net_send_signal(n, type, 1);
            net_nodes[n].last_send = net_io.clock();
        }
    bool done;
    do {
        net_receive(50);
        done = true;
        uint32_t now = net_io.clock();
        for (int n = 0; n < NET_SPARE_NODE; n++) {
            if (!net_is_peer(n) || net_nodes[n].acked[type] == 1) continue;
            done = false;
            if (now - net_nodes[n].last_send > (uint32_t)config.net_packet_interval) {
                net_send_signal(n, type, 1);
                net_nodes[n].last_send = now;
                net_stats.resends++;
            }
        }
    } while (!done && start + NET_RELIABLE_MS > net_io.clock());
    if (!done) {
        net_send_signal_all(PAK_SHUTDOWN, 0);
        sys_exit(6, "sending packet %02Xh timeout", type);
    }
}

void net_dispatch(const net_source *from) {
    if (net_recv_pak.len < PAK_HEADER_SIZE) return net_drop_malformed(from, "shorter than a packet header");
    int type = pak_type(&net_recv_pak);
    if (type >= PAK_TYPES || !handlers[type]) return net_drop_malformed(from, "unknown packet type %d", type);
    handlers[type](from);
}

void net_receive(uint32_t wait_ms) {
    if (!subsystem_is_up(SUB_NETWORK)) return;
    // Taking a datagram looks at the socket itself: only a wait needs the set.
    if (wait_ms) net_io.wait(wait_ms);
    // Every datagram waiting is taken, up to a burst's worth, so that a
    // flood cannot hold the caller here.
    for (int i = 0; i < NET_RECEIVE_BURST; i++) {
        net_source from;
        if (net_io.receive(&net_recv_pak, &from) <= 0) return;
        net_dispatch(&from);
    }
}
