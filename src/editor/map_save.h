// Writing the edited map back as a map file.
#pragma once

// Writes the map in memory to `path`: the head lines, every object that is
// not removed from the object list's end back to its start, then the end
// line. The map is written to a temporary file beside `path` that replaces
// `path` only once it is complete, so a failure leaves an earlier file
// whole. Every failure ends the program.
void save_map(const char *path);
// The same writing without ending the program: returns 0 once the file is
// in place, else the exit code the failure would have ended with, its
// message in `error`.
int write_map(const char *path, char *error, int error_size);
