// Every dialog of the main window opens centred on it: the dialog's frame on
// the window's frame, also under a window manager that draws title bars; and
// the main window itself opens centred on the desktop.
#pragma once

#include <QObject>

class QWidget;

namespace trisk {

class TDialogPlacement : public QObject {
  public:
    // Watches the dialogs that owner opens from now on.
    explicit TDialogPlacement(QWidget* owner);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* owner_;
};

// The main window opens with its frame centred on the desktop. Its frame is
// known only once a window manager has framed it, so the window (placed by
// its client area at first) is moved by the frame's share then, once.
class TDesktopCentring : public QObject {
  public:
    explicit TDesktopCentring(QWidget* window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window_;
    bool shown_ = false;
    bool done_ = false;
};

}  // namespace trisk
