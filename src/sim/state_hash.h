// A 64-bit digest of the whole simulated state, for checking that two runs
// (or two computers) computed the same game.
#pragma once
#include <cstdint>

// Covers every object in list order with all its fields, every creature,
// item, missile, explosion, spark, trigger and platform record, the views'
// look offsets, the random draw index, the start used last and logic_frame.
// Pointers enter as what they point at (object ids, picture names, record
// positions), never as addresses, so the digest is the same in every build.
uint64_t world_hash();
