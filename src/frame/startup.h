// Entries of the two programs' start-up sequences; each ends the process.
#pragma once

[[noreturn]] void game_start(int argc, char **argv);
[[noreturn]] void editor_start(int argc, char **argv);
