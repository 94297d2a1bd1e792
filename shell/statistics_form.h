// The statistics dialog on F8: one row per game kind with its figures, and a
// Reset button that asks first.
#pragma once

#include <QDialog>

#include "history/statistics.h"

class QTableWidget;

namespace trisk {

class TStatisticsForm : public QDialog {
    Q_OBJECT
  public:
    TStatisticsForm(TStatisticsKeeper& keeper, TGameDialogs& dialogs, QWidget* parent);
    // Fills the rows with the figures as they are now.
    void Refresh();

  private:
    void ResetClicked();

    TStatisticsKeeper& keeper_;
    TGameDialogs& dialogs_;
    QTableWidget* table_;
};

}  // namespace trisk
