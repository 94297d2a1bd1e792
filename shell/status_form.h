// TStatusForm: the game-over dialog. It shows a picture and the verdict and
// asks whether to play again; it ends only through Yes or No.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace trisk {

class TStatusForm : public QDialog {
    Q_OBJECT
  public:
    // The modal results of the two buttons.
    enum { ResultYes = 1, ResultNo = 2 };

    explicit TStatusForm(QWidget* owner);

    // Fills the dialog for a won or a lost game: "GAMEWON" or "GAMELOST" and
    // the verdict.
    void ShowVerdict(bool won);

    QLabel* imgStatus;
    QLabel* lbStatus;
    QLabel* lbAction;
    QPushButton* btYes;
    QPushButton* btNo;

  public slots:
    // Escape and the window manager's close request do not end the dialog.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace trisk
