#include "shell/game_number_form.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace trisk {

TGameNumberForm::TGameNumberForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName("GameNumberForm");
    setWindowTitle("Select shuffle");
    setFixedSize(278, 175);
    setModal(true);

    lbChooseGame = new QLabel("Select a game number from 0 to 4 294 967 295:", this);
    lbChooseGame->setObjectName("lbChooseGame");
    lbChooseGame->move(27, 24);
    lbChooseGame->adjustSize();

    edGameNumber = new QLineEdit(this);
    edGameNumber->setObjectName("edGameNumber");
    edGameNumber->setGeometry(74, 64, 120, 21);
    edGameNumber->setMaxLength(10);
    // Typing takes digits only; whatever else arrives is refused by the game.
    edGameNumber->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edGameNumber));

    btOk = new QPushButton("OK", this);
    btOk->setObjectName("btOk");
    btOk->setGeometry(50, 120, 75, 25);
    btOk->setDefault(true);
    btCancel = new QPushButton("Cancel", this);
    btCancel->setObjectName("btCancel");
    btCancel->setGeometry(143, 120, 75, 25);
    btCancel->setAutoDefault(false);

    setTabOrder(edGameNumber, btOk);
    setTabOrder(btOk, btCancel);
    edGameNumber->setFocus();

    connect(btOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TGameNumberForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace trisk
