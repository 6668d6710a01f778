// Field reader for the game's text files.
#include "world/text_read.h"

#include <climits>

#include "core/files.h"
#include "frame/sys.h"

text_file text_open(const char *file_name, int max, int first_line) {
    text_file f;
    f.handle = fs_open(file_name, "rt", 1);
    f.max = max;
    f.line = first_line;
    f.line_label = "line";
    return f;
}

void text_close(text_file *f) { fs_close(f->handle); }

namespace {

int read_field(text_file *f, char *buffer, char terminator) {
    int n = fs_read_line(f->handle, f->max, buffer, terminator);
    // A field of max characters came back without its terminator: the rest
    // would be taken for the next field.
    if (n >= f->max)
        sys_exit(16, "too long word or line (%d characters or more) in file \"%s\" %s %d", f->max,
                 fs_name(f->handle), f->line_label, f->line);
    return n;
}

}  // namespace

int read_word(text_file *f, char *buffer) { return read_field(f, buffer, ' '); }

int read_rest(text_file *f, char *buffer) { return read_field(f, buffer, '\n'); }

int32_t text_number(const char *text) {
    const char *p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) p++;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value <= (int64_t)INT32_MAX + 1) value = value * 10 + (*p - '0');
        p++;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return (int32_t)value;
}

int32_t text_number_in(text_file *f, const char *text, int32_t lo, int32_t hi, const char *what) {
    int32_t value = text_number(text);
    if (value < lo || value > hi)
        sys_exit(16, "%s %d out of range (%d to %d) in file \"%s\" %s %d", what, value, lo, hi,
                 fs_name(f->handle), f->line_label, f->line);
    return value;
}

void text_require_name(text_file *f, const char *name, const char *what) {
    if (!name[0])
        sys_exit(16, "empty %s name in file \"%s\" %s %d", what, fs_name(f->handle), f->line_label,
                 f->line);
}
