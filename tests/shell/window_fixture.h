// A main window for tests: every dialog answered by the test, the clock under
// the test's control, pointer events sent to the table as Qt delivers them,
// and the settings kept in a temporary folder.
#pragma once

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "menus/vomenus.h"
#include "shell/main_form.h"
#include "shell/options_form.h"
#include "shell/table_view.h"
#include "table/resource_module.h"
#include "table/spots.h"

namespace trisk::test {

// HOME and the XDG folders of every window test point into a temporary
// folder made before the first window, and so does QSettings: no test reads
// or writes the settings of the machine.
struct THomeFolder {
    QTemporaryDir Dir;
    THomeFolder() {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                 "XDG_DATA_DIRS", "XDG_CACHE_HOME"}) {
            qputenv(name, QFile::encodeName(Dir.filePath(name)));
        }
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Config());
    }
    QString Config() const { return Dir.filePath("XDG_CONFIG_HOME"); }
};
inline THomeFolder processHome;

// An empty settings store for one test; afterwards the process's own again.
struct TSettingsFolder {
    QTemporaryDir Dir;
    TSettingsFolder() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Dir.path());
    }
    ~TSettingsFolder() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, processHome.Config());
    }
    // The file the window reads and writes.
    QString File() const { return Dir.filePath("Vemodo/Solitaire Trisk.conf"); }
};

// Puts values into the settings store that the next start reads.
inline void StoreSettings(std::initializer_list<std::pair<const char*, qint64>> values) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Vemodo", "Solitaire Trisk");
    for (const auto& [key, value] : values)
        store.setValue(key, value);
}

// The dialogs of a test window: every question and message recorded, every
// answer taken from the test.
struct TFakeDialogs : TDialogs {
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
    int AboutShown = 0;
    QList<QUrl> Browsed;
    int ChooserShown = 0;
    // What the player does in the card-set chooser; true closes it with OK.
    // Unset: the chooser is cancelled.
    std::function<bool(TSelectCardSetsForm&)> ChooseCardSet;
    int OptionsShown = 0;
    std::function<bool(TOptionsForm&)> OptionsAnswer;  // none: Cancel

    bool AskQuestion(const QString& text) override {
        Questions << text;
        if (Answers.empty()) return false;
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void ShowMessage(const QString& text) override { Messages << text; }
    void ShowInformation(const QString& text) override { Messages << "information: " + text; }
    QString GetSaveFileName(const QString& proposed) override {
        ProposedNames << proposed;
        return SaveAnswer;
    }
    QString GetOpenFileName() override {
        ++OpenDialogs;
        return OpenAnswer;
    }
    bool ShowGameOver(bool won) override {
        GameOvers.push_back(won);
        return PlayAgain;
    }
    std::optional<QString> AskGameNumber(const QString& current) override {
        NumbersShown << current;
        return NumberAnswer;
    }
    void ShowAbout() override { ++AboutShown; }
    bool ShowCardSetChooser(TSelectCardSetsForm& chooser) override {
        ++ChooserShown;
        return ChooseCardSet && ChooseCardSet(chooser);
    }
    void OpenInBrowser(const QUrl& address) override { Browsed << address; }
    void ShowHelpContents() override { ++HelpShown; }
    int HelpShown = 0;
    bool ShowOptions(TOptionsForm& form) override {
        ++OptionsShown;
        return OptionsAnswer ? OptionsAnswer(form) : false;
    }
};

// A clock that stands still until the test moves it.
struct TFakeTicks : TTickSource {
    uint32_t Now = 0;
    uint32_t TickCount() override { return Now; }
};

struct TWindow {
    std::unique_ptr<TMainForm> Form = std::make_unique<TMainForm>();
    TFakeDialogs& Dialogs;
    TFakeTicks& Ticks;
    // Shorthands for what the tests read and answer most.
    QStringList& Questions;
    std::deque<bool>& Answers;
    QStringList& Messages;
    uint32_t& Now;

    TWindow()
        : Dialogs(Install<TFakeDialogs>([this](auto p) { Form->SetDialogs(std::move(p)); })),
          Ticks(Install<TFakeTicks>([this](auto p) { Form->SetTickSource(std::move(p)); })),
          Questions(Dialogs.Questions),
          Answers(Dialogs.Answers),
          Messages(Dialogs.Messages),
          Now(Ticks.Now) {
        // The menu painter is made at the program's start; here with the first window.
        if (!VoMenu) {
            InitializeMenusUnits();
            qAddPostRoutine(FinalizeMenusUnits);
        }
    }

    template <class T, class F>
    static T& Install(F install) {
        auto owned = std::make_unique<T>();
        T& fake = *owned;
        install(std::move(owned));
        return fake;
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

    TGame& Game() { return Form->Game(); }
    QString Panel(int index) const {
        return Form->findChild<QLabel*>(QString("StatusPanel%1").arg(index))->text();
    }

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
        for (const TPileSpot& spot : SpotsForKind(Game().GameKind())) {
            if (spot.Group == group && spot.Pile == pile) return spot;
        }
        qFatal("no spot for group %d pile %d", group, pile);
    }
    // Deals game number as Select Shuffle does, without questions.
    void Deal(TGameKind kind, uint32_t number) {
        Game().SetGameKind(kind);
        Game().DealGameNumber(kind, number);
    }
};

}  // namespace trisk::test
