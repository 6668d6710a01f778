// Building and reading the game's datagrams, one field at a time.
#include "net/wire.h"

#include <cstring>

namespace {

void put8(net_packet *p, uint8_t v) {
    if (p->len < NET_PACKET_SIZE) p->data[p->len] = v;
    p->len++;
}

void put16(net_packet *p, uint16_t v) {
    put8(p, (uint8_t)(v & 0xFF));
    put8(p, (uint8_t)(v >> 8));
}

// Bytes of a value that travels as it stands in memory (SDL_net's
// addresses are kept in network byte order).
void put_raw(net_packet *p, const void *v, int n) {
    for (int i = 0; i < n; i++) put8(p, static_cast<const uint8_t *>(v)[i]);
}

// Appends the name, cut to 15 characters, and its zero byte.
void put_name(net_packet *p, const char *name) {
    size_t n = strnlen(name, PAK_NAME_MAX);
    put_raw(p, name, (int)n);
    put8(p, 0);
}

void start(net_packet *p, int type, uint16_t seq) {
    p->len = 0;
    put8(p, (uint8_t)type);
    put8(p, 0);
    put16(p, seq);
}

bool fits(pak_reader *r, int n, const char *fault) {
    if (r->fault) return false;
    if (r->len - r->at < n) {
        r->fault = fault;
        return false;
    }
    return true;
}

bool finish(const pak_reader &r, const char **fault) {
    if (fault) *fault = r.fault;
    return r.fault == nullptr;
}

// Slot numbers name one of the four player slots.
int32_t read_slot(pak_reader *r) {
    uint8_t s = pak_u8(r, "datagram too short for its slot numbers");
    if (s >= NET_MAX_PLAYERS) pak_fail(r, "slot number above 3");
    return s;
}

}  // namespace

pak_reader pak_read_start(const uint8_t *data, int32_t len) { return {data, len, PAK_HEADER_SIZE, nullptr}; }

void pak_fail(pak_reader *r, const char *fault) {
    if (!r->fault) r->fault = fault;
}

uint8_t pak_u8(pak_reader *r, const char *fault) {
    if (!fits(r, 1, fault)) return 0;
    return r->data[r->at++];
}

uint16_t pak_u16(pak_reader *r, const char *fault) {
    if (!fits(r, 2, fault)) return 0;
    uint16_t v = (uint16_t)(r->data[r->at] | r->data[r->at + 1] << 8);
    r->at += 2;
    return v;
}

uint64_t pak_u64(pak_reader *r, const char *fault) {
    if (!fits(r, 8, fault)) return 0;
    uint64_t v = 0;
    for (int i = 7; i >= 0; i--) v = v << 8 | r->data[r->at + i];
    r->at += 8;
    return v;
}

// Bytes copied as they stand (values that travel in network byte order).
template <typename T>
T raw(pak_reader *r, const char *fault) {
    T v = 0;
    if (!fits(r, sizeof v, fault)) return 0;
    memcpy(&v, r->data + r->at, sizeof v);
    r->at += sizeof v;
    return v;
}

uint32_t pak_raw32(pak_reader *r, const char *fault) { return raw<uint32_t>(r, fault); }

uint16_t pak_raw16(pak_reader *r, const char *fault) { return raw<uint16_t>(r, fault); }

void pak_read_name(pak_reader *r, pak_name out, const char *fault) {
    out[0] = 0;
    if (r->fault) return;
    const void *end = memchr(r->data + r->at, 0, (size_t)(r->len - r->at));
    if (!end) {
        r->fault = fault;
        return;
    }
    int32_t n = (int32_t)(static_cast<const uint8_t *>(end) - (r->data + r->at));
    int32_t keep = n < PAK_NAME_MAX ? n : PAK_NAME_MAX;
    memcpy(out, r->data + r->at, (size_t)keep);
    out[keep] = 0;
    r->at += n + 1;
}

uint8_t pak_type(const net_packet *p) { return p->data[0]; }

uint16_t pak_sequence(const net_packet *p) { return (uint16_t)(p->data[2] | p->data[3] << 8); }

void pak_set_header(net_packet *p, int type, uint16_t seq) {
    p->data[0] = (uint8_t)type;
    p->data[2] = (uint8_t)(seq & 0xFF);
    p->data[3] = (uint8_t)(seq >> 8);
}

void pak_build_signal(net_packet *p, int type, uint16_t seq) { start(p, type, seq); }

void pak_build_ack(net_packet *p, uint16_t seq, int type) {
    start(p, PAK_ACK, seq);
    put8(p, (uint8_t)type);
}

void pak_build_join(net_packet *p, int count, const char *const *names) {
    start(p, PAK_JOIN, 0);
    put8(p, (uint8_t)count);
    for (int i = 0; i < count; i++) put_name(p, names[i]);
}

void pak_build_accept(net_packet *p, uint16_t packet_interval, uint16_t control_interval, uint16_t send_time,
                      int count, const int32_t *slots) {
    start(p, PAK_ACCEPT, 1);
    put16(p, packet_interval);
    put16(p, control_interval);
    put16(p, send_time);
    put8(p, (uint8_t)count);
    for (int i = 0; i < count; i++) put8(p, (uint8_t)slots[i]);
}

void pak_build_address(net_packet *p, uint16_t seq, uint32_t host, uint16_t port, int count, const int32_t *slots,
                       const char *const *names) {
    start(p, PAK_ADDRESS, seq);
    const uint8_t unused[3] = {0, 0, 0};
    put_raw(p, &host, 4);
    put_raw(p, &port, 2);
    put_raw(p, unused, 2);
    put8(p, (uint8_t)count);
    put_raw(p, unused, 3);
    for (int i = 0; i < count; i++) {
        put8(p, (uint8_t)slots[i]);
        put_name(p, names[i]);
    }
}

void pak_build_controls(net_packet *p) {
    start(p, PAK_CONTROLS, 0);
    put8(p, 0);
}

bool pak_add_control(net_packet *p, uint8_t position, uint8_t command) {
    if (p->data[PAK_HEADER_SIZE] == PAK_CONTROLS_MAX) return false;
    p->data[PAK_HEADER_SIZE]++;
    put8(p, position);
    put8(p, command);
    return true;
}

void pak_build_digest(net_packet *p, uint16_t turn, uint64_t digest) {
    start(p, PAK_DIGEST, turn);
    for (int i = 0; i < 8; i++) put8(p, (uint8_t)(digest >> (8 * i)));
}

bool pak_read_ack(const net_packet *p, int *type, const char **fault) {
    pak_reader r = pak_read_start(p->data, p->len);
    *type = pak_u8(&r, "datagram too short for the acknowledged type");
    return finish(r, fault);
}

bool pak_read_join(const net_packet *p, join_pak *out, const char **fault) {
    pak_reader r = pak_read_start(p->data, p->len);
    out->count = pak_u8(&r, "datagram too short for the player count");
    // A request for no players or for more than a computer may bring is
    // refused by the server, not dropped: its names are not read.
    if (out->count >= 1 && out->count <= PAK_JOIN_MAX)
        for (int i = 0; i < out->count; i++) pak_read_name(&r, out->names[i], "player name without its zero byte");
    return finish(r, fault);
}

bool pak_read_accept(const net_packet *p, accept_pak *out, const char **fault) {
    pak_reader r = pak_read_start(p->data, p->len);
    const char *short_fault = "datagram too short for the timing values";
    out->packet_interval = pak_u16(&r, short_fault);
    out->control_interval = pak_u16(&r, short_fault);
    out->send_time = pak_u16(&r, short_fault);
    out->count = pak_u8(&r, "datagram too short for the player count");
    if (!r.fault && (out->count < 1 || out->count > PAK_JOIN_MAX)) pak_fail(&r, "player count not 1 to 3");
    for (int i = 0; i < out->count && !r.fault; i++) out->slots[i] = read_slot(&r);
    return finish(r, fault);
}

bool pak_read_address(const net_packet *p, address_entry *out, const char **fault) {
    pak_reader r = pak_read_start(p->data, p->len);
    const char *short_fault = "datagram too short for its address";
    out->host = pak_raw32(&r, short_fault);
    out->port = pak_raw16(&r, short_fault);
    pak_raw16(&r, short_fault);
    out->count = pak_u8(&r, short_fault);
    pak_u8(&r, short_fault);
    pak_raw16(&r, short_fault);
    if (!r.fault && (out->count < 1 || out->count > PAK_JOIN_MAX)) pak_fail(&r, "player count not 1 to 3");
    for (int i = 0; i < out->count && !r.fault; i++) {
        out->slots[i] = read_slot(&r);
        pak_read_name(&r, out->names[i], "player name without its zero byte");
    }
    return finish(r, fault);
}

bool pak_read_controls(const net_packet *p, controls_pak *out, const char **fault) {
    pak_reader r = pak_read_start(p->data, p->len);
    out->count = pak_u8(&r, "datagram too short for the command count");
    out->pairs = p->data + r.at;
    fits(&r, 2 * out->count, "command count beyond the datagram's length");
    return finish(r, fault);
}

bool pak_read_digest(const net_packet *p, uint64_t *digest, const char **fault) {
    pak_reader r = pak_read_start(p->data, p->len);
    *digest = pak_u64(&r, "datagram too short for the digest");
    return finish(r, fault);
}

const char *pak_type_name(int type) {
    static const char *const names[PAK_TYPES] = {
        "unknown",      "PAK_ACK",      "PAK_JOIN_DENIED", "PAK_JOIN",
        "PAK_JOIN_FULL", "PAK_ACCEPT",  "PAK_ADDRESS",     "PAK_PREPARE",
        "PAK_READY",    "PAK_START",    "PAK_CONTROLS",    "PAK_CONTROLS_HAVE",
        "PAK_CONTROLS_ACK", "PAK_LEAVE", "PAK_SHUTDOWN",   "PAK_DIGEST",
    };
    return type >= 0 && type < PAK_TYPES ? names[type] : "unknown";
}
