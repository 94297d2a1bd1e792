// TAboutForm: the About dialog. It shows the picture "LOGO", the program's
// name, and the file version and copyright line read from the program file's
// own version record. Made for one showing.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace trisk {

class TAboutForm : public QDialog {
    Q_OBJECT
  public:
    // Fills the dialog from the version record of the program file at
    // programPath (the running program's own file in the program).
    TAboutForm(QWidget* owner, const QString& programPath);

    QLabel* imgLogo;
    QLabel* lbName;
    QLabel* lbVersion;
    QFrame* Bevel1;
    QLabel* lbCopyright;
    QPushButton* btClose;

  private:
    void FormCreate(const QString& programPath);
};

}  // namespace trisk
