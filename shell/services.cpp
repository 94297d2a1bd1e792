#include "shell/services.h"

#include "shell/tick_source.h"

namespace trisk {

TServices TServices::Platform() {
    TServices services;
    services.Files = NewPlatformFileStore();
    services.Ticks = std::make_unique<TMonotonicTicks>();
    services.Dialogs = std::make_unique<TQtDialogs>();
    services.Settings = std::make_unique<TQSettingsStore>();
    services.Sound = std::make_unique<TSoundPlayer>();
    services.Association = std::make_unique<TNoFileAssociation>();
    services.TrayIcon = std::make_unique<TSystemTrayIcon>();
    return services;
}

}  // namespace trisk
