// What the window takes from the world around it, given whole when it is made:
// the files of saved games, the clock's ticks, the dialogs, the settings
// store, the sound, the ".kxr" association and the tray icon. The program
// takes the machine's (Platform); the tests put fakes in any of them.
#pragma once

#include <memory>

#include "history/file_store.h"
#include "history/services.h"
#include "shell/dialogs.h"
#include "shell/file_association.h"
#include "shell/settings_store.h"
#include "shell/tray_icon.h"
#include "table/sound.h"

namespace trisk {

struct TServices {
    std::unique_ptr<TFileStore> Files;
    std::unique_ptr<TTickSource> Ticks;
    std::unique_ptr<TDialogs> Dialogs;
    std::unique_ptr<TSettingsStore> Settings;
    std::unique_ptr<TCardSetSound> Sound;
    std::unique_ptr<TFileAssociation> Association;
    std::unique_ptr<TTrayIcon> TrayIcon;

    // The machine's files, monotonic clock, sound device, settings store and
    // notification area, Qt's dialogs, and no ".kxr" association (the program
    // asks for the desktop's one in main()).
    static TServices Platform();
};

}  // namespace trisk
