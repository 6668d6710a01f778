// Process entry of the editor.
#include "frame/startup.h"

int main(int argc, char **argv) { editor_start(argc, argv); }
