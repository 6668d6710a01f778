// The programs' version strings: shown by --version and --help and in the
// first log line; the main menu shows the short form.
#pragma once

#define VERSION_SHORT "version 2.0/75"
#define GAME_VERSION VERSION_SHORT " built Jan 30 2005 22:39:06"
#define EDITOR_VERSION VERSION_SHORT " build Jan 30 2005 22:35:46"
