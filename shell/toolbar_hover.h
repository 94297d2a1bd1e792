// A toolbar button lights while the pointer is over it. A command chosen from
// a menu item that lies over a button runs its dialogs while Qt counts the
// pointer as over the button; answered from the keyboard, the dialogs close
// with the button lit, and Qt, which no longer tracks it, never sends it the
// leave that would put it out. Once the window takes input again after a
// dialog, its toolbar's buttons start unlit: the pointer lights one again as
// it moves onto it.
#pragma once

#include <QObject>
#include <QPointer>

class QToolBar;
class QWidget;

namespace trisk {

class TToolBarHoverReset : public QObject {
  public:
    // Watches window for the end of a dialog that blocked it.
    TToolBarHoverReset(QWidget* window, QToolBar* toolbar);

    // Puts out every lit button of the toolbar.
    void Reset();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window_;
    QPointer<QToolBar> toolbar_;
};

}  // namespace trisk
