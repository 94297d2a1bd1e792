// The dialogs of the window on their own, and the proposed save-file name.
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "shell/dialog_placement.h"
#include "shell/dialogs.h"
#include "shell/game_number_form.h"
#include "shell/main_form.h"
#include "shell/status_form.h"

using namespace trisk;

class TDialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void gameOverDialogEndsOnlyThroughYesOrNo();
    void gameOverDialogShowsVerdictAndPicture();
    void gameNumberDialogTakesTenDigits();
    void proposedSaveNameFollowsKindDateAndLocale();
    void messageBoxesLeaveRoomForTheirCaption();
};

void TDialogsTest::gameOverDialogEndsOnlyThroughYesOrNo() {
    TStatusForm dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QString("Game over"));
    QCOMPARE(dialog.size(), QSize(240, 128));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowSystemMenuHint));
    QVERIFY(!dialog.btYes->isDefault() && !dialog.btNo->isDefault());
    QCOMPARE(dialog.btYes->geometry(), QRect(30, 84, 75, 25));
    QCOMPARE(dialog.btNo->geometry(), QRect(134, 84, 75, 25));
    QCOMPARE(dialog.lbAction->text(), QString("Do you want to play again?"));
    QCOMPARE(dialog.btYes->nextInFocusChain(), dialog.btNo);

    // Escape and a close request leave it open; Yes has the focus and ends it
    // with result 1, No with result 2.
    bool openAfterEscapeAndClose = false;
    QWidget* focused = nullptr;
    QTimer::singleShot(0, &dialog, [&] {
        focused = dialog.focusWidget();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.close();
        openAfterEscapeAndClose = dialog.isVisible();
        QTest::mouseClick(dialog.btYes, Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(TStatusForm::ResultYes));
    QVERIFY(openAfterEscapeAndClose);
    QCOMPARE(focused, dialog.btYes);

    TStatusForm second(nullptr);
    QTimer::singleShot(0, &second, [&] { QTest::mouseClick(second.btNo, Qt::LeftButton); });
    QCOMPARE(second.exec(), int(TStatusForm::ResultNo));
}

void TDialogsTest::gameOverDialogShowsVerdictAndPicture() {
    TStatusForm won(nullptr);
    won.ShowVerdict(true);
    QCOMPARE(won.lbStatus->text(), QString("Congratulations!\nYou have won."));
    QVERIFY(won.lbStatus->alignment() & Qt::AlignHCenter);
    QCOMPARE(won.lbStatus->geometry(), QRect(73, 16, 112, 33));
    const QImage heart = won.imgStatus->pixmap().toImage();
    QCOMPARE(heart.size(), QSize(48, 48));
    QVERIFY(heart.hasAlphaChannel());
    QCOMPARE(heart.pixelColor(0, 0).alpha(), 0);
    // A red heart in the middle of the card.
    const QColor middle = heart.pixelColor(24, 24);
    QVERIFY(middle.red() > 150 && middle.green() < 80 && middle.blue() < 80);

    TStatusForm lost(nullptr);
    lost.ShowVerdict(false);
    QCOMPARE(lost.lbStatus->text(), QString("You lose."));
    const QImage spade = lost.imgStatus->pixmap().toImage();
    QCOMPARE(spade.size(), QSize(48, 48));
    const QColor black = spade.pixelColor(24, 26);
    QVERIFY(black.red() < 90 && black.green() < 90 && black.blue() < 90);
}

void TDialogsTest::gameNumberDialogTakesTenDigits() {
    TGameNumberForm dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QString("Select shuffle"));
    QCOMPARE(dialog.size(), QSize(278, 175));
    QCOMPARE(dialog.lbChooseGame->text(), QString("Select a game number from 0 to 4 294 967 295:"));
    QCOMPARE(dialog.edGameNumber->geometry(), QRect(74, 64, 120, 21));
    QVERIFY(dialog.btOk->isDefault());

    QTest::keyClicks(dialog.edGameNumber, "12a-3 4567890123");
    QCOMPARE(dialog.edGameNumber->text(), QString("1234567890"));

    // Escape does not cancel; Enter is OK.
    bool openAfterEscape = false;
    QTimer::singleShot(0, &dialog, [&] {
        QTest::keyClick(dialog.edGameNumber, Qt::Key_Escape);
        openAfterEscape = dialog.isVisible();
        QTest::keyClick(dialog.edGameNumber, Qt::Key_Return);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(openAfterEscape);

    // Cancel and the close box both cancel.
    QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(dialog.btCancel, Qt::LeftButton); });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
}

void TDialogsTest::proposedSaveNameFollowsKindDateAndLocale() {
    const QDateTime when(QDate(2012, 5, 17), QTime(14, 5, 33));
    const QLocale c = QLocale::c();
    QCOMPARE(ProposedSaveName(gkTriskClassic, when, c), QString("trisk_2012-05-17_14-05-33"));
    QCOMPARE(ProposedSaveName(gkTriskLite, when, c), QString("trisk_l_2012-05-17_14-05-33"));
    QCOMPARE(ProposedSaveName(gkTriskStrong, when, c), QString("trisk_s_2012-05-17_14-05-33"));
    QCOMPARE(ProposedSaveName(gkDiamond, when, c), QString("diamond_2012-05-17_14-05-33"));
    // A twelve-hour locale keeps its own format, separators turned into "-".
    const QString us =
        ProposedSaveName(gkTriskClassic, when, QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY2(us.startsWith("trisk_2012-05-17_2-05-33"), qPrintable(us));
    QVERIFY(!us.contains(':'));
    // Finnish writes the time with dots.
    const QString fi =
        ProposedSaveName(gkDiamond, when, QLocale(QLocale::Finnish, QLocale::Finland));
    QVERIFY2(fi == "diamond_2012-05-17_14-05-33", qPrintable(fi));
}

// A short question still leaves the frame room for the whole caption beside
// the window's icon and three buttons.
void TDialogsTest::messageBoxesLeaveRoomForTheirCaption() {
    QWidget owner;
    owner.resize(600, 600);
    new TDialogPlacement(&owner);
    owner.show();
    TQtDialogs dialogs;
    dialogs.SetOwner(&owner);
    int width = 0;
    QString caption;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        width = box->width();
        caption = box->windowTitle();
        box->button(QMessageBox::No)->click();
    });
    QVERIFY(!dialogs.AskQuestion("Quit?"));
    QCOMPARE(caption, QString("Solitaire Trisk"));
    QFont bold = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    QVERIFY(width >= metrics.horizontalAdvance(caption) + 4 * metrics.height());
}

QTEST_MAIN(TDialogsTest)
#include "dialogs_test.moc"
