// The server's lobby and start sequence, the client's join, and the handlers
// of the packets they exchange.
#include "net/lobby.h"

#include <cstring>

#include "core/events.h"
#include "core/realm.h"
#include "frame/config.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/video.h"
#include "net/net.h"
#include "sim/view.h"
#include "world/map_load.h"

namespace {

enum { KEY_ESCAPE = 27, KEY_SPACE = 32, LIST_X = 70, LIST_Y = 30, LINE_STEP = 20, NODE_GAP = 40 };

bitmap lobby_picture;
int lobby_x, lobby_y;
// The PAK_ADDRESS entries this client has taken, by sequence number (the
// described node's index on the server plus one, 1 to 4).
bool address_taken[NET_SPARE_NODE + 1];

void real_map_start() {
    show_start_picture();
    load_map("testmap.fenda");
}

// A resending loop keeps its own copy of what it resends: handlers that run
// inside the loop's receive steps rebuild the general send packet.
struct kept_packet {
    uint8_t bytes[NET_PACKET_SIZE];
    net_packet p;
};

void keep(kept_packet *k, const net_packet *from) {
    memcpy(k->bytes, from->data, (size_t)from->len);
    k->p = {k->bytes, from->len};
}

void load_lobby_picture() {
    load_bitmap(&lobby_picture, "nexus.jpg", RMT_PICTURE);
    lobby_x = (screen_width - lobby_picture.width) / 2;
    lobby_y = (screen_height - lobby_picture.height) / 2;
}

void copy_name(view *v, const char *name) {
    strncpy(v->name, name, VIEW_NAME_MAX + 1);
    v->name[VIEW_NAME_MAX] = 0;
}

void make_remote_player(int slot, const char *name) {
    init_view(slot);
    views[slot].remote = 1;
    copy_name(&views[slot], name);
}

// The server's whole list: the picture is shown again first, so that the
// lines of a computer that left do not stay under the new list.
void draw_lobby() {
    show_bitmap(&lobby_picture, lobby_x, lobby_y);
    int x = lobby_x + LIST_X, y = lobby_y + LIST_Y;
    for (int n = 0; n < NET_SPARE_NODE; n++) {
        const net_node &d = net_nodes[n];
        if (!d.used) continue;
        if (n == net_server_node)
            draw_text(&back_buffer, 0, x, y, "THIS computer");
        else
            draw_textf(&back_buffer, 0, x, y, "%s", net_address_text(d.host, d.port));
        y += LINE_STEP;
        for (int j = 0; j < d.player_count; j++) {
            draw_textf(&back_buffer, 0, x, y, "%s", views[d.players[j]].name);
            y += LINE_STEP;
        }
        y += NODE_GAP;
    }
    update_screen();
}

// Answers a join that cannot be taken through the spare node.
void refuse_join(const net_source *from, int type) {
    net_bind_node(NET_SPARE_NODE, from->host, from->port);
    net_send_signal(NET_SPARE_NODE, type, 0);
    net_unbind_node(NET_SPARE_NODE);
}

// Gives node n its players and answers with PAK_ACCEPT until the answer is
// acknowledged; after 10 s the node is dropped and the lobby goes on.
void join_node(int node, const join_pak &request) {
    net_node &d = net_nodes[node];
    log_write(LOG_NETWORK, "joining node %d with %d player(s)", node, request.count);
    int32_t slots[PAK_JOIN_MAX];
    for (int j = 0; j < request.count; j++) {
        int s = 0;
        while (view_in_use(s)) s++;
        make_remote_player(s, request.names[j]);
        slots[j] = d.players[j] = s;
    }
    d.player_count = request.count;
    net_total_players += request.count;
    pak_build_accept(&net_send_pak, (uint16_t)config.net_packet_interval, (uint16_t)config.net_control_interval,
                     (uint16_t)config.net_control_send_time, request.count, slots);
    kept_packet accept;
    keep(&accept, &net_send_pak);

    const uint32_t host = d.host;
    const uint16_t port = d.port;
    d.acked[PAK_ACCEPT] = 0;
    uint32_t start = net_io.clock();
    do {
        if (d.acked[PAK_ACCEPT] == 1) return;
        net_send_packet(node, &accept.p);
        net_receive(50);
        // The computer left (or its node went to another) while we waited.
        if (!d.used || d.host != host || d.port != port) return;
    } while (start + NET_JOIN_MS >= net_io.clock());
    if (d.acked[PAK_ACCEPT] == 1) return;
    log_write(LOG_NETWORK, "join of node %d had failed due to timeout", node);
    net_drop_node(node);
}

bool from_server(const net_source *from) {
    return !net_is_server && net_server_node != NET_NO_NODE && from->channel == net_server_node;
}

// The entry must name free, distinct slots; nothing is changed otherwise.
bool entry_fits(const address_entry &e) {
    bool taken[NET_MAX_PLAYERS] = {};
    for (int j = 0; j < e.count; j++) {
        if (view_in_use(e.slots[j]) || taken[e.slots[j]]) return false;
        taken[e.slots[j]] = true;
    }
    return true;
}

void add_address(const net_source *from, const address_entry &e, uint16_t seq) {
    if (seq < 1 || seq > NET_SPARE_NODE) return net_drop_malformed(from, "address entry with sequence number %d", seq);
    if (address_taken[seq]) return;  // a repeat: acknowledged again, nothing more
    // Only the server's own entry carries this sentinel address.
    bool server_entry = e.host == ADDRESS_SERVER_HOST && e.port == 0;
    if (!server_entry)
        for (int n = 0; n < NET_SPARE_NODE; n++)
            if (net_nodes[n].used && net_nodes[n].host == e.host && net_nodes[n].port == e.port) return;
    if (!entry_fits(e)) return net_drop_malformed(from, "address entry names a slot already taken");
    int node = server_entry ? net_server_node : net_alloc_node();
    if (node == 0) return net_drop_malformed(from, "address entry for a fourth computer");
    net_node &d = net_nodes[node];
    for (int j = 0; j < e.count; j++) {
        make_remote_player(e.slots[j], e.names[j]);
        d.players[j] = e.slots[j];
    }
    d.player_count = e.count;
    net_total_players += e.count;
    if (!server_entry) net_bind_node(node, e.host, e.port);
    address_taken[seq] = true;
}

// The wait of the client's lobby: events, then packets; Escape leaves.
void client_wait_while(int state) {
    while (net_join_state == state) {
        events_poll();
        net_receive(50);
        event e;
        while (event_get(&e))
            if (e.type == EV_KEY_DOWN && e.key == KEY_ESCAPE) {
                net_leave();
                sys_exit(0, "Aborted by user");
            }
    }
}

// A server's timing values that a game can be played with: a set is sent
// inside every turn, and the 16-bit wire fields hold every value.
bool timing_playable(int packet_interval, int control_interval, int send_time) {
    return packet_interval >= 1 && packet_interval <= 0xFFFF && control_interval >= 1 &&
           control_interval <= 0xFFFF && send_time >= 1 && send_time <= control_interval;
}

}  // namespace

void (*net_map_start)() = real_map_start;

void net_drop_node(int n) {
    net_node &d = net_nodes[n];
    d.used = 0;
    for (int j = 0; j < d.player_count; j++) free_view(d.players[j]);
    net_total_players -= d.player_count;
    d.player_count = 0;
    net_unbind_node(n);
}

void net_handle_join(const net_source *from) {
    join_pak request;
    const char *fault;
    if (!pak_read_join(&net_recv_pak, &request, &fault)) return net_drop_malformed(from, "%s", fault);
    // Joins are taken only in the lobby: a computer that joined once the
    // addresses went out would be known to no other client.
    if (!net_is_server || net_join_state == NET_STARTED || !net_lobby_open)
        return refuse_join(from, PAK_JOIN_DENIED);
    if (from->channel >= 0) return;  // already a node of this game
    int node = net_alloc_node();
    if (node == 0 || request.count < 1 || request.count > PAK_JOIN_MAX ||
        net_total_players + request.count >= NET_MAX_PLAYERS) {
        refuse_join(from, PAK_JOIN_FULL);
        if (node) net_nodes[node].used = 0;
        net_lobby_redraw = true;
        return;
    }
    net_bind_node(node, from->host, from->port);
    join_node(node, request);
    net_lobby_redraw = true;
}

void net_handle_ready(const net_source *from) {
    if (net_is_server && net_is_peer(from->channel)) net_nodes[from->channel].ready = 1;
}

void net_handle_leave(const net_source *from) {
    // During play the node table stays as it is.
    if (!net_is_server || net_join_state == NET_STARTED || !net_is_peer(from->channel)) return;
    net_drop_node(from->channel);
    net_lobby_redraw = true;
}

void net_handle_join_full(const net_source *from) {
    if (!from_server(from) || net_join_state != NET_JOINING) return;
    net_unbind_node(net_server_node);
    net_server_node = NET_NO_NODE;
    net_join_state = NET_IDLE;
}

void net_handle_accept(const net_source *from) {
    if (!from_server(from)) return;
    accept_pak a;
    const char *fault;
    if (!pak_read_accept(&net_recv_pak, &a, &fault)) return net_drop_malformed(from, "%s", fault);
    if (net_join_state == NET_CONNECTED) return net_send_ack(net_server_node, PAK_ACCEPT);
    if (net_join_state != NET_JOINING) return;
    net_node &local = net_nodes[net_local_node];
    bool taken[NET_MAX_PLAYERS] = {};
    for (int j = 0; j < a.count; j++) {
        if (taken[a.slots[j]]) return net_drop_malformed(from, "the same slot given twice");
        taken[a.slots[j]] = true;
    }
    if (a.count != local.player_count) return net_drop_malformed(from, "slots for %d players, %d asked", a.count, local.player_count);
    if (!timing_playable(a.packet_interval, a.control_interval, a.send_time)) {
        log_write(LOG_NETWORK, "the server's timing cannot be played: packet interval %d, control interval %d, send time %d",
                  a.packet_interval, a.control_interval, a.send_time);
        net_unbind_node(net_server_node);
        sys_exit(11, "joining to the server had failed: its net_control_interval %d and net_control_send %d cannot be played",
                 a.control_interval, a.send_time);
    }
    // net_join_accepted: our players take the slots the server gave.
    log_write(LOG_NETWORK, "server accepted our join");
    for (int j = 0; j < a.count; j++) {
        init_view(a.slots[j]);
        copy_name(&views[a.slots[j]], config.player_name[j]);
        local.players[j] = a.slots[j];
    }
    config.net_packet_interval = a.packet_interval;
    config.net_control_interval = a.control_interval;
    config.net_control_send_time = a.send_time;
    net_join_state = NET_CONNECTED;
    net_send_ack(net_server_node, PAK_ACCEPT);
}

void net_handle_address(const net_source *from) {
    if (!from_server(from) || net_join_state < NET_CONNECTED) return;
    address_entry e;
    const char *fault;
    if (!pak_read_address(&net_recv_pak, &e, &fault)) return net_drop_malformed(from, "%s", fault);
    uint16_t seq = pak_sequence(&net_recv_pak);
    net_send_ack(net_server_node, PAK_ADDRESS);
    add_address(from, e, seq);
}

void net_handle_prepare(const net_source *from) {
    if (!from_server(from) || net_join_state < NET_CONNECTED) return;
    net_send_ack(net_server_node, PAK_PREPARE);
    net_node &local = net_nodes[net_local_node];
    if (!local.ready) {
        net_map_start();
        local.ready = 1;
        net_join_state = NET_PREPARED;
    }
    net_send_signal(net_server_node, PAK_READY, 0);
}

void net_handle_start(const net_source *from) {
    if (!from_server(from)) return;
    net_send_ack(net_server_node, PAK_START);
    if (net_join_state == NET_PREPARED) net_join_state = NET_STARTED;
}

void net_server_setup(int k) {
    if (!timing_playable(config.net_packet_interval, config.net_control_interval, config.net_control_send_time))
        sys_exit(16, "\"fenda2.config\": packet_interval %d, net_control_interval %d and net_control_send %d "
                     "cannot play a network game",
                 config.net_packet_interval, config.net_control_interval, config.net_control_send_time);
    net_node &local = net_nodes[net_local_node];
    for (int i = 0; i < k; i++) {
        init_view(i);
        views[i].remote = 0;
        copy_name(&views[i], config.player_name[i]);
        local.players[i] = i;
    }
    net_total_players = k;
    local.player_count = k;
    net_server_node = net_local_node;
    net_is_server = true;
    net_join_state = NET_IDLE;
    net_open_socket();
}

void net_send_addresses() {
    for (int d = 0; d < NET_SPARE_NODE; d++) {
        const net_node &described = net_nodes[d];
        if (!described.used) continue;
        const char *names[PAK_JOIN_MAX];
        for (int j = 0; j < described.player_count; j++) names[j] = views[described.players[j]].name;
        bool own = d == net_local_node;
        pak_build_address(&net_send_pak, (uint16_t)(d + 1), own ? ADDRESS_SERVER_HOST : described.host,
                          own ? 0 : described.port, described.player_count, described.players, names);
        kept_packet entry;
        keep(&entry, &net_send_pak);
        uint32_t start = net_io.clock();
        for (int r = 0; r < NET_SPARE_NODE; r++)
            if (net_is_peer(r) && r != d) {
                net_nodes[r].acked[PAK_ADDRESS] = 0;
                net_send_packet(r, &entry.p);
            }
        bool done;
        do {
            net_receive(50);
            done = true;
            for (int r = 0; r < NET_SPARE_NODE; r++)
                if (net_is_peer(r) && r != d && net_nodes[r].acked[PAK_ADDRESS] != d + 1) {
                    net_send_packet(r, &entry.p);
                    net_stats.resends++;
                    done = false;
                }
        } while (!done && start + NET_ADDRESSES_MS > net_io.clock());
        if (!done) {
            net_send_signal_all(PAK_SHUTDOWN, 0);
            sys_exit(6, "sending addresses timeout");
        }
    }
}

void net_prepare() {
    net_send_reliable(PAK_PREPARE);
    net_map_start();
    net_nodes[net_local_node].ready = 1;
    draw_text(&back_buffer, 0, 20, screen_height - 20, "Waiting signal READY from the clients...");
    update_screen();
    uint32_t start = net_io.clock();
    bool done;
    do {
        net_receive(50);
        done = true;
        for (int n = 0; n < NET_SPARE_NODE; n++)
            if (net_nodes[n].used && !net_nodes[n].ready) {
                net_send_signal(n, PAK_PREPARE, 0);
                done = false;
            }
    } while (!done && start + NET_READY_MS > net_io.clock());
    if (!done) sys_exit(6, "prepearing timeout");
}

void net_server_lobby(int k) {
    load_lobby_picture();
    draw_text(&lobby_picture, 0, 50, lobby_picture.height - 50, "Press space to start");
    draw_text(&lobby_picture, 0, 50, lobby_picture.height - 30, "Press escape to quit");
    clear_screen();
    show_bitmap(&lobby_picture, lobby_x, lobby_y);
    net_server_setup(k);
    net_lobby_redraw = true;
    net_lobby_open = true;
    for (bool start = false; !start;) {
        events_poll();
        net_receive(50);
        event e;
        while (event_get(&e)) {
            if (e.type == EV_KEY_DOWN && e.key == KEY_ESCAPE) sys_exit(0, "Aborted by user");
            if (e.type == EV_KEY_UP && e.key == KEY_SPACE) start = true;
        }
        if (net_lobby_redraw) {
            draw_lobby();
            net_lobby_redraw = false;
        }
    }
    net_lobby_open = false;
    net_send_addresses();
    net_prepare();
    net_send_reliable(PAK_START);
    net_join_state = NET_STARTED;
    free_bitmap(&lobby_picture);
}

void net_connect(int k) {
    net_open_socket();
    net_server_node = (uint16_t)net_alloc_node();
    log_write(LOG_INFO, "conneting to server \"%s\"", config.server);
    uint32_t host;
    uint16_t port;
    // A name that does not resolve is not sent to: SDL_net would leave the
    // broadcast address in its place.
    if (!net_io.resolve(config.server, NET_SERVER_PORT, &host, &port)) {
        log_write(LOG_NETWORK, "server \"%s\" could not be resolved", config.server);
        net_server_node = NET_NO_NODE;
        sys_exit(11, "joining to the server had failed");
    }
    net_bind_node(net_server_node, host, port);
    const char *names[NET_MAX_PLAYERS];
    for (int i = 0; i < k; i++) names[i] = config.player_name[i];
    pak_build_join(&net_send_pak, k, names);
    net_nodes[net_local_node].player_count = k;
}

void net_leave() {
    uint32_t start = net_io.clock();
    do {
        net_send_signal(net_server_node, PAK_LEAVE, 1);
        net_receive(50);
    } while (start + NET_LEAVE_MS >= net_io.clock());
}

void net_client_join(int k) {
    load_lobby_picture();
    draw_text(&lobby_picture, 0, 50, lobby_picture.height - 30, "Press escape to quit");
    clear_screen();
    show_bitmap(&lobby_picture, lobby_x, lobby_y);
    memset(address_taken, 0, sizeof address_taken);
    net_connect(k);
    net_join_state = NET_JOINING;
    net_send_packet(net_server_node, &net_send_pak);
    uint32_t start = net_io.clock();
    while (net_join_state == NET_JOINING) {
        net_receive(50);
        if (start + NET_JOIN_MS < net_io.clock()) break;
    }
    if (net_join_state == NET_IDLE || net_join_state == NET_JOINING) {
        if (net_server_node != NET_NO_NODE) net_unbind_node(net_server_node);
        sys_exit(11, "joining to the server had failed");
    }
    draw_text(&back_buffer, 0, lobby_x + 150, lobby_y + 200, "Connected to the server");
    update_screen();
    client_wait_while(NET_CONNECTED);
    draw_text(&back_buffer, 0, 20, screen_height - 20, "Waiting signal START from the server...");
    update_screen();
    client_wait_while(NET_PREPARED);
    free_bitmap(&lobby_picture);
}
