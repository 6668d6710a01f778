// The file layer: a table of 16 handles, each over its own real file, and
// the readers. Every failure is reported here, with the file's name and the
// offsets in hexadecimal; in safe mode it ends the program with code 3.
#include "core/files.h"

#include <cstring>

#include "frame/log.h"
#include "frame/sys.h"

namespace {

struct fs_handle {
    char name[FS_NAME_MAX + 1];
    int real;        // index into the real-file table
    uint8_t status;
    uint32_t base;   // offset of the handle's file within the real file
    uint32_t position;
    uint32_t size;
    bool safe;
    bool text;       // CR LF reads as LF
    bool in_use;
};

struct fs_real {
    char name[FS_REAL_NAME_MAX + 1];
    FILE *stream;
    uint32_t position;
    bool in_use;
};

fs_handle handles[FS_HANDLES];
fs_real reals[FS_HANDLES];

// Every reader but fs_status and fs_name needs an open handle: anything
// else is a fault of the caller, which no mode can answer with a status.
fs_handle &open_handle(uint8_t handle, const char *reader) {
    if (handle >= FS_HANDLES || !handles[handle].in_use)
        sys_exit(3, "%s: file handle %d is not open", reader, handle);
    return handles[handle];
}

void close_real(int index) {
    if (reals[index].stream) fclose(reals[index].stream);
    reals[index].stream = nullptr;
    reals[index].in_use = false;
}

void clear_tables() {
    for (int i = 0; i < FS_HANDLES; i++) {
        if (reals[i].in_use) close_real(i);
        handles[i].in_use = false;
    }
}

// One byte from the real file; -1 at its end or on an error. The real file
// is open in binary, so text mode folds CR LF into LF here; a CR that is
// not followed by LF stays a CR.
int next_byte(const fs_handle &h) {
    FILE *stream = reals[h.real].stream;
    int c = getc(stream);
    if (c == '\r' && h.text) {
        int next = getc(stream);
        if (next == '\n') return '\n';
        if (next != EOF) ungetc(next, stream);
    }
    return c;
}

}  // namespace

void fs_init() {
    log_write(LOG_INFO, "initializing file system");
    clear_tables();  // files left open by an earlier start are closed, not lost
    subsystem_set(SUB_FILES, true);
}

void fs_shutdown() {
    log_write(LOG_INFO, "file system shutdown");
    clear_tables();
    subsystem_set(SUB_FILES, false);
}

uint8_t fs_open(const char *name, const char *mode, int safe) {
    log_write(LOG_FILE, "opening file \"%s\" in %ssafe mode [%s]", name, safe ? "" : "un", mode);
    int index = 0;
    while (index < FS_HANDLES && handles[index].in_use) index++;
    if (index == FS_HANDLES) {
        if (safe) sys_exit(3, "can't open file \"%s\"", name);
        return FS_NO_HANDLE;
    }

    // Names are kept whole in both tables; one that does not fit is
    // refused rather than cut, so that no message ever names another file.
    if (strlen(name) > FS_NAME_MAX) {
        if (safe)
            sys_exit(3, "can't open real file \"%s\": name longer than %d characters", name,
                     FS_NAME_MAX);
        return FS_IO_ERROR;
    }

    // The layer only reads. The real file is opened in binary whatever the
    // mode, and the text mode's line ends are folded by the byte reader, so
    // that "rt" reads the same on every platform.
    FILE *stream = fopen(name, "rb");
    if (!stream) {
        if (safe) sys_exit(3, "can't open real file \"%s\"", name);
        return FS_IO_ERROR;
    }

    fs_real &r = reals[index];
    strcpy(r.name, name);
    r.stream = stream;
    r.position = 0;
    r.in_use = true;

    fs_handle &h = handles[index];
    strcpy(h.name, name);
    h.real = index;
    h.status = FS_OK;
    h.base = 0;
    h.position = 0;
    h.size = FS_MAX_SIZE;
    h.safe = safe != 0;
    h.text = strchr(mode, 't') != nullptr;
    h.in_use = true;
    return (uint8_t)index;
}

void fs_close(uint8_t handle) {
    fs_handle &h = open_handle(handle, "fs_close");
    log_write(LOG_FILE, "closing file \"%s\"", h.name);
    h.in_use = false;
    close_real(h.real);
}

uint8_t fs_read_byte(uint8_t handle) {
    fs_handle &h = open_handle(handle, "fs_read_byte");
    const fs_real &r = reals[h.real];
    if ((uint64_t)h.position + 1 > h.size) {
        if (h.safe)
            sys_exit(3,
                     "reading byte from file \"%s\" [\"%s\" ofs=%Xh] beyond the eof\n"
                     "(file_ofs=%Xh file_size=%Xh)",
                     h.name, r.name, h.base, h.position, h.size);
        h.status = FS_BEYOND_EOF;
        return 0;
    }
    int c = next_byte(h);
    if (c == EOF) {
        if (h.safe)
            sys_exit(3, "error reading file \"%s\" [\"%s\" ofs=%Xh] ofs=%Xh", h.name, r.name,
                     h.base, h.position);
        h.status = FS_IO_ERROR;
        return 0;
    }
    h.position++;
    return (uint8_t)c;
}

uint32_t fs_read_block(uint8_t handle, uint32_t size, void *buffer) {
    fs_handle &h = open_handle(handle, "fs_read_block");
    const fs_real &r = reals[h.real];
    // Summed in 64 bits: a huge size must not wrap round and pass the test.
    if ((uint64_t)h.position + size > h.size) {
        if (h.safe)
            sys_exit(3,
                     "reading block from file \"%s\" [\"%s\" ofs=%Xh] beyond the eof\n"
                     "(file_ofs=%Xh file_size=%Xh block_size=%Xh)",
                     h.name, r.name, h.base, h.position, h.size, size);
        h.status = FS_BEYOND_EOF;
        return 0;
    }
    size_t got = fread(buffer, 1, size, r.stream);
    if (got != size) {
        if (h.safe)
            sys_exit(3, "error reading block fromfile \"%s\" [\"%s\" ofs=%Xh] (block_size=%Xh)",
                     h.name, r.name, h.base, size);
        // The bytes that did come were taken from the real file: count them,
        // so that the position still says where the next read starts.
        h.position += (uint32_t)got;
        h.status = FS_IO_ERROR;
        return 0;
    }
    h.position += size;
    return size;
}

int fs_read_line(uint8_t handle, int max, char *buffer, char terminator) {
    fs_handle &h = open_handle(handle, "fs_read_line");
    int i = 0;
    while (i < max) {
        uint32_t before = h.position;
        uint8_t c = fs_read_byte(handle);
        // Only an unsafe handle comes back from a failed read (its position
        // has not moved): the line ends there instead of filling up with
        // the zeros that the failed reads return.
        if (h.position == before) break;
        buffer[i] = (char)c;
        if (buffer[i] == terminator) break;
        i++;
    }
    buffer[i] = '\0';
    return i;
}

uint16_t fs_read_u16(uint8_t handle) {
    uint16_t value = fs_read_byte(handle);
    return (uint16_t)(value << 8 | fs_read_byte(handle));
}

uint32_t fs_read_u32(uint8_t handle) {
    uint32_t value = 0;
    for (int i = 0; i < 4; i++) value = value << 8 | fs_read_byte(handle);
    return value;
}

uint8_t fs_status(uint8_t handle) {
    if (handle >= FS_HANDLES || !handles[handle].in_use) return FS_NO_HANDLE;
    uint8_t status = handles[handle].status;
    handles[handle].status = FS_OK;
    return status;
}

const char *fs_name(uint8_t handle) {
    if (handle >= FS_HANDLES || !handles[handle].in_use) return "";
    return handles[handle].name;
}

uint32_t fs_position(uint8_t handle) {
    if (handle >= FS_HANDLES || !handles[handle].in_use) return 0;
    return handles[handle].position;
}

FILE *fs_real_file(uint8_t handle, const char **real_name, uint32_t *base) {
    const fs_handle &h = open_handle(handle, "fs_real_file");
    *real_name = reals[h.real].name;
    *base = h.base;
    return reals[h.real].stream;
}
