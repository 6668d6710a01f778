// The file layer: 16 numbered handles over real files, with byte, block and
// line readers; in safe mode every failure ends the program (code 3).
#pragma once
#include <cstdint>
#include <cstdio>

struct SDL_RWops;

enum {
    FS_OK = 0xF0,
    FS_NO_HANDLE = 0xF4,
    FS_BEYOND_EOF = 0xF5,
    FS_IO_ERROR = 0xF6,
    FS_HANDLES = 16,
    FS_NAME_MAX = 127,
    FS_REAL_NAME_MAX = FS_NAME_MAX,  // a real file keeps every name a handle can hold
    FS_MAX_SIZE = 0x4FFFFF
};

void fs_init();
void fs_shutdown();

// mode "rt" reads text (CR LF reads as LF), "rb" binary; files are only
// ever opened for reading. A name longer than FS_NAME_MAX cannot be opened.
uint8_t fs_open(const char *name, const char *mode, int safe);
void fs_close(uint8_t handle);
// In unsafe mode a failed read returns 0 and sets the status; a line read
// stops at the failure and returns what it had.
uint8_t fs_read_byte(uint8_t handle);
uint32_t fs_read_block(uint8_t handle, uint32_t size, void *buffer);
// Reads up to and including `terminator`, or `max` bytes; buffer holds max + 1.
int fs_read_line(uint8_t handle, int max, char *buffer, char terminator);
uint16_t fs_read_u16(uint8_t handle);
uint32_t fs_read_u32(uint8_t handle);
uint8_t fs_status(uint8_t handle);  // FS_NO_HANDLE for a handle that is not open
const char *fs_name(uint8_t handle);  // "" for a handle that is not open
uint32_t fs_position(uint8_t handle); // bytes read through the handle so far

// The handle's open real file, its name and the handle's base offset in it;
// for the SDL stream below, which lives in its own file.
FILE *fs_real_file(uint8_t handle, const char **real_name, uint32_t *base);

// An SDL read stream over the handle's open file; freeing it leaves the file
// open. It reads from where the real file stands without moving the handle's
// position, so read nothing more through the handle once it has been used:
// free the stream, then close the handle.
SDL_RWops *fs_rwops(uint8_t handle);
