// TOptionsForm: the Options dialog. It is created once with the main window
// and reused; it only shows the settings it is filled with and hands back the
// state of its controls. The main window fills it and takes what it holds
// after OK.
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace trisk {

class TOptionsForm : public QDialog {
    Q_OBJECT
  public:
    explicit TOptionsForm(QWidget* owner);

    QGroupBox* gbGeneral;
    QCheckBox* cbEnableSound;
    QCheckBox* cbConfirmNewGame;
    QCheckBox* cbConfirmReplayGame;
    QCheckBox* cbConfirmExit;
    QGroupBox* gbUndoRedo;
    QRadioButton* rbUndoDisabled;
    QRadioButton* rbUndoOne;
    QRadioButton* rbUndoUnlimited;
    QGroupBox* gbSystem;
    QCheckBox* cbMinimizeToTray;
    QCheckBox* cbMinimizeToEscape;
    QCheckBox* cbFileAssociation;
    QGroupBox* gbNumber;
    QRadioButton* rbRandom;
    QRadioButton* rbIncrement;
    QLineEdit* edIncrementFrom;
    QPushButton* btOk;
    QPushButton* btCancel;

    // "Random" turns the start number off, "Order, starting from" on.
    void rbRandomClick();
    void rbIncrementClick();

  protected:
    // Escape is not bound to Cancel; the close box still cancels.
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace trisk
