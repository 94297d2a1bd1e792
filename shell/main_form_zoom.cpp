// The table's zoom on Ctrl+Plus (and Ctrl+=), Ctrl+Minus and Ctrl+0: window
// shortcuts in no menu. The table view scales its painting and hit-testing;
// the window grows or shrinks its client area to the scaled table, while the
// menu bar, toolbar and status bar keep their sizes. The zoom is kept in a
// file of its own beside the preferences.
#include <QFile>
#include <QKeySequence>
#include <QShortcut>

#include <cmath>

#include "shell/main_form.h"
#include "shell/zoom_store.h"
#include "table/table_view.h"

namespace trisk {

namespace {
std::string ZoomFile() {
    return QFile::encodeName(ZoomFilePath()).toStdString();
}
}  // namespace

void TMainForm::CreateZoom() {
    auto add = [this](const char* name, QList<QKeySequence> keys, auto then) {
        auto* shortcut = new QShortcut(this);
        shortcut->setObjectName(name);
        shortcut->setKeys(keys);
        connect(shortcut, &QShortcut::activated, this, then);
    };
    // Ctrl+Plus is Ctrl+Shift+= on many keyboards; Ctrl+= works without Shift.
    add("ZoomInShortcut",
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
        [this] { SetZoomPercent(NextZoomStep(ZoomPercent(), +1)); });
    add("ZoomOutShortcut", {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
        [this] { SetZoomPercent(NextZoomStep(ZoomPercent(), -1)); });
    add("ZoomResetShortcut", {QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { SetZoomPercent(100); });
}

int TMainForm::ZoomPercent() const {
    return static_cast<int>(std::lround(Table->Zoom() * 100));
}

void TMainForm::ReadZoom() {
    const int percent = ReadZoomFile(*services_.Files, ZoomFile());
    Table->SetZoom(percent / 100.0);
    ResizeToTable();
}

void TMainForm::SetZoomPercent(int percent) {
    if (percent == ZoomPercent()) return;
    Table->SetZoom(percent / 100.0);
    ResizeToTable();
    WriteZoomFile(*services_.Files, ZoomFile(), percent);
}

}  // namespace trisk
