// A main window for tests: every dialog answered by the test, the clock under
// the test's control, and pointer events sent to the table as Qt delivers them.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "shell/main_form.h"
#include "shell/table_view.h"
#include "table/resource_module.h"
#include "table/spots.h"

namespace trisk::test {

struct TWindow {
    std::unique_ptr<TMainForm> Form = std::make_unique<TMainForm>();
    QStringList Questions;
    std::deque<bool> Answers;  // an empty queue answers No
    QStringList Messages;
    QStringList ProposedNames;
    QString SaveAnswer;  // empty: the save dialog is cancelled
    int OpenDialogs = 0;
    QString OpenAnswer;  // empty: the open dialog is cancelled
    std::vector<bool> GameOvers;
    bool PlayAgain = false;
    QStringList NumbersShown;
    std::optional<QString> NumberAnswer;  // nothing: Cancel
    uint32_t Now = 0;

    TWindow() {
        TShellDialogs& d = Form->Dialogs;
        d.AskQuestion = [this](const QString& text) {
            Questions << text;
            if (Answers.empty()) return false;
            const bool answer = Answers.front();
            Answers.pop_front();
            return answer;
        };
        d.ShowMessage = [this](const QString& text) { Messages << text; };
        d.ShowInformation = [this](const QString& text) { Messages << "information: " + text; };
        d.GetSaveFileName = [this](const QString& proposed) {
            ProposedNames << proposed;
            return SaveAnswer;
        };
        d.GetOpenFileName = [this] {
            ++OpenDialogs;
            return OpenAnswer;
        };
        d.ShowGameOver = [this](bool won) {
            GameOvers.push_back(won);
            return PlayAgain;
        };
        d.AskGameNumber = [this](const QString& current) {
            NumbersShown << current;
            return NumberAnswer;
        };
        Form->TickSource = [this] { return Now; };
    }

    // Runs the start-up sequence with the card-set library the build made.
    // Shows the window and waits until it has the keyboard.
    bool ShowActive() {
        Form->show();
        Form->activateWindow();
        return QTest::qWaitForWindowActive(Form.get());
    }

    bool Start(const QStringList& arguments = {}) {
        return Form->FormCreate(arguments, CardSetLibraryPath());
    }

    TGame& Game() { return Form->Game; }
    QString Panel(int index) const { return Form->StatusPanels[index]->text(); }

    void Release(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        const QPointF at(x, y);
        QMouseEvent press(QEvent::MouseButtonPress, at, Form->Table->mapToGlobal(at), button,
                          button, Qt::NoModifier);
        QApplication::sendEvent(Form->Table, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, Form->Table->mapToGlobal(at), button,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Form->Table, &release);
    }
    void Move(int x, int y) {
        const QPointF at(x, y);
        QMouseEvent move(QEvent::MouseMove, at, Form->Table->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Form->Table, &move);
    }
    // A click in the middle of a pile's place on the table.
    void ClickPile(int group, int pile, Qt::MouseButton button = Qt::LeftButton) {
        const TPileSpot& spot = Spot(group, pile);
        Release(spot.X + kCardWidth / 2, spot.Y + kCardHeight / 2, button);
    }
    const TPileSpot& Spot(int group, int pile) {
        for (const TPileSpot& spot : SpotsForKind(Game().GameKind)) {
            if (spot.Group == group && spot.Pile == pile) return spot;
        }
        qFatal("no spot for group %d pile %d", group, pile);
    }
    // Deals game number as Select Shuffle does, without questions.
    void Deal(TGameKind kind, uint32_t number) {
        Game().SetGameKind(kind);
        Game().RequestedNumber = number;
        Game().NewNumberWanted = false;
        Game().StartGame();
    }
};

}  // namespace trisk::test
