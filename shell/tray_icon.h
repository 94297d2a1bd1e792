// The icon in the desktop's notification area that stands for the window
// while it is hidden there. The program uses QSystemTrayIcon; tests put in an
// icon of their own. Failures of the desktop's tray are not reported.
#pragma once

#include <QIcon>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace trisk {

class TTrayIcon {
  public:
    virtual ~TTrayIcon() = default;
    // Gives the icon its picture, tooltip and context menu, once the window
    // has made them.
    virtual void Attach(const QIcon& icon, const QString& tip, QMenu* menu) = 0;
    // Whether the desktop has a notification area to put the icon into.
    virtual bool IsAvailable() const = 0;
    virtual void Add() = 0;
    virtual void Delete() = 0;
    virtual bool IsShown() const = 0;
    // Called for a left click on the icon.
    std::function<void()> OnLeftClick;
};

// The real icon: the picture and tip given, menu as its context menu (a
// right click shows it at the pointer).
class TSystemTrayIcon : public TTrayIcon {
  public:
    TSystemTrayIcon();
    ~TSystemTrayIcon() override;

    void Attach(const QIcon& icon, const QString& tip, QMenu* menu) override;
    bool IsAvailable() const override;
    void Add() override;
    void Delete() override;
    bool IsShown() const override;
    // The Qt icon itself (its place on the screen, for tests).
    const QSystemTrayIcon& Icon() const { return *icon_; }

  private:
    std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace trisk
