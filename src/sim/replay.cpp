// Reading and writing replays, one field at a time.
#include "sim/replay.h"

#include <cstdio>
#include <cstring>

#include "core/realm.h"
#include "frame/sys.h"
#include "sim/control.h"
#include "sim/view.h"

namespace {

const char MAGIC[8] = {'F', 'E', 'N', 'D', 'A', '2', 'R', 'P'};
const size_t REPLAY_SIZE_MAX = 256u << 20;

// Fields in order; the first that does not fit (or is out of range) stops
// the reading and names itself and its byte.
struct reader {
    const uint8_t *data;
    size_t size, at;
    char *error;
    bool failed;

    bool fail(const char *what, size_t where) {
        if (!failed) snprintf(error, REPLAY_ERROR_MAX, "%s at byte %zu", what, where);
        failed = true;
        return false;
    }
    uint64_t take(int bytes, const char *what) {
        if (failed) return 0;
        if (size - at < (size_t)bytes) {
            fail(what, at);
            return 0;
        }
        uint64_t v = 0;
        for (int i = bytes - 1; i >= 0; i--) v = v << 8 | data[at + i];
        at += (size_t)bytes;
        return v;
    }
};

void put(uint8_t *out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; i++) out[i] = (uint8_t)(v >> (8 * i));
}

bool read_slots(reader &r, replay_info *out) {
    size_t count_at = r.at;
    out->slot_count = (int32_t)r.take(1, "the file ends in its player slots");
    if (!r.failed && (out->slot_count < 1 || out->slot_count > VIEW_SLOTS))
        return r.fail("player slot count not 1 to 4", count_at);
    bool seen[VIEW_SLOTS] = {};
    for (int i = 0; i < out->slot_count && !r.failed; i++) {
        replay_slot &s = out->slots[i];
        size_t at = r.at;
        s.slot = (int32_t)r.take(1, "the file ends in its player slots");
        s.computer = (int32_t)r.take(1, "the file ends in its player slots");
        if (r.failed) return false;
        if (s.slot >= VIEW_SLOTS || seen[s.slot]) return r.fail("player slot repeated or above 3", at);
        if (s.computer >= VIEW_SLOTS) return r.fail("computer number above 3", at + 1);
        seen[s.slot] = true;
        size_t length = (size_t)r.take(1, "the file ends in a player name");
        if (!r.failed && length > REPLAY_NAME_MAX) return r.fail("player name longer than 15 characters", r.at - 1);
        if (!r.failed && r.size - r.at < length) return r.fail("the file ends in a player name", r.at);
        if (r.failed) return false;
        memcpy(s.name, r.data + r.at, length);
        s.name[length] = 0;
        r.at += length;
    }
    return !r.failed;
}

}  // namespace

uint64_t bytes_digest(const uint8_t *data, size_t size, uint64_t so_far) {
    uint64_t h = so_far;
    for (size_t i = 0; i < size; i++) h = (h ^ data[i]) * 0x100000001b3ull;
    return h;
}

bool file_digest(const char *file_name, uint64_t *digest) {
    FILE *f = fopen(file_name, "rb");
    if (!f) return false;
    uint64_t h = BYTES_DIGEST_START;
    uint8_t buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) h = bytes_digest(buffer, n, h);
    bool ok = !ferror(f);
    fclose(f);
    *digest = h;
    return ok;
}

void replay_load(const char *file_name, const char *map_file, replay_info *out) {
    FILE *f = fopen(file_name, "rb");
    if (!f) sys_exit(3, "can't open file \"%s\"", file_name);
    long size = fseek(f, 0, SEEK_END) == 0 ? ftell(f) : -1;
    if (size < 0 || (size_t)size > REPLAY_SIZE_MAX || fseek(f, 0, SEEK_SET) != 0) {
        fclose(f);
        sys_exit(size > 0 ? 16 : 3, "\"%s\" cannot be read as a replay: its size", file_name);
    }
    auto *bytes = static_cast<uint8_t *>(ralloc(RMT_GAME, (uint32_t)size + 1));
    bool read = fread(bytes, 1, (size_t)size, f) == (size_t)size;
    fclose(f);
    if (!read) sys_exit(3, "error reading file \"%s\"", file_name);
    char error[REPLAY_ERROR_MAX];
    if (!replay_read(bytes, (size_t)size, out, error)) sys_exit(16, "\"%s\": %s", file_name, error);
    uint64_t map = 0, random = 0;
    if (!file_digest(map_file, &map) || map != out->map_digest)
        sys_exit(16, "\"%s\" was recorded with another \"%s\"", file_name, map_file);
    if (!file_digest("random.table", &random) || random != out->random_digest)
        sys_exit(16, "\"%s\" was recorded with another \"random.table\"", file_name);
}

bool replay_read(const uint8_t *data, size_t size, replay_info *out, char error[REPLAY_ERROR_MAX]) {
    reader r = {data, size, 0, error, false};
    *out = replay_info();
    if (size > REPLAY_SIZE_MAX) return r.fail("longer than a replay may be (256 MiB)", REPLAY_SIZE_MAX);
    if (size < sizeof MAGIC || memcmp(data, MAGIC, sizeof MAGIC)) return r.fail("not a replay: no \"FENDA2RP\"", 0);
    r.at = sizeof MAGIC;
    size_t at = r.at;
    if (r.take(2, "the file ends in its version") != REPLAY_VERSION && !r.failed)
        return r.fail("a replay version this program does not read", at);
    out->map_digest = r.take(8, "the file ends in its map digest");
    out->random_digest = r.take(8, "the file ends in its random table digest");
    at = r.at;
    out->interval = (int32_t)r.take(2, "the file ends in its control interval");
    out->send_time = (int32_t)r.take(2, "the file ends in its control send frame");
    if (!r.failed && (out->interval < 1 || out->send_time < 1 || out->send_time > out->interval))
        return r.fail("control interval and send frame that cannot play", at);
    at = r.at;
    out->writer = (int32_t)r.take(1, "the file ends in its writer");
    if (!r.failed && out->writer >= VIEW_SLOTS) return r.fail("computer number above 3", at);
    if (!read_slots(r, out)) return false;

    out->events = data + r.at;
    int32_t last_frame = 0;
    for (;;) {
        at = r.at;
        int tag = (int)r.take(1, "the file ends before its end record");
        if (r.failed) return false;
        if (tag == 'Z') break;
        if (tag != 'E') return r.fail("a record that is neither an event nor the end", at);
        int32_t frame = (int32_t)r.take(4, "the file ends in an event");
        int32_t slot = (int32_t)r.take(1, "the file ends in an event");
        r.take(1, "the file ends in an event");
        if (r.failed) return false;
        if (frame < last_frame || frame < 0) return r.fail("an event earlier than the one before it", at);
        bool in_game = false;
        for (int i = 0; i < out->slot_count; i++) in_game |= out->slots[i].slot == slot;
        if (!in_game) return r.fail("an event for a player slot that takes no part", at);
        last_frame = frame;
        out->event_count++;
    }
    at = r.at;
    out->end_frame = (int32_t)r.take(4, "the file ends in its end record");
    out->end_digest = r.take(8, "the file ends in its end record");
    if (r.failed) return false;
    if (out->end_frame < last_frame || out->end_frame < 0) return r.fail("an end before the last event", at);
    if (r.at != size) return r.fail("bytes after the end record", r.at);
    return true;
}

size_t replay_encode_header(const replay_info *info, uint8_t out[REPLAY_HEADER_MAX]) {
    size_t n = 0;
    memcpy(out, MAGIC, sizeof MAGIC);
    n += sizeof MAGIC;
    put(out + n, REPLAY_VERSION, 2), n += 2;
    put(out + n, info->map_digest, 8), n += 8;
    put(out + n, info->random_digest, 8), n += 8;
    put(out + n, (uint64_t)info->interval, 2), n += 2;
    put(out + n, (uint64_t)info->send_time, 2), n += 2;
    out[n++] = (uint8_t)info->writer;
    out[n++] = (uint8_t)info->slot_count;
    for (int i = 0; i < info->slot_count; i++) {
        const replay_slot &s = info->slots[i];
        size_t length = strnlen(s.name, REPLAY_NAME_MAX);
        out[n++] = (uint8_t)s.slot;
        out[n++] = (uint8_t)s.computer;
        out[n++] = (uint8_t)length;
        memcpy(out + n, s.name, length);
        n += length;
    }
    return n;
}

void replay_encode_event(int32_t frame, int32_t slot, int32_t command, uint8_t out[REPLAY_EVENT_SIZE]) {
    out[0] = 'E';
    put(out + 1, (uint32_t)frame, 4);
    out[5] = (uint8_t)slot;
    out[6] = (uint8_t)command;
}

void replay_encode_end(int32_t frame, uint64_t digest, uint8_t out[REPLAY_END_SIZE]) {
    out[0] = 'Z';
    put(out + 1, (uint32_t)frame, 4);
    put(out + 5, digest, 8);
}

void replay_event(const replay_info *r, int32_t i, int32_t *frame, int32_t *slot, int32_t *command) {
    const uint8_t *e = r->events + (size_t)i * REPLAY_EVENT_SIZE;
    *frame = (int32_t)((uint32_t)e[1] | (uint32_t)e[2] << 8 | (uint32_t)e[3] << 16 | (uint32_t)e[4] << 24);
    *slot = e[5];
    *command = e[6];
}

void replay_queue_turn(const replay_info *r, int32_t *next, int32_t frame, int set) {
    for (; *next < r->event_count; ++*next) {
        int32_t f, slot, command;
        replay_event(r, *next, &f, &slot, &command);
        if (f > frame) break;
        // Events of a frame that had no turn end are dropped, as the game
        // could never have applied them.
        if (f == frame) control_append(&views[slot].creature->queues[set], command, frame);
    }
}
