// The random table.
#include "sim/random.h"

#include "core/files.h"

uint16_t random_table[RANDOM_TABLE_SIZE];
int32_t random_index = 0;

void load_random_table(const char *file_name) {
    uint8_t bytes[RANDOM_TABLE_SIZE * 2];
    uint8_t handle = fs_open(file_name, "rb", 1);
    fs_read_block(handle, sizeof bytes, bytes);
    fs_close(handle);
    for (int i = 0; i < RANDOM_TABLE_SIZE; i++)
        random_table[i] = (uint16_t)(bytes[2 * i] | bytes[2 * i + 1] << 8);
}

uint16_t draw(uint16_t n) {
    uint32_t entry = random_table[random_index];
    random_index = (random_index + 1) % RANDOM_TABLE_SIZE;
    return (uint16_t)((entry * n) >> 16);
}
