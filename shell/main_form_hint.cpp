// The hint on the H key: a shortcut of the window that is in no menu, and the
// frame that the hint puts around a pile, painted over the table.
#include <QKeySequence>
#include <QPainter>
#include <QShortcut>

#include "shell/hint.h"
#include "shell/main_form.h"
#include "shell/table_view.h"
#include "table/table_painter.h"

namespace trisk {

void TMainForm::CreateHint() {
    hint_ = std::make_unique<THint>(game_, *Table,
                                    [this](const QString& text) { dialogs_->ShowMessage(text); });
    auto* key = new QShortcut(QKeySequence(Qt::Key_H), this);
    key->setObjectName("HintShortcut");
    connect(key, &QShortcut::activated, this, [this] { hint_->Ask(); });
}

void TMainForm::PaintHint(QPainter& painter) {
    if (const std::optional<TPileRef> mark = hint_->Mark())
        DrawPileMark(painter, game_.GameKind(), mark->Group, mark->Pile);
}

}  // namespace trisk
