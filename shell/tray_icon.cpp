#include "shell/tray_icon.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace trisk {

TSystemTrayIcon::TSystemTrayIcon() : icon_(std::make_unique<QSystemTrayIcon>()) {
    icon_->setObjectName("TrayIcon");
}

void TSystemTrayIcon::Attach(const QIcon& icon, const QString& tip, QMenu* menu) {
    icon_->setIcon(icon);
    icon_->setToolTip(tip);
    icon_->setContextMenu(menu);
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger && OnLeftClick) OnLeftClick();
                     });
}

TSystemTrayIcon::~TSystemTrayIcon() = default;

bool TSystemTrayIcon::IsAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TSystemTrayIcon::Add() {
    icon_->show();
}

void TSystemTrayIcon::Delete() {
    icon_->hide();
}

bool TSystemTrayIcon::IsShown() const {
    return icon_->isVisible();
}

}  // namespace trisk
