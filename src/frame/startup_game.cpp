// The game's start-up: its program description, shutdown chain and the
// order in which its subsystems come up.
#include "frame/startup.h"

#include "core/files.h"
#include "core/realm.h"
#include "frame/config.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "frame/version.h"
#include "game/menu.h"
#include "gfx/draw.h"
#include "gfx/video.h"
#include "net/net.h"
#include "sim/random.h"
#include "sound/sound.h"

namespace {

const shutdown_step game_chain[] = {
    {SUB_NETWORK, net_shutdown},
    {SUB_SOUND, sound_shutdown},
    {SUB_SDL, video_shutdown},
    {SUB_FILES, fs_shutdown},
    {SUB_REALM, realm_shutdown},
    {SUB_LOG, log_close},
    {-1, nullptr},
};

const program_info game_program = {
    GAME_VERSION,
    "\nTrelm 2D: fenda\n%s\n",
    "\nTrelm 2D: fenda %s\n",
    "Fenda 2 [%s]",
    "fenda2.log",
    8,
    LOG_CHANNELS_GAME,
    game_chain,
};

}  // namespace

void game_start(int argc, char **argv) {
    frame_start(&game_program);
    config_defaults(false);
    read_options(argc, argv);

    log_write(LOG_INFO, game_program.first_log_line, game_program.version);
    fs_init();
    config_read("fenda2.config");
    video_init();
    if (!sound_init()) startup_note("unable to initialize sound, playing silently");
    realm_init();
    screen_setup();
    load_random_table("random.table");
    main_menu(argc, argv);
    sys_exit(0, "Normal shutdown");
}
