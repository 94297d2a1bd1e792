// The window's states: normal, minimised to the taskbar, hidden in the tray.
// Every way out of the normal state pauses the game clock once and every way
// back resumes it once; place_ records where the window went, so that Qt's
// state-change events caused by our own minimising or restoring are not
// taken for the system's. Also the exit question.
#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include "shell/main_form.h"

namespace trisk {

namespace {
constexpr const char* kAppTitle = "Solitaire Trisk";
}

void TMainForm::CreateTrayMenu() {
    pmTray = new QMenu(this);
    pmTray->setObjectName("pmTray");
    pmRestore = AddMenuItem(pmTray, aRestore, "pmRestore");
    pmExitItem = AddMenuItem(pmTray, aExit, "pmExitItem");
}

void TMainForm::CreateTrayIcon() {
    if (!services_.TrayIcon) return;
    services_.TrayIcon->Attach(windowIcon(), kAppTitle, pmTray);
    services_.TrayIcon->OnLeftClick = [this] { RestoreFromTray(); };
}

// Minimising to the tray needs a notification area: without one a hidden
// window could never come back, so the window goes to the taskbar instead.
bool TMainForm::TrayUsable() const {
    return game_.Settings().MinimizeToTray && services_.TrayIcon &&
           services_.TrayIcon->IsAvailable();
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    const bool minimized = windowState() & Qt::WindowMinimized;
    if (minimized && place_ == TWindowPlace::Normal) {
        AppEventsMinimize();
    } else if (!minimized && place_ == TWindowPlace::Taskbar) {
        AppEventsRestore();
    }
}

// The system minimised the window (its minimise control, the window menu,
// the taskbar).
void TMainForm::AppEventsMinimize() {
    if (TrayUsable()) {
        place_ = TWindowPlace::Tray;
        services_.TrayIcon->Add();
        // Hidden once the minimise is over: hiding in the middle of it would
        // be undone by the rest of it.
        QTimer::singleShot(0, this, [this] {
            if (place_ == TWindowPlace::Tray) hide();
        });
    } else {
        place_ = TWindowPlace::Taskbar;
    }
    game_.Clock().PauseClock();
}

// The system restored the window from the taskbar.
void TMainForm::AppEventsRestore() {
    place_ = TWindowPlace::Normal;
    game_.Clock().ResumeClock();
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        FormKeyDown(event->key());
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TMainForm::FormKeyDown(int key) {
    if (key != Qt::Key_Escape || !game_.Settings().MinimizeToEscape) return;
    if (place_ != TWindowPlace::Normal) return;
    if (TrayUsable()) {
        place_ = TWindowPlace::Tray;
        services_.TrayIcon->Add();
        hide();
    } else {
        place_ = TWindowPlace::Taskbar;
        showMinimized();
    }
    game_.Clock().PauseClock();
}

// A left click on the tray icon, and Restore in its menu.
void TMainForm::RestoreFromTray() {
    if (place_ != TWindowPlace::Tray) return;
    place_ = TWindowPlace::Normal;
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    services_.TrayIcon->Delete();
    game_.Clock().ResumeClock();
}

void TMainForm::aRestoreExecute() {
    RestoreFromTray();
}

// Asked before every close: the Exit command, F10, the close box and the
// tray menu's Exit. Anything but Yes keeps the program as it was, also
// hidden in the tray.
bool TMainForm::FormCloseQuery() {
    if (!game_.Settings().ConfirmExit) return true;
    return dialogs_.AskQuestion(std::string("Are you sure you want to exit ") + kAppTitle + "?");
}

}  // namespace trisk
