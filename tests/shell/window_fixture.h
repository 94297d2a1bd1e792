// A main window for tests: every dialog answered by the test, the clock under
// the test's control, pointer events sent to the table as Qt delivers them,
// and the settings kept in a temporary folder.
#pragma once

#include <QAction>
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
#include "shell/services.h"
#include "table/pointer.h"
#include "table/resource_module.h"
#include "table/spots.h"
#include "table/table_view.h"

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
// A part of the window by its object name; the test ends when there is none.
template <class T>
T* Named(const QObject* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return child;
}

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

    void SetOwner(QWidget*) override {}
    bool AskQuestion(const std::string& question) override {
        const QString text = QString::fromStdString(question);
        Questions << text;
        if (Answers.empty()) return false;
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void ShowMessage(const std::string& text, TMessageKind kind) override {
        Messages << (kind == TMessageKind::Information ? "information: " : "") +
                        QString::fromStdString(text);
    }
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

// A window whose dialogs and clock are the test's; adjust may put fakes of
// its own into the rest of the services before the window is made.
struct TWindow {
  private:
    std::unique_ptr<TFakeDialogs> dialogs_ = std::make_unique<TFakeDialogs>();
    std::unique_ptr<TFakeTicks> ticks_ = std::make_unique<TFakeTicks>();

  public:
    TFakeDialogs& Dialogs = *dialogs_;
    TFakeTicks& Ticks = *ticks_;
    std::unique_ptr<TMainForm> Form;
    // Shorthands for what the tests read and answer most.
    QStringList& Questions = Dialogs.Questions;
    std::deque<bool>& Answers = Dialogs.Answers;
    QStringList& Messages = Dialogs.Messages;
    uint32_t& Now = Ticks.Now;

    explicit TWindow(const std::function<void(TServices&)>& adjust = {}) {
        TServices services = TServices::Platform();
        services.Dialogs = std::move(dialogs_);
        services.Ticks = std::move(ticks_);
        if (adjust) adjust(services);
        Form = std::make_unique<TMainForm>(std::move(services));
        // The menu painter is made at the program's start; here with the first window.
        if (!VoMenu) {
            InitializeMenusUnits();
            qAddPostRoutine(FinalizeMenusUnits);
        }
    }

    // Parts of the window by their object names.
    TTableView* Table() const { return Named<TTableView>(Form.get(), "Table"); }
    QAction* Action(const char* name) const { return Named<QAction>(Form.get(), name); }

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
        TTableView* table = Table();
        QMouseEvent press(QEvent::MouseButtonPress, at, table->mapToGlobal(at), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(table, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, table->mapToGlobal(at), button,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(table, &release);
        // A click on the stock deals card by card: the test goes on once the
        // deal is over, as a player's next click would.
        WaitForTheDeal();
    }
    void WaitForTheDeal() { QTRY_VERIFY_WITH_TIMEOUT(!Game().Dealing(), 5000); }
    void Move(int x, int y) {
        const QPointF at(x, y);
        TTableView* table = Table();
        QMouseEvent move(QEvent::MouseMove, at, table->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(table, &move);
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
