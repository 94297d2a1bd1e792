#include "shell/options_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <iterator>

namespace trisk {

namespace {

// Each control at its place (left, top, width, height) inside its parent.
template <class T>
T* Place(QWidget* parent, const char* name, const char* caption, int x, int y, int w, int h) {
    auto* control = new T(caption, parent);
    control->setObjectName(name);
    control->setGeometry(x, y, w, h);
    return control;
}

// Lets only digits be typed into an edit; pasted text goes in as it is, so
// that the dialog's owner can report text that is not a number.
class TDigitsTyped : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        QString typed;
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            // Shortcuts (Ctrl+V among them) are the edit's business.
            if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
                return false;
            typed = key->text();
        } else if (event->type() == QEvent::InputMethod) {
            typed = static_cast<QInputMethodEvent*>(event)->commitString();
        }
        for (const QChar c : std::as_const(typed)) {
            if (c.isPrint() && !c.isDigit()) return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

TOptionsForm::TOptionsForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName("OptionsForm");
    setWindowTitle("Options");
    setFixedSize(466, 233);
    setModal(true);

    gbGeneral = Place<QGroupBox>(this, "gbGeneral", "General", 8, 8, 230, 113);
    cbEnableSound =
        Place<QCheckBox>(gbGeneral, "cbEnableSound", "Enable all sounds", 10, 16, 210, 17);
    cbConfirmNewGame =
        Place<QCheckBox>(gbGeneral, "cbConfirmNewGame", "Confirm a new game", 10, 39, 210, 17);
    cbConfirmReplayGame = Place<QCheckBox>(gbGeneral, "cbConfirmReplayGame",
                                           "Confirm to restart game", 10, 62, 210, 17);
    cbConfirmExit =
        Place<QCheckBox>(gbGeneral, "cbConfirmExit", "Confirm on exit", 10, 85, 210, 17);

    gbUndoRedo = Place<QGroupBox>(this, "gbUndoRedo", "Undo / Redo level", 246, 8, 212, 89);
    rbUndoDisabled = Place<QRadioButton>(gbUndoRedo, "rbUndoDisabled", "Disable", 10, 16, 180, 17);
    rbUndoOne =
        Place<QRadioButton>(gbUndoRedo, "rbUndoOne", "Only one undo / redo", 10, 39, 180, 17);
    rbUndoUnlimited =
        Place<QRadioButton>(gbUndoRedo, "rbUndoUnlimited", "Unlimited", 10, 62, 180, 17);

    gbSystem = Place<QGroupBox>(this, "gbSystem", "System", 246, 104, 212, 90);
    cbMinimizeToTray =
        Place<QCheckBox>(gbSystem, "cbMinimizeToTray", "Minimize to system tray", 10, 17, 190, 17);
    cbMinimizeToEscape =
        Place<QCheckBox>(gbSystem, "cbMinimizeToEscape", "Minimize on Escape", 10, 40, 190, 17);
    cbFileAssociation = Place<QCheckBox>(gbSystem, "cbFileAssociation",
                                         "Associate with the files .kxr", 10, 64, 190, 17);

    gbNumber = Place<QGroupBox>(this, "gbNumber", "Game number", 8, 128, 230, 66);
    rbRandom = Place<QRadioButton>(gbNumber, "rbRandom", "Random", 10, 16, 135, 17);
    rbIncrement =
        Place<QRadioButton>(gbNumber, "rbIncrement", "Order, starting from", 10, 40, 135, 17);
    edIncrementFrom = Place<QLineEdit>(gbNumber, "edIncrementFrom", "", 150, 38, 70, 21);
    edIncrementFrom->setMaxLength(10);
    // Typing takes digits only; pasted text is taken as it is.
    edIncrementFrom->installEventFilter(new TDigitsTyped(edIncrementFrom));

    // The frame of each box runs through the middle of its caption, so the
    // controls at their places sit inside it.
    setStyleSheet(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 7px; padding: 0px 2px; }");

    btOk = Place<QPushButton>(this, "btOk", "OK", 156, 200, 75, 25);
    btOk->setDefault(true);
    btCancel = Place<QPushButton>(this, "btCancel", "Cancel", 241, 200, 75, 25);
    btCancel->setAutoDefault(false);

    // The radio buttons of each box are one group of their own.
    auto* undoGroup = new QButtonGroup(this);
    for (QRadioButton* button : {rbUndoDisabled, rbUndoOne, rbUndoUnlimited})
        undoGroup->addButton(button);
    auto* numberGroup = new QButtonGroup(this);
    numberGroup->addButton(rbRandom);
    numberGroup->addButton(rbIncrement);

    // Tab order: the boxes as they are listed, each box's controls top down,
    // then OK and Cancel.
    QWidget* const order[] = {cbEnableSound,
                              cbConfirmNewGame,
                              cbConfirmReplayGame,
                              cbConfirmExit,
                              rbUndoDisabled,
                              rbUndoOne,
                              rbUndoUnlimited,
                              cbMinimizeToTray,
                              cbMinimizeToEscape,
                              cbFileAssociation,
                              rbRandom,
                              rbIncrement,
                              edIncrementFrom,
                              btOk,
                              btCancel};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    connect(rbRandom, &QRadioButton::clicked, this, &TOptionsForm::rbRandomClick);
    connect(rbIncrement, &QRadioButton::clicked, this, &TOptionsForm::rbIncrementClick);
    connect(btOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TOptionsForm::rbRandomClick() {
    edIncrementFrom->setEnabled(false);
}

void TOptionsForm::rbIncrementClick() {
    edIncrementFrom->setEnabled(true);
}

void TOptionsForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace trisk
