// The editor's start-up: its program description, shutdown chain and the
// order in which its subsystems come up (no sound, no network), then the
// editor itself and the saving of the edited map; every end after start-up
// keeps unsaved changes in the autosave file.
#include "frame/startup.h"

#include "core/files.h"
#include "core/realm.h"
#include "editor/editor.h"
#include "editor/session.h"
#include "frame/config.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "frame/version.h"
#include "gfx/draw.h"
#include "gfx/video.h"

namespace {

const shutdown_step editor_chain[] = {
    {SUB_SDL, video_shutdown},
    {SUB_FILES, fs_shutdown},
    {SUB_REALM, realm_shutdown},
    {SUB_LOG, log_close},
    {-1, nullptr},
};

const program_info editor_program = {
    EDITOR_VERSION,
    "\nTrelm 2D: fenda editor\n%s\n",
    "\nTrelm 2D: fenda editor %s\n",
    "Fenda editor [%s]",
    "fenda_editor.log",
    6,
    LOG_CHANNELS_EDITOR,
    editor_chain,
};

}  // namespace

void editor_start(int argc, char **argv) {
    frame_start(&editor_program);
    config_defaults(true);
    read_options(argc, argv);

    log_write(LOG_INFO, editor_program.first_log_line, editor_program.version);
    fs_init();
    config_read("fenda2.config");
    video_init();
    realm_init();
    screen_setup();
    // From here on an end keeps unsaved changes in the autosave file.
    sys_exit_rescue = editor_rescue;
    editor_main_loop();
    editor_save_and_leave();
    sys_exit(0, "Normal shutdown");
}
