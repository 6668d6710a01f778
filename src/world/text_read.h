// Reading the game's text files (maps and descriptions) a field at a time:
// a word ends at the next blank, a rest of line at the line feed; the
// terminator is consumed. A field that fills the whole buffer has no
// terminator within the limit: it is refused with the file and the line.
#pragma once
#include <cstdint>

struct text_file {
    uint8_t handle;
    int max;           // longest field + 1: 80 for maps, 60 for descriptions
    int line;          // the line number that messages show
    const char *line_label;  // "line", or "head line" for a map's head
};

// Opens the file in text mode (safe: a missing file ends the program).
text_file text_open(const char *file_name, int max, int first_line);
void text_close(text_file *f);

// Read into `buffer` (f->max + 1 bytes); return the length.
int read_word(text_file *f, char *buffer);
int read_rest(text_file *f, char *buffer);

// The standard decimal conversion: leading white space, an optional sign,
// digits; whatever follows is ignored; no digits give 0. Values beyond the
// 32-bit range are held at its ends.
int32_t text_number(const char *text);
// The number of `text`, refused with a message naming `what`, the file and
// the line when it lies outside lo to hi.
int32_t text_number_in(text_file *f, const char *text, int32_t lo, int32_t hi, const char *what);
// Refuses an empty file name with a message naming `what`, the file and the line.
void text_require_name(text_file *f, const char *name, const char *what);
