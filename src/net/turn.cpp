// The lock-step exchange of control sets during play and the digests that
// tell computers apart when their games drift.
#include "net/turn.h"

#include <cinttypes>
#include <cstring>

#include "frame/config.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "net/net.h"
#include "sim/control.h"
#include "sim/state_hash.h"
#include "sim/view.h"

// Sets that arrive before the game loop opens its first turn belong to the
// first turn, which applies set 0 on every computer.
int net_receive_set = 0;
int32_t net_receive_stamp = 0;
uint16_t net_turn_number = 1;
bool net_controls_ready = false;
uint64_t (*net_world_digest)() = world_hash;
uint64_t net_last_digest = 0;

namespace {

struct turn_digest {
    uint16_t turn;
    bool known;
    uint64_t digest;
};

// This computer's digests of its last turns, and per node the digests of
// turns this computer has not finished yet (a computer may be a turn ahead).
turn_digest own_digests[NET_DIGESTS_KEPT];
turn_digest early_digests[NET_SPARE_NODE][NET_DIGESTS_KEPT];

// Signed distance of turn `t` from the current turn, modulo 65536.
int16_t turn_distance(uint16_t t) { return (int16_t)(uint16_t)(t - net_turn_number); }

// Reads a control set and checks every player position against the node.
bool read_set(const net_source *from, controls_pak *set) {
    const char *fault;
    if (!pak_read_controls(&net_recv_pak, set, &fault)) {
        net_drop_malformed(from, "%s", fault);
        return false;
    }
    const net_node &n = net_nodes[from->channel];
    for (int i = 0; i < set->count; i++)
        if (set->pairs[2 * i] >= n.player_count) {
            net_drop_malformed(from, "player position %d of a computer with %d player(s)", set->pairs[2 * i],
                               n.player_count);
            return false;
        }
    return true;
}

// A set from another computer of this game, its turn and how far that is
// from this computer's turn.
bool read_turn_set(const net_source *from, controls_pak *set, uint16_t *turn, int16_t *distance) {
    if (!net_is_peer(from->channel) || !read_set(from, set)) return false;
    *turn = pak_sequence(&net_recv_pak);
    *distance = turn_distance(*turn);
    return true;
}

void store_once(int node, const controls_pak &set) {
    net_node &n = net_nodes[node];
    if (n.controls_received) return;
    net_store_controls(node, set.count, set.pairs);
    n.controls_received = 1;
}

void send_controls_to(int node, int type, uint16_t turn) {
    pak_set_header(&net_controls_pak, type, turn);
    net_send_packet(node, &net_controls_pak);
    net_nodes[node].last_send = net_io.clock();
}

[[noreturn]] void out_of_sync(int node, uint16_t turn, uint64_t here, uint64_t there) {
    log_write(LOG_NETWORK, "turn %u: digest %016" PRIx64 " here, %016" PRIx64 " at node %d (%s)", turn, here, there,
              node, net_address_text(net_nodes[node].host, net_nodes[node].port));
    sys_exit(6, "network game out of sync at turn %u", turn);
}

const turn_digest *own_digest_of(uint16_t turn) {
    for (const turn_digest &d : own_digests)
        if (d.known && d.turn == turn) return &d;
    return nullptr;
}

// Records this turn's digest, sends it to every other computer once and
// compares it with theirs that came early.
void finish_turn_digest() {
    uint16_t turn = net_turn_number;
    uint64_t digest = net_world_digest();
    net_last_digest = digest;
    own_digests[turn % NET_DIGESTS_KEPT] = {turn, true, digest};
    pak_build_digest(&net_send_pak, turn, digest);
    for (int n = 0; n < NET_SPARE_NODE; n++)
        if (net_is_peer(n)) net_send_packet(n, &net_send_pak);
    if (turn % NET_DIGEST_LOG_EVERY == 0) log_write(LOG_NETWORK, "turn %u digest %016" PRIx64, turn, digest);
    for (int n = 0; n < NET_SPARE_NODE; n++) {
        turn_digest &early = early_digests[n][turn % NET_DIGESTS_KEPT];
        if (!early.known || early.turn != turn) continue;
        early.known = false;
        if (early.digest != digest) out_of_sync(n, turn, digest, early.digest);
    }
}

}  // namespace

void net_turn_reset() {
    net_turn_number = 1;
    net_controls_ready = false;
    net_receive_set = 0;
    net_receive_stamp = 0;
    net_last_digest = 0;
    memset(own_digests, 0, sizeof own_digests);
    memset(early_digests, 0, sizeof early_digests);
}

void net_store_controls(int node, int count, const uint8_t *pairs) {
    const net_node &n = net_nodes[node];
    for (int i = 0; i < count; i++) {
        view &v = views[n.players[pairs[2 * i]]];
        control_append(&v.creature->queues[net_receive_set], pairs[2 * i + 1], net_receive_stamp);
    }
}

void net_begin_turn(int set, int32_t stamp) {
    net_receive_set = set;
    net_receive_stamp = stamp;
    if (!subsystem_is_up(SUB_NETWORK)) return;
    for (int n = 0; n < NET_SPARE_NODE; n++) {
        net_node &d = net_nodes[n];
        if (!d.used || !d.early_pending) continue;
        net_store_controls(n, d.early[0], d.early + 1);
        d.controls_received = 1;
        d.early_pending = 0;
    }
}

void net_send_controls(int set) {
    if (!subsystem_is_up(SUB_NETWORK)) return;
    pak_build_controls(&net_controls_pak);
    const net_node &local = net_nodes[net_local_node];
    // At most 3 players with 31 waiting commands each: the count never fills.
    for (int i = 0; i < local.player_count; i++) {
        const control_queue &q = views[local.players[i]].creature->queues[set];
        for (int32_t k = q.read; k != q.write; k = (k + 1) % CREATURE_QUEUE)
            pak_add_control(&net_controls_pak, (uint8_t)i, (uint8_t)(q.entries[k].event & 0xFF));
    }
    for (int n = 0; n < NET_SPARE_NODE; n++)
        if (net_is_peer(n)) {
            net_nodes[n].controls_acked = 0;
            send_controls_to(n, net_nodes[n].controls_received ? PAK_CONTROLS_HAVE : PAK_CONTROLS, net_turn_number);
        }
    net_nodes[net_local_node].controls_acked = 1;
    net_nodes[net_local_node].controls_received = 1;
    net_controls_ready = true;
}

uint32_t net_wait_turn() {
    if (!subsystem_is_up(SUB_NETWORK)) return 0;
    uint32_t start = net_io.clock();
    bool done;
    do {
        net_receive(NET_WAIT_STEP_MS);
        done = true;
        uint32_t now = net_io.clock();
        for (int n = 0; n < NET_SPARE_NODE; n++) {
            net_node &d = net_nodes[n];
            if (!d.used || n == net_local_node || (d.controls_received && d.controls_acked)) continue;
            done = false;
            if (now - d.last_send > (uint32_t)config.net_packet_interval) {
                send_controls_to(n, d.controls_received ? PAK_CONTROLS_HAVE : PAK_CONTROLS, net_turn_number);
                net_stats.resends++;
            }
        }
    } while (!done && net_io.clock() - start < NET_TURN_MS);
    if (!done) sys_exit(6, "network players timeout");

    net_controls_ready = false;
    for (int n = 0; n < NET_SPARE_NODE; n++)
        if (net_nodes[n].used && n != net_local_node) net_nodes[n].controls_received = 0;
    finish_turn_digest();
    net_turn_number++;

    uint32_t waited = net_io.clock() - start;
    net_stats.turns++;
    net_stats.waited_ms += waited;
    if (waited > net_stats.longest_wait_ms) net_stats.longest_wait_ms = waited;
    return waited >= NET_WAIT_REPORTED_MS ? waited : 0;
}

void net_handle_controls(const net_source *from) {
    controls_pak set;
    uint16_t turn;
    int16_t distance;
    if (!read_turn_set(from, &set, &turn, &distance)) return;
    net_node &n = net_nodes[from->channel];
    if (distance == 0) {
        store_once(from->channel, set);
        if (net_controls_ready) send_controls_to(from->channel, PAK_CONTROLS_HAVE, turn);
    } else if (distance == 1 && !n.early_pending) {
        n.early_len = 2 * set.count + 1;
        memcpy(n.early, net_recv_pak.data + 4, (size_t)n.early_len);
        n.early_pending = 1;
    }
}

void net_handle_controls_have(const net_source *from) {
    controls_pak set;
    uint16_t turn;
    int16_t distance;
    if (!read_turn_set(from, &set, &turn, &distance) || distance > 0) return;
    net_send_signal(from->channel, PAK_CONTROLS_ACK, turn);
    if (distance < 0) return;
    store_once(from->channel, set);
    net_nodes[from->channel].controls_acked = 1;
}

void net_handle_controls_ack(const net_source *from) {
    if (!net_is_peer(from->channel)) return;
    if (pak_sequence(&net_recv_pak) == net_turn_number) net_nodes[from->channel].controls_acked = 1;
}

void net_handle_digest(const net_source *from) {
    if (!net_is_peer(from->channel)) return;
    uint64_t theirs;
    const char *fault;
    if (!pak_read_digest(&net_recv_pak, &theirs, &fault)) return net_drop_malformed(from, "%s", fault);
    uint16_t turn = pak_sequence(&net_recv_pak);
    if (const turn_digest *mine = own_digest_of(turn)) {
        if (mine->digest != theirs) out_of_sync(from->channel, turn, mine->digest, theirs);
        return;
    }
    // A turn this computer has yet to finish (the sender is ahead).
    int16_t distance = turn_distance(turn);
    if (distance >= 0 && distance < NET_DIGESTS_KEPT)
        early_digests[from->channel][turn % NET_DIGESTS_KEPT] = {turn, true, theirs};
}

void net_report() {
    if (!subsystem_is_up(SUB_NETWORK)) return;
    log_write(LOG_NOTE, "network game: %u turns, waited %u ms at turn ends (longest %u ms), %u resends, %u malformed datagrams dropped",
              net_stats.turns, net_stats.waited_ms, net_stats.longest_wait_ms, net_stats.resends, net_stats.malformed);
}
