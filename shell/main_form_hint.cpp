// The hint on the H key: a shortcut of the window that is in no menu. The
// frame it puts around a pile is the table view's to paint.
#include <QKeySequence>
#include <QShortcut>

#include "shell/hint.h"
#include "shell/main_form.h"

namespace trisk {

void TMainForm::CreateHint() {
    hint_ = std::make_unique<THint>(game_, *Table, dialogs_);
    auto* key = new QShortcut(QKeySequence(Qt::Key_H), this);
    key->setObjectName("HintShortcut");
    connect(key, &QShortcut::activated, this, [this] { hint_->Ask(); });
}

}  // namespace trisk
