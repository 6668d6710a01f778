// The wire format of the game's UDP datagrams: the 4-byte header, every
// packet type, and the builders and readers of their fields. Nothing is sent
// as a raw struct: builders write one field at a time into a packet buffer,
// readers take one field at a time and stop at the first field that does not
// fit the datagram's length.
#pragma once
#include <cstdint>

enum {
    PAK_ACK = 1,
    PAK_JOIN_DENIED = 2,
    PAK_JOIN = 3,
    PAK_JOIN_FULL = 4,
    PAK_ACCEPT = 5,
    PAK_ADDRESS = 6,
    PAK_PREPARE = 7,
    PAK_READY = 8,
    PAK_START = 9,
    PAK_CONTROLS = 10,
    PAK_CONTROLS_HAVE = 11,
    PAK_CONTROLS_ACK = 12,
    PAK_LEAVE = 13,
    PAK_SHUTDOWN = 14,
    PAK_DIGEST = 15,          // our own: the world digest at a turn's end
    PAK_TYPES = 16,           // types 0 to 15 have a meaning; the rest are dropped

    NET_PACKET_SIZE = 1024,   // every datagram and packet buffer
    PAK_HEADER_SIZE = 4,      // type, an unused byte, the sequence number
    ADDRESS_PAK_SIZE = 12,
    PAK_NAME_MAX = 15,        // characters of a player name on the wire
    NET_MAX_PLAYERS = 4,      // player slots 0 to 3
    PAK_JOIN_MAX = 3,         // most players one computer may bring
    PAK_CONTROLS_MAX = 255,   // the count is one byte
    PAK_DIGEST_SIZE = 12
};

// A packet buffer: `data` holds NET_PACKET_SIZE bytes.
struct net_packet {
    uint8_t *data;
    int32_t len;
};

// Reads fields in order; the first one that runs past `len` (or is out of
// its range) records its fault, and every later read gives 0.
struct pak_reader {
    const uint8_t *data;
    int32_t len;
    int32_t at;
    const char *fault;  // null while every field fitted
};

// Player names travel as up to 15 characters and a zero byte; longer names
// that still end inside the datagram are cut to 15.
typedef char pak_name[PAK_NAME_MAX + 1];

struct join_pak {
    int32_t count;                 // as sent; names are read only for 1 to 3
    pak_name names[PAK_JOIN_MAX];
};

struct accept_pak {
    uint16_t packet_interval, control_interval, send_time;
    int32_t count;                 // 1 to 3
    int32_t slots[PAK_JOIN_MAX];   // 0 to 3
};

struct address_entry {
    uint32_t host;                 // network byte order, as SDL_net holds it
    uint16_t port;                 // network byte order
    int32_t count;                 // 1 to 3
    int32_t slots[PAK_JOIN_MAX];   // 0 to 3
    pak_name names[PAK_JOIN_MAX];
};

struct controls_pak {
    int32_t count;
    const uint8_t *pairs;          // count pairs: player position, command
};

enum { ADDRESS_SERVER_HOST = 0xFFFFFFFFu };

pak_reader pak_read_start(const uint8_t *data, int32_t len);
uint8_t pak_u8(pak_reader *r, const char *fault);
uint16_t pak_u16(pak_reader *r, const char *fault);  // little-endian
uint32_t pak_raw32(pak_reader *r, const char *fault);  // bytes as they stand
uint16_t pak_raw16(pak_reader *r, const char *fault);
uint64_t pak_u64(pak_reader *r, const char *fault);  // little-endian
// A zero-terminated name that must end inside the datagram.
void pak_read_name(pak_reader *r, pak_name out, const char *fault);
void pak_fail(pak_reader *r, const char *fault);

// The type and sequence number of a datagram of at least 4 bytes.
uint8_t pak_type(const net_packet *p);
uint16_t pak_sequence(const net_packet *p);

// Builders: each sets the header and the length.
void pak_build_signal(net_packet *p, int type, uint16_t seq);
void pak_build_ack(net_packet *p, uint16_t seq, int type);
void pak_build_join(net_packet *p, int count, const char *const *names);
void pak_build_accept(net_packet *p, uint16_t packet_interval, uint16_t control_interval, uint16_t send_time,
                      int count, const int32_t *slots);
void pak_build_address(net_packet *p, uint16_t seq, uint32_t host, uint16_t port, int count, const int32_t *slots,
                       const char *const *names);
void pak_build_digest(net_packet *p, uint16_t turn, uint64_t digest);
// A control set without commands; each pak_add_control adds one pair and
// is refused (false) once the one-byte count holds PAK_CONTROLS_MAX.
void pak_build_controls(net_packet *p);
bool pak_add_control(net_packet *p, uint8_t position, uint8_t command);
// Sets the type and sequence number of a built packet.
void pak_set_header(net_packet *p, int type, uint16_t seq);

// Readers of the bytes after the header; false (with r.fault) when the
// datagram does not hold the fields.
bool pak_read_ack(const net_packet *p, int *type, const char **fault);
bool pak_read_join(const net_packet *p, join_pak *out, const char **fault);
bool pak_read_accept(const net_packet *p, accept_pak *out, const char **fault);
bool pak_read_address(const net_packet *p, address_entry *out, const char **fault);
bool pak_read_controls(const net_packet *p, controls_pak *out, const char **fault);
bool pak_read_digest(const net_packet *p, uint64_t *digest, const char **fault);

// The name of a packet type for messages ("PAK_JOIN"), or "unknown".
const char *pak_type_name(int type);
