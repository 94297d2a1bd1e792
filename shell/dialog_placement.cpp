#include "shell/dialog_placement.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QWidget>

namespace trisk {

namespace {
constexpr const char* kPlacedHere = "triskPlacedOnOwner";
}

TDialogPlacement::TDialogPlacement(QWidget* owner) : QObject(owner), owner_(owner) {
    qApp->installEventFilter(this);
}

bool TDialogPlacement::eventFilter(QObject* watched, QEvent* event) {
    // A dialog's Show event comes before it reaches the screen, after Qt's own
    // placement, which centres the client areas and so puts a dialog with a
    // title bar too high by that bar.
    if (event->type() != QEvent::Show) return false;
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (!dialog || !dialog->isWindow() || !dialog->parentWidget() ||
        dialog->parentWidget()->window() != owner_)
        return false;
    // A dialog that its own code placed keeps that place.
    if (dialog->testAttribute(Qt::WA_Moved) && !dialog->property(kPlacedHere).toBool())
        return false;
    const QRect frame = owner_->frameGeometry();
    const QRect client = owner_->geometry();
    // The dialog gets the frame the window has: its own is not known yet.
    const int left = client.left() - frame.left();
    const int top = client.top() - frame.top();
    const int frameWidth = dialog->width() + frame.width() - client.width();
    const int frameHeight = dialog->height() + frame.height() - client.height();
    dialog->move(frame.x() + (frame.width() - frameWidth) / 2 + left,
                 frame.y() + (frame.height() - frameHeight) / 2 + top);
    // The window manager keeps a position that the program chose (Qt tells it
    // so for a moved window); shown again, the dialog is placed again.
    dialog->setProperty(kPlacedHere, true);
    return false;
}

}  // namespace trisk
