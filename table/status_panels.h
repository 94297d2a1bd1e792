// The status bar's five panels side by side: the game number, the moves, the
// cards under the pointer, the clock, and one left empty.
#pragma once

#include <QObject>
#include <QString>

#include "history/host.h"

class QLabel;
class QStatusBar;

namespace trisk {

// The panels lie edge to edge from the bar's left edge (at 0, 120, 220, 290
// and 360), placed by us rather than by the status bar's layout, which would
// put gaps between them.
class TStatusPanels : public QObject {
  public:
    static constexpr int kCount = 5;
    static constexpr int kWidths[kCount] = {120, 100, 70, 70, 50};

    // Fills the status bar with the panels "StatusPanel0" .. "StatusPanel4".
    explicit TStatusPanels(QStatusBar* bar);

    void SetText(TStatusPanel panel, const QString& text);
    QString Text(TStatusPanel panel) const;
    QLabel* Panel(int index) const { return panels_[index]; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Place();

    QStatusBar* bar_;
    QLabel* panels_[kCount] = {};
};

}  // namespace trisk
