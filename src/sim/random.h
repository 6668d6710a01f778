// The game's one source of random numbers: a fixed table of 8192 numbers
// read from a file at start-up and drawn from in order, wrapping round.
#pragma once
#include <cstdint>

enum { RANDOM_TABLE_SIZE = 8192 };

extern uint16_t random_table[RANDOM_TABLE_SIZE];
extern int32_t random_index;  // the entry the next draw takes; 0 at start

// Reads the 16384 bytes of the table (least significant byte first).
void load_random_table(const char *file_name);
// A number from 0 to n - 1, for n from 1 to 65535.
uint16_t draw(uint16_t n);
