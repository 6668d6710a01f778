// Common frame of the fuzz targets: a scratch working directory holding a
// copy of the data set, SDL's dummy display, and one run per input in which
// a fatal sys_exit on bad data returns to the harness instead of ending the
// process. Between inputs every file is closed and every realm freed.
#pragma once
#include <cstddef>
#include <cstdint>

// Once per process: the working directory and the display.
void fuzz_init();
// Writes the input to `file_name` in the working directory, starts files
// and realm memory, runs `body`, then shuts both down again. A sys_exit
// inside `body` counts as a clean end.
void fuzz_run(const char *file_name, const uint8_t *data, size_t size, void (*body)());
