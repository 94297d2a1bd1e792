// TMainForm: the program's one window. It owns the game in play, the card
// images, the card-set library and the sound player, turns Qt events into
// calls on the game and mirrors the game into its actions, title, status
// panels and painting. No rule of the game lives here. Its code is split by
// duty: main_form.cpp builds the window, main_form_host.cpp answers the game
// (TGameHost), main_form_startup.cpp starts and ends the run,
// main_form_commands.cpp carries the commands and the table's events,
// main_form_settings.cpp reads, edits (Options) and stores the preferences,
// main_form_window.cpp minimises, restores, uses the tray and asks the exit
// question, main_form_help.cpp shows help, About and the home page,
// main_form_card_set.cpp the card-set chooser, main_form_hint.cpp the hint
// and main_form_zoom.cpp the table's zoom.
// Everything outside the game comes in through the services (services.h).
// Tests reach the window's parts by their object names (findChild).
#pragma once

#include <QDateTime>
#include <QKeySequence>
#include <QLocale>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <memory>

#include "history/game.h"
#include "history/host.h"
#include "history/statistics.h"
#include "shell/input_hold.h"
#include "shell/services.h"
#include "table/card_images.h"

class QAction;
class QActionGroup;
class QImage;
class QMenu;
class QPainter;
class QStatusBar;
class QStyle;
class QTimer;
class QToolBar;
class QToolButton;

namespace trisk {

class TCardSetPrefetch;
class TOptionsForm;
class TResourceModule;
class TSelectCardSetsForm;
class TStatusPanels;
class TTableView;
class THint;
class TStatisticsForm;

// The proposed name of a saved game: the kind's prefix, the date and the
// time of day in the locale's long time format with "-" as separator.
QString ProposedSaveName(TGameKind kind, const QDateTime& now, const QLocale& locale);

class TMainForm : public QMainWindow, private TGameHost {
    Q_OBJECT
  public:
    explicit TMainForm(TServices services = TServices::Platform(), QWidget* parent = nullptr);
    ~TMainForm() override;

    // The start-up sequence. False when the card-set library cannot be opened:
    // the message has been shown and the program should end. arguments are the
    // command-line arguments after the program's name.
    bool FormCreate(const QStringList& arguments, const QString& libraryPath);
    // The same, with the library and the card set already being prepared.
    bool FormCreate(const QStringList& arguments, TCardSetPrefetch cardSet);

    // The game in play, with its whole state.
    TGame& Game() { return game_; }
    const TGame& Game() const { return game_; }
    const TCardImages& Images() const { return IList; }
    // Ends the program after the first painted table (start-up benchmark).
    void SetExitAfterFirstPaint(bool exit) { exitAfterFirstPaint_ = exit; }
    QString StatusText(TStatusPanel panel) const;
    TTrayIcon* TrayIcon() { return services_.TrayIcon.get(); }
    // The hint on the H key (main_form_hint.cpp).
    THint& Hint() { return *hint_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
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
    QTimer* GameTimer = nullptr;
    // The card-set chooser, created once at start-up and reused.
    TSelectCardSetsForm* SelectCardSetsForm = nullptr;
    // Options (made when first asked for) and the tray menu.
    TOptionsForm* OptionsForm = nullptr;
    QMenu* pmTray = nullptr;
    QAction* pmRestore = nullptr;
    QAction* pmExitItem = nullptr;

    // ---- building the window (main_form.cpp) ----
    void CreateActions();
    void ConnectActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    QAction* MakeAction(QAction*& member, const char* name, const char* category,
                        const char* caption, const QKeySequence& shortcut);
    QAction* AddMenuItem(QMenu* menu, QAction* action, const char* name, bool checkable = false);
    QToolButton* AddToolButton(QAction* action, const char* name, int picture, const QImage& sheet);
    void AddToolSeparator(const char* name);
    void ApplyKindChecks(TGameKind kind);
    // Sizes the window to its client area below the menu bar as it is now,
    // and centres it.
    void SizeToClientArea();
    // Sizes the client area to the table at its zoom, in place.
    void ResizeToTable();

    // ---- TGameHost (main_form_host.cpp) ----
    void PlaySound(const char* name) override;
    void InvalidateTable() override;
    void PaintTable() override;
    void ShowTitle(TGameKind kind) override;
    void ShowGameNumber(uint32_t number) override;
    void ShowMoves(int32_t moveIndex, int32_t actionCount) override;
    void ClearClock() override;
    void SetStatusText(TStatusPanel panel, const std::string& text) override;
    void SetCursor(TCursor cursor) override;
    void ShowGameKind(TGameKind kind) override;
    void ActionEnabledChanged(TGameAction action, bool enabled) override;
    bool DealPause(unsigned milliseconds) override;
    void StartGameTimer() override;
    void StopGameTimer() override;
    // The pause after a dealt card is over.
    void DealTimerTimer();
    // The table has been painted (the first time: the start-up's last steps).
    void TablePainted();
    void TableResized();

    // ---- commands (main_form_commands.cpp) ----
    void aNewGameExecute();
    void aGameNumberExecute();
    void aSaveGameExecute();
    void aLoadGameExecute();
    void aExitExecute();
    void SwitchKind(TGameKind kind);
    void aShowToolbarExecute();
    void aShowStatusbarExecute();
    void GameTimerTimer();
    // ---- help, About and the home page (main_form_help.cpp) ----
    void aContentsExecute();
    void aAboutExecute();
    void aHomepageExecute();
    // ---- the card-set chooser (main_form_card_set.cpp) ----
    void CreateCardSetChooser();
    void aSelectCardSetExecute();

    // ---- start-up and tear-down (main_form_startup.cpp) ----
    void SetUpAssociationAtStart();

    // ---- the hint (main_form_hint.cpp) ----
    void CreateHint();
    // ---- the statistics on F8 (main_form_statistics.cpp) ----
    void CreateStatistics();
    void ShowStatistics();

    // ---- the table's zoom (main_form_zoom.cpp) ----
    void CreateZoom();
    int ZoomPercent() const;
    // The stored zoom, read at start-up.
    void ReadZoom();
    void SetZoomPercent(int percent);

    // ---- settings and Options (main_form_settings.cpp) ----
    void ReadSettings();
    void aOptionsExecute();
    void FormClose();

    // ---- minimising, the tray and the exit question (main_form_window.cpp) ----
    enum class TWindowPlace { Normal, Taskbar, Tray };
    void CreateTrayMenu();
    void CreateTrayIcon();
    bool TrayUsable() const;
    void AppEventsMinimize();
    void AppEventsRestore();
    void RestoreFromTray();
    void aRestoreExecute();
    bool FormCloseQuery();
    void FormKeyDown(int key);

    TServices services_;
    TDialogs& dialogs_;
    // Before game_, which tells it of every game begun, won and lost.
    TStatisticsKeeper statistics_;
    TStatisticsForm* statisticsForm_ = nullptr;
    TGame game_;
    TCardImages IList;
    std::unique_ptr<TResourceModule> CardSetLibrary;
    std::unique_ptr<TStatusPanels> panels_;
    // True from reading the settings at start-up until the close releases the store.
    bool settingsOpen_ = false;
    // Pointer and key input wait here while the stock deals.
    TInputHold inputHold_;
    QTimer* DealTimer = nullptr;
    // After game_: its search is stopped before the game goes.
    std::unique_ptr<THint> hint_;
    TWindowPlace place_ = TWindowPlace::Normal;
    QActionGroup* kindGroup_ = nullptr;
    QActionGroup* variantGroup_ = nullptr;
    QStyle* toolStyle_ = nullptr;
    TGameKind shownKind_ = gkTriskClassic;
    bool firstPaintDone_ = false;
    bool exitAfterFirstPaint_ = false;
};

}  // namespace trisk
