// Replays: a game as the stream of control events it applied, with what it
// was played on and the world digest it reached, so that playing the stream
// again on the same map and random table must reach the same digest.
//
// The file, little-endian throughout:
//   "FENDA2RP", version (u16, 1);
//   digests (u64) of the bytes of "testmap.fenda" and of "random.table";
//   control interval and send frame (u16 each);
//   the computer that wrote the file (u8); the number of player slots (u8,
//   1 to 4), and per slot: its number (u8, 0 to 3), its computer (u8, the
//   lowest slot played on that computer), its name (u8 length, 0 to 15, and
//   the characters);
//   then records: 'E', frame (u32), slot (u8), command (u8): an event applied
//   at the turn end of that logical frame, in the order applied; and last
//   'Z', frame (u32), digest (u64): the world after that many logical frames,
//   before the events of that frame are applied. Nothing follows 'Z'.
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    REPLAY_VERSION = 1,
    REPLAY_HEADER_MAX = 32 + 4 * 18,
    REPLAY_EVENT_SIZE = 7,
    REPLAY_END_SIZE = 13,
    REPLAY_NAME_MAX = 15,
    REPLAY_ERROR_MAX = 160
};

struct replay_slot {
    int32_t slot;
    int32_t computer;
    char name[REPLAY_NAME_MAX + 1];
};

struct replay_info {
    uint64_t map_digest, random_digest;
    int32_t interval, send_time;
    int32_t writer;
    int32_t slot_count;
    replay_slot slots[4];
    const uint8_t *events;  // event_count records of REPLAY_EVENT_SIZE bytes
    int32_t event_count;
    int32_t end_frame;
    uint64_t end_digest;
};

// A 64-bit digest of a file's bytes (FNV-1a), which may be taken piece by
// piece: each piece continues the digest of the ones before.
const uint64_t BYTES_DIGEST_START = 0xcbf29ce484222325ull;
uint64_t bytes_digest(const uint8_t *data, size_t size, uint64_t so_far = BYTES_DIGEST_START);

// The digest of a whole file's bytes; false when it cannot be read.
bool file_digest(const char *file_name, uint64_t *digest);

// Reads `file_name` into the game's realm and checks it against the files
// it was recorded with; every fault ends the program naming what is wrong.
void replay_load(const char *file_name, const char *map_file, replay_info *out);

// Reads a replay from its bytes, which must outlive `out`; false with a
// message naming what is wrong and at which byte.
bool replay_read(const uint8_t *data, size_t size, replay_info *out, char error[REPLAY_ERROR_MAX]);

// The header's bytes; returns their number.
size_t replay_encode_header(const replay_info *info, uint8_t out[REPLAY_HEADER_MAX]);
void replay_encode_event(int32_t frame, int32_t slot, int32_t command, uint8_t out[REPLAY_EVENT_SIZE]);
void replay_encode_end(int32_t frame, uint64_t digest, uint8_t out[REPLAY_END_SIZE]);

// Event i of the replay.
void replay_event(const replay_info *r, int32_t i, int32_t *frame, int32_t *slot, int32_t *command);

// Appends the events applied at `frame` (from *next on) to ring `set` of
// their players; *next moves past them.
void replay_queue_turn(const replay_info *r, int32_t *next, int32_t frame, int set);
