#include "shell/input_hold.h"

#include <qpa/qwindowsysteminterface.h>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace trisk {

TInputHold::~TInputHold() {
    if (holding_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void TInputHold::Hold() {
    if (holding_) return;
    holding_ = true;
    QCoreApplication::instance()->installEventFilter(this);
}

void TInputHold::Release() {
    if (!holding_) return;
    holding_ = false;
    QCoreApplication::instance()->removeEventFilter(this);
    std::vector<THeld> held;
    held.swap(held_);
    // Queued as the window system queues what it reads, in the order it came;
    // the event loop then delivers it as it would have without the deal.
    using Queued = QWindowSystemInterface::AsynchronousDelivery;
    for (THeld& item : held) {
        if (!item.Window) continue;
        QWindow* window = item.Window;
        QInputEvent* event = item.Event.get();
        if (!event) {
            QWindowSystemInterface::handleCloseEvent<Queued>(window);
        } else if (auto* mouse = dynamic_cast<QMouseEvent*>(event)) {
            QWindowSystemInterface::handleMouseEvent<Queued>(
                window, static_cast<ulong>(mouse->timestamp()), mouse->position(),
                mouse->globalPosition(), mouse->buttons(), mouse->button(), mouse->type(),
                mouse->modifiers());
        } else if (auto* key = dynamic_cast<QKeyEvent*>(event)) {
            QWindowSystemInterface::handleExtendedKeyEvent(
                window, static_cast<ulong>(key->timestamp()), key->type(), key->key(),
                key->modifiers(), key->nativeScanCode(), key->nativeVirtualKey(),
                key->nativeModifiers(), key->text(), key->isAutoRepeat(),
                static_cast<ushort>(key->count()));
        }
    }
}

bool TInputHold::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Claimed for the focus widget: no shortcut fires now, and the key
            // press comes to the window, where it is held.
            event->accept();
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            // The window system delivers input to a window first; what reaches
            // the widgets from there was held at the window.
            if (watched->isWindowType()) {
                held_.push_back(
                    {static_cast<QWindow*>(watched),
                     std::unique_ptr<QInputEvent>(static_cast<QInputEvent*>(event->clone()))});
            }
            return true;
        case QEvent::Wheel:
            return true;
        case QEvent::Close:
            // From the window system to a window, or asked of a window widget
            // by the program: either way it comes back as the window system's.
            if (watched->isWindowType()) {
                held_.push_back({static_cast<QWindow*>(watched), nullptr});
            } else if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow() &&
                       !event->spontaneous()) {
                held_.push_back({static_cast<QWidget*>(watched)->windowHandle(), nullptr});
            } else {
                return false;
            }
            event->ignore();
            return true;
        default:
            return false;
    }
}

}  // namespace trisk
