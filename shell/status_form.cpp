#include "shell/status_form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace trisk {

TStatusForm::TStatusForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("StatusForm");
    setWindowTitle("Game over");
    setFixedSize(240, 128);
    setModal(true);

    imgStatus = new QLabel(this);
    imgStatus->setObjectName("imgStatus");
    imgStatus->setGeometry(8, 8, 48, 48);
    imgStatus->setAttribute(Qt::WA_TranslucentBackground);

    lbStatus = new QLabel(this);
    lbStatus->setObjectName("lbStatus");
    lbStatus->setGeometry(73, 16, 112, 33);
    lbStatus->setAlignment(Qt::AlignCenter);
    lbStatus->setWordWrap(true);

    lbAction = new QLabel("Do you want to play again?", this);
    lbAction->setObjectName("lbAction");
    lbAction->move(65, 56);
    lbAction->adjustSize();

    btYes = new QPushButton("Yes", this);
    btYes->setObjectName("btYes");
    btYes->setGeometry(30, 84, 75, 25);
    btNo = new QPushButton("No", this);
    btNo->setObjectName("btNo");
    btNo->setGeometry(134, 84, 75, 25);
    // Neither button is fixed as the default: the one with the focus is, so it
    // shows the default frame and Enter presses it.
    for (QPushButton* button : {btYes, btNo}) {
        button->setAutoDefault(true);
        button->setDefault(false);
    }
    setTabOrder(btYes, btNo);
    btYes->setFocus();
    // The focus frame shows from the start, not only after the first key press.
    setAttribute(Qt::WA_KeyboardFocusChange);

    connect(btYes, &QPushButton::clicked, this, [this] { done(ResultYes); });
    connect(btNo, &QPushButton::clicked, this, [this] { done(ResultNo); });
}

void TStatusForm::ShowVerdict(bool won) {
    imgStatus->setPixmap(QPixmap(won ? ":/pictures/GAMEWON.png" : ":/pictures/GAMELOST.png"));
    lbStatus->setText(won ? "Congratulations!\nYou have won." : "You lose.");
}

void TStatusForm::reject() {}

void TStatusForm::closeEvent(QCloseEvent* event) {
    event->ignore();
}

}  // namespace trisk
