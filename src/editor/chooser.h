// The map chooser: a list of the working directory's map files over the
// menu picture, from which a click picks the map to edit.
#pragma once

enum {
    CHOOSER_X = 75,            // the menu picture's place on the screen
    CHOOSER_Y = 50,
    CHOOSER_PROMPT_X = 150,    // picture pixels
    CHOOSER_PROMPT_Y = 90,
    CHOOSER_ROWS_X = 50,
    CHOOSER_ROWS_Y = 120,
    CHOOSER_ROW_HEIGHT = 20,
    CHOOSER_RIGHT = 562,       // clicks right of this do nothing
    CHOOSER_PAGE_ROWS_MIN = 2  // a page shows a name and the "more" row at least
};

// One name of the file list, a copy in the chooser's realm.
struct file_name {
    char *name;
    file_name *next;
};

struct file_list {
    file_name *first;
    int count;
};

// Shows the chooser and waits for a click on a name, which is copied into
// `name` (a buffer of MAP_FILE_NAME_MAX bytes). With no map files it
// returns at once and leaves `name` as it was.
void map_chooser(const char *prompt, char *name);
// Adds the names of the working directory's "*.fenda" files to the list,
// in alphabetical order, their copies in `realm`. A name too long to open
// is left out with a warning in the log. A listing that fails ends the
// program.
void get_file_list_aux(file_list *list, int realm);

// What a click at picture point (px, py) chooses, given the number of
// rows shown: the row index, or -1 for none.
int chooser_row_at(int px, int py, int rows);
