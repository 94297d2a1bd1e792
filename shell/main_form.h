// TMainForm: the program's one window. It owns the game in play, the card
// images, the card-set library and the sound player, turns Qt events into
// calls on the game and mirrors the game into its actions, title, status
// panels and painting. No rule of the game lives here.
#pragma once

#include <QDateTime>
#include <QImage>
#include <QKeySequence>
#include <QLocale>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

#include "engine/game.h"
#include "engine/host.h"
#include "table/card_images.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPainter;
class QStatusBar;
class QStyle;
class QTimer;
class QToolBar;
class QToolButton;

namespace trisk {

class TCardSetPrefetch;
class TResourceModule;
class TSoundPlayer;
class TTableView;

// Every modal step of the window goes through one of these, so that tests can
// answer them without entering a modal loop. The defaults show real dialogs.
struct TShellDialogs {
    // Yes/No question captioned "Solitaire Trisk"; true only for Yes.
    std::function<bool(const QString& text)> AskQuestion;
    // A plain message with an OK button.
    std::function<void(const QString& text)> ShowMessage;
    // The same with the information icon: the internal-fault messages.
    std::function<void(const QString& text)> ShowInformation;
    // The save dialog with the proposed name; an empty result means cancelled.
    std::function<QString(const QString& proposedName)> GetSaveFileName;
    // The open dialog; an empty result means cancelled.
    std::function<QString()> GetOpenFileName;
    // The game-over dialog; true for Yes (play again).
    std::function<bool(bool won)> ShowGameOver;
    // The "Select shuffle" dialog filled with the current number; the edit
    // text when closed with OK, nothing otherwise.
    std::function<std::optional<QString>(const QString& current)> AskGameNumber;
};

// The proposed name of a saved game: the kind's prefix, the date and the
// time of day in the locale's long time format with "-" as separator.
QString ProposedSaveName(TGameKind kind, const QDateTime& now, const QLocale& locale);

class TMainForm : public QMainWindow, public TGameHost {
    Q_OBJECT
  public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The start-up sequence. False when the card-set library cannot be opened:
    // the message has been shown and the program should end. arguments are the
    // command-line arguments after the program's name.
    bool FormCreate(const QStringList& arguments, const QString& libraryPath);
    // The same, with the library and the card set already being prepared.
    bool FormCreate(const QStringList& arguments, TCardSetPrefetch cardSet);

    // The game in play, with its whole state.
    TGame Game{*this};
    TShellDialogs Dialogs;
    // Milliseconds of a monotonic clock, wrapping at 2^32; replaceable in tests.
    std::function<uint32_t()> TickSource;
    // Ends the program after the first painted table (start-up benchmark).
    bool ExitAfterFirstPaint = false;

    const TCardImages& Images() const { return IList; }

    // ---- TGameHost ----
    void ShowMessage(const std::string& text, TMessageKind kind) override;
    bool AskQuestion(const std::string& text) override;
    void PlaySound(const char* name) override;
    void InvalidateTable() override;
    void PaintTable() override;
    void SetTitle(const std::string& title) override;
    void SetStatusText(int panel, const std::string& text) override;
    void SetCursor(TCursor cursor) override;
    void ShowGameKind(TGameKind kind) override;
    void ActionEnabledChanged(TGameAction action, bool enabled) override;
    void DealPause(unsigned milliseconds) override;
    uint32_t TickCount() override;
    void StartGameTimer() override;
    void StopGameTimer() override;
    bool ShowGameOver(bool won) override;

    // ---- the table view's events ----
    void FormPaint(QPainter& painter);
    void FormMouseUp(Qt::MouseButton button, int x, int y);
    void FormMouseMove(int x, int y);
    void TableResized();
    void TablePainted();

    // ---- actions (commands) ----
    QAction* aNewGame;
    QAction* aGameNumber;
    QAction* aReplay;
    QAction* aUndo;
    QAction* aRedo;
    QAction* aInsertBookmark;
    QAction* aGoToBookmark;
    QAction* aSaveGame;
    QAction* aLoadGame;
    QAction* aExit;
    QAction* aDiamond;
    QAction* aTriskLite;
    QAction* aTriskClassic;
    QAction* aTriskStrong;
    QAction* aOptions;
    QAction* aSelectCardSet;
    QAction* aShowToolbar;
    QAction* aShowStatusbar;
    QAction* aContents;
    QAction* aHomepage;
    QAction* aAbout;
    QAction* aRestore;

    // ---- menus and their items ----
    QMenu* GameItem;
    QMenu* PatienceItem;
    QMenu* TriskItem;
    QMenu* PreferencesItem;
    QMenu* HelpItem;
    QAction* DiamondItem;
    QAction* TriskLiteItem;
    QAction* TriskClassicItem;
    QAction* TriskStrongItem;
    QAction* ToolbarItem;
    QAction* StatusbarItem;

    // ---- the rest of the window ----
    TTableView* Table = nullptr;
    QToolBar* MainToolBar = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusPanels[5] = {};
    QTimer* GameTimer = nullptr;

  private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    QAction* MakeAction(QAction*& member, const char* name, const char* category,
                        const char* caption, const QKeySequence& shortcut);
    QAction* AddMenuItem(QMenu* menu, QAction* action, const char* name, bool checkable = false);
    QToolButton* AddToolButton(QAction* action, const char* name, int picture, const QImage& sheet);
    void AddToolSeparator(const char* name);
    void ApplyKindChecks(TGameKind kind);
    void DrawSpot(QPainter& painter, int x, int y, int imageIndex);

    void aNewGameExecute();
    void aGameNumberExecute();
    void aSaveGameExecute();
    void aLoadGameExecute();
    void aExitExecute();
    void SwitchKind(TGameKind kind);
    void aShowToolbarExecute();
    void aShowStatusbarExecute();

    TCardImages IList;
    std::unique_ptr<TResourceModule> CardSetLibrary;
    std::unique_ptr<TSoundPlayer> Sound;
    QActionGroup* kindGroup_ = nullptr;
    QActionGroup* variantGroup_ = nullptr;
    QStyle* toolStyle_ = nullptr;
    TGameKind shownKind_ = gkTriskClassic;
    bool dealing_ = false;
    bool firstPaintDone_ = false;

  protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace trisk
