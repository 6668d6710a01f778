// Process entry of the game.
#include "frame/startup.h"

int main(int argc, char **argv) { game_start(argc, argv); }
