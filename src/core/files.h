// The file layer: 16 numbered handles over real files, with byte, block and
// line readers; in safe mode every failure ends the program (code 3).
#pragma once
#include <cstdint>

struct SDL_RWops;

enum {
    FS_OK = 0xF0,
    FS_NO_HANDLE = 0xF4,
    FS_BEYOND_EOF = 0xF5,
    FS_IO_ERROR = 0xF6,
    FS_HANDLES = 16,
    FS_NAME_MAX = 127,
    FS_REAL_NAME_MAX = 63,
    FS_MAX_SIZE = 0x4FFFFF
};

void fs_init();
void fs_shutdown();

// mode "rt" reads text (CR LF reads as LF), "rb" binary.
uint8_t fs_open(const char *name, const char *mode, int safe);
void fs_close(uint8_t handle);
uint8_t fs_read_byte(uint8_t handle);
uint32_t fs_read_block(uint8_t handle, uint32_t size, void *buffer);
// Reads up to and including `terminator`, or `max` bytes; buffer holds max + 1.
int fs_read_line(uint8_t handle, int max, char *buffer, char terminator);
uint16_t fs_read_u16(uint8_t handle);
uint32_t fs_read_u32(uint8_t handle);
uint8_t fs_status(uint8_t handle);
const char *fs_name(uint8_t handle);

// An SDL read stream over the handle's open file; freeing it leaves the file open.
SDL_RWops *fs_rwops(uint8_t handle);
