// TGameNumberForm: the "Select shuffle" dialog. It only shows the number and
// hands back what was typed; the game decides whether the text is a number.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace trisk {

class TGameNumberForm : public QDialog {
    Q_OBJECT
  public:
    explicit TGameNumberForm(QWidget* owner);

    QLabel* lbChooseGame;
    QLineEdit* edGameNumber;
    QPushButton* btOk;
    QPushButton* btCancel;

  protected:
    // Escape is not bound to Cancel; the close box still cancels.
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace trisk
