#include "shell/toolbar_hover.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHoverEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace trisk {

TToolBarHoverReset::TToolBarHoverReset(QWidget* window, QToolBar* toolbar)
    : QObject(window), window_(window), toolbar_(toolbar) {
    window->installEventFilter(this);
}

bool TToolBarHoverReset::eventFilter(QObject* watched, QEvent* event) {
    // After the enter Qt sends on unblocking the window.
    if (watched == window_ && event->type() == QEvent::WindowUnblocked)
        QTimer::singleShot(0, this, &TToolBarHoverReset::Reset);
    return false;
}

void TToolBarHoverReset::Reset() {
    if (!toolbar_) return;
    const QList<QToolButton*> buttons = toolbar_->findChildren<QToolButton*>();
    for (QToolButton* button : buttons) {
        if (!button->testAttribute(Qt::WA_UnderMouse)) continue;
        button->setAttribute(Qt::WA_UnderMouse, false);
        const QPointF outside(-1, -1);
        QHoverEvent hoverLeave(QEvent::HoverLeave, outside, outside, outside);
        QCoreApplication::sendEvent(button, &hoverLeave);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
        button->update();
    }
}

}  // namespace trisk
