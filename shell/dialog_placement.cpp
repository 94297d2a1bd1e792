#include "shell/dialog_placement.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QScreen>
#include <QTimer>
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
    // The place of the client area, whatever Qt knows (or remembers from an
    // earlier showing) of the dialog's own frame: move() would place the
    // frame once it is known, and a reused dialog would open lower each time.
    dialog->setGeometry(QRect(QPoint(frame.x() + (frame.width() - frameWidth) / 2 + left,
                                     frame.y() + (frame.height() - frameHeight) / 2 + top),
                              dialog->size()));
    // The window manager keeps a position that the program chose (Qt tells it
    // so for a moved window); shown again, the dialog is placed again.
    dialog->setProperty(kPlacedHere, true);
    return false;
}

TDesktopCentring::TDesktopCentring(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
}

bool TDesktopCentring::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_ || done_) return false;
    switch (event->type()) {
        case QEvent::Show:
            if (!shown_) {
                shown_ = true;
                // A window manager frames the window at once, or not at all.
                QTimer::singleShot(3000, this, [this] { done_ = true; });
            }
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Expose:
            break;
        default:
            return false;
    }
    if (!window_->isVisible() || window_->isMaximized() || window_->isFullScreen()) return false;
    const QRect frame = window_->frameGeometry();
    const QRect client = window_->geometry();
    const QScreen* screen = window_->screen();
    if (frame == client || !screen) return false;  // no frame known yet
    done_ = true;
    const QRect desk = screen->availableGeometry();
    const QPoint frameAt(desk.x() + (desk.width() - frame.width()) / 2,
                         desk.y() + (desk.height() - frame.height()) / 2);
    if (frameAt != frame.topLeft()) {
        window_->setGeometry(QRect(frameAt + (client.topLeft() - frame.topLeft()), client.size()));
    }
    return false;
}

}  // namespace trisk
