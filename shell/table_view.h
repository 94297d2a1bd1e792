// The table: the window's client area below the menu bar, where the piles are
// painted and where pointer releases and moves are taken. Its coordinates are
// the table's coordinates; the toolbar lies over its top edge and hiding the
// toolbar or the status bar never moves it.
#pragma once

#include <QWidget>

namespace trisk {

class TMainForm;

class TTableView : public QWidget {
  public:
    TTableView(TMainForm& form, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    TMainForm& form_;
};

}  // namespace trisk
