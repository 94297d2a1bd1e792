// The statistics on F8: a shortcut of the window that is in no menu.
#include <QKeySequence>
#include <QShortcut>

#include "shell/main_form.h"
#include "shell/statistics_form.h"

namespace trisk {

void TMainForm::CreateStatistics() {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F8), this);
    key->setObjectName("StatisticsShortcut");
    connect(key, &QShortcut::activated, this, &TMainForm::ShowStatistics);
}

void TMainForm::ShowStatistics() {
    if (!statisticsForm_) statisticsForm_ = new TStatisticsForm(statistics_, dialogs_, this);
    statisticsForm_->Refresh();
    // Window-modal without blocking: the game waits behind it.
    statisticsForm_->open();
}

}  // namespace trisk
