// Every dialog of the main window opens centred on it: the dialog's frame on
// the window's frame, also under a window manager that draws title bars.
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

}  // namespace trisk
