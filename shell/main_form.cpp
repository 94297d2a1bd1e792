#include "shell/main_form.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStatusBar>
#include <QStyleOption>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <ctime>

#include "engine/cards.h"
#include "shell/card_set_prefetch.h"
#include "shell/game_number_form.h"
#include "shell/status_form.h"
#include "shell/table_view.h"
#include "table/resource_module.h"
#include "table/sound.h"
#include "table/spots.h"

namespace trisk {

namespace {

constexpr const char* kAppTitle = "Solitaire Trisk";
constexpr int kClientWidth = 684;
constexpr int kClientHeight = 597;
constexpr int kToolBarHeight = 34;
constexpr int kStatusBarHeight = 19;
constexpr int kPanelWidths[5] = {120, 100, 70, 70, 50};

QString FromCore(const std::string& text) {
    return QString::fromStdString(text);
}
std::string PathForCore(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Tahoma 8 pt; where it is not installed, Wine's metric-compatible Tahoma, and
// failing that the desktop's sans-serif face at the same size.
QFont WindowFont() {
    if (!QFontDatabase::hasFamily("Tahoma")) {
        QFontDatabase::addApplicationFont("/usr/share/wine/fonts/tahoma.ttf");
    }
    QFont font;
    font.setFamilies({"Tahoma", "DejaVu Sans", "Sans Serif"});
    font.setPointSize(8);
    return font;
}

// Picture `picture` of the toolbar sheet: normal, disabled and hot.
QIcon ToolbarIcon(const QImage& sheet, int picture) {
    QIcon icon;
    const QIcon::Mode modes[3] = {QIcon::Normal, QIcon::Disabled, QIcon::Active};
    for (int row = 0; row < 3; ++row) {
        icon.addPixmap(QPixmap::fromImage(sheet.copy(picture * 24, row * 24, 24, 24)), modes[row]);
    }
    return icon;
}

// Toolbar buttons light up in the hot-track colour under the pointer. A style
// rather than a style sheet: style sheets cost start-up time.
class TToolBarStyle : public QProxyStyle {
  public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_PanelButtonTool) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const bool enabled = option->state & State_Enabled;
        const bool down = option->state & (State_Sunken | State_On);
        const bool hot = option->state & State_MouseOver;
        if (!enabled || (!down && !hot)) return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QColor(120, 170, 230));
        painter->setBrush(down ? QColor(150, 195, 245) : QColor(184, 219, 255));
        painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        painter->restore();
    }
};

}  // namespace

QString ProposedSaveName(TGameKind kind, const QDateTime& now, const QLocale& locale) {
    static const char* const kPrefixes[kGameKinds] = {"trisk_l", "trisk", "trisk_s", "diamond"};
    const char* prefix = IsValidGameKind(kind) ? kPrefixes[kind] : kPrefixes[gkTriskClassic];
    // The locale's long time format without its time-zone part, every time
    // separator outside quoted text turned into "-" so the name suits a file
    // system.
    const QString longFormat = locale.timeFormat(QLocale::LongFormat);
    QString format;
    bool quoted = false;
    for (const QChar c : longFormat) {
        if (c == '\'') quoted = !quoted;
        if (!quoted && c == 't') continue;
        format += !quoted && (c == ':' || c == '.') ? QChar('-') : c;
    }
    return QString("%1_%2_%3")
        .arg(prefix, now.date().toString("yyyy-MM-dd"), now.time().toString(format.trimmed()));
}

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MainForm");
    setWindowTitle(kAppTitle);
    // Every window of the program, dialogs included, uses the same face.
    QApplication::setFont(WindowFont());
    setWindowIcon(QIcon(":/pictures/icon.png"));

    // The table fills the client area; the toolbar lies over its top edge.
    Table = new TTableView(*this, this);
    setCentralWidget(Table);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();

    GameTimer = new QTimer(this);
    GameTimer->setObjectName("GameTimer");
    GameTimer->setInterval(1000);
    connect(GameTimer, &QTimer::timeout, this, [this] { Game.GameTimerTimer(); });

    // GetTickCount's counterpart: milliseconds of the monotonic clock, wrapping.
    TickSource = [] {
        QElapsedTimer clock;
        clock.start();
        return static_cast<uint32_t>(clock.msecsSinceReference());
    };

    Dialogs.AskQuestion = [this](const QString& text) {
        return QMessageBox::question(this, kAppTitle, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    };
    Dialogs.ShowMessage = [this](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, this);
        box.exec();
    };
    Dialogs.ShowInformation = [this](const QString& text) {
        QMessageBox box(QMessageBox::Information, kAppTitle, text, QMessageBox::Ok, this);
        box.exec();
    };
    Dialogs.GetSaveFileName = [this](const QString& proposedName) {
        QFileDialog dialog(this);
        dialog.setObjectName("sdFileSave");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter("Solitaire Trisk's files (*.kxr)");
        dialog.setDefaultSuffix("kxr");
        // The game asks before overwriting, with its own question.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.selectFile(proposedName);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().first()
                   : QString();
    };
    Dialogs.GetOpenFileName = [this] {
        QFileDialog dialog(this);
        dialog.setObjectName("odFileOpen");
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter("Saved games (*.kxr)");
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().first()
                   : QString();
    };
    Dialogs.ShowGameOver = [this](bool won) {
        TStatusForm dialog(this);
        dialog.ShowVerdict(won);
        return dialog.exec() == TStatusForm::ResultYes;
    };
    Dialogs.AskGameNumber = [this](const QString& current) -> std::optional<QString> {
        TGameNumberForm dialog(this);
        dialog.edGameNumber->setText(current);
        dialog.edGameNumber->selectAll();
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.edGameNumber->text();
    };

    // The client area (everything below the menu bar) starts at 684 x 597 and
    // never gets smaller; the window is centred on the screen.
    const int menuHeight = menuBar()->sizeHint().height();
    resize(kClientWidth, kClientHeight + menuHeight);
    setMinimumSize(kClientWidth, kClientHeight + menuHeight);
    if (const QScreen* screen = this->screen()) {
        const QRect desk = screen->availableGeometry();
        move(desk.center() - QPoint(width() / 2, height() / 2));
    }
}

TMainForm::~TMainForm() = default;

// ---- construction of the window ----

QAction* TMainForm::MakeAction(QAction*& member, const char* name, const char* category,
                               const char* caption, const QKeySequence& shortcut) {
    member = new QAction(caption, this);
    member->setObjectName(name);
    member->setProperty("category", category);
    member->setToolTip(caption);
    member->setShortcut(shortcut);
    member->setShortcutContext(Qt::WindowShortcut);
    addAction(member);
    return member;
}

void TMainForm::CreateActions() {
    MakeAction(aNewGame, "aNewGame", "aGame", "New Game", Qt::Key_F2);
    MakeAction(aGameNumber, "aGameNumber", "aGame", "Select Shuffle", Qt::Key_F3);
    MakeAction(aReplay, "aReplay", "aGame", "Restart Game", Qt::Key_F4);
    MakeAction(aUndo, "aUndo", "aGame", "Undo Move", QKeySequence(Qt::CTRL | Qt::Key_Z));
    MakeAction(aRedo, "aRedo", "aGame", "Redo Move", QKeySequence(Qt::CTRL | Qt::Key_R));
    MakeAction(aInsertBookmark, "aInsertBookmark", "aGame", "Insert Bookmark", Qt::Key_F6);
    MakeAction(aGoToBookmark, "aGoToBookmark", "aGame", "Go to Bookmark", Qt::Key_F7);
    MakeAction(aSaveGame, "aSaveGame", "aGame", "Save Game", QKeySequence(Qt::CTRL | Qt::Key_S));
    MakeAction(aLoadGame, "aLoadGame", "aGame", "Load Game", QKeySequence(Qt::CTRL | Qt::Key_O));
    MakeAction(aExit, "aExit", "aGame", "Exit", Qt::Key_F10);
    MakeAction(aDiamond, "aDiamond", "aPatience", "Diamond", {});
    MakeAction(aTriskLite, "aTriskLite", "aPatience", "Simplified", {});
    MakeAction(aTriskClassic, "aTriskClassic", "aPatience", "Classical", {});
    MakeAction(aTriskStrong, "aTriskStrong", "aPatience", "Complicated", {});
    MakeAction(aOptions, "aOptions", "aSettings", "Options", Qt::Key_F5);
    MakeAction(aSelectCardSet, "aSelectCardSet", "aSettings", "Select a Card Set", {});
    MakeAction(aShowToolbar, "aShowToolbar", "aSettings", "Show Toolbar", {});
    MakeAction(aShowStatusbar, "aShowStatusbar", "aSettings", "Show Status Bar", {});
    MakeAction(aContents, "aContents", "aHelp", "Contents", Qt::Key_F1);
    MakeAction(aHomepage, "aHomepage", "aHelp", "Visit Solitare Trisk's Web Site", {});
    MakeAction(aAbout, "aAbout", "aHelp", "About", {});
    MakeAction(aRestore, "aRestore", "", "Restore", {});

    // The history decides these three; a fresh game has nothing to undo.
    aUndo->setEnabled(false);
    aRedo->setEnabled(false);
    aGoToBookmark->setEnabled(false);

    connect(aNewGame, &QAction::triggered, this, &TMainForm::aNewGameExecute);
    connect(aGameNumber, &QAction::triggered, this, &TMainForm::aGameNumberExecute);
    connect(aReplay, &QAction::triggered, this, [this] { Game.RestartGame(); });
    connect(aUndo, &QAction::triggered, this, [this] { Game.UndoMove(); });
    connect(aRedo, &QAction::triggered, this, [this] { Game.RedoMove(); });
    connect(aInsertBookmark, &QAction::triggered, this, [this] { Game.InsertBookmark(); });
    connect(aGoToBookmark, &QAction::triggered, this, [this] { Game.GoToBookmark(); });
    connect(aSaveGame, &QAction::triggered, this, &TMainForm::aSaveGameExecute);
    connect(aLoadGame, &QAction::triggered, this, &TMainForm::aLoadGameExecute);
    connect(aExit, &QAction::triggered, this, &TMainForm::aExitExecute);
    connect(aDiamond, &QAction::triggered, this, [this] { SwitchKind(gkDiamond); });
    connect(aTriskLite, &QAction::triggered, this, [this] { SwitchKind(gkTriskLite); });
    connect(aTriskClassic, &QAction::triggered, this, [this] { SwitchKind(gkTriskClassic); });
    connect(aTriskStrong, &QAction::triggered, this, [this] { SwitchKind(gkTriskStrong); });
    connect(aShowToolbar, &QAction::triggered, this, &TMainForm::aShowToolbarExecute);
    connect(aShowStatusbar, &QAction::triggered, this, &TMainForm::aShowStatusbarExecute);
    // Options, the card-set chooser, help, the home page, About and the tray's
    // Restore are bound and presented here; their behaviour comes with their
    // own dialogs.
}

// A menu item is its own QAction, named as the item, bound to the command:
// it mirrors the command's caption, shortcut text and enabled state, and
// choosing it runs the command. Check marks are set by the commands alone.
QAction* TMainForm::AddMenuItem(QMenu* menu, QAction* action, const char* name, bool checkable) {
    auto* item = new QAction(menu);
    item->setObjectName(name);
    item->setCheckable(checkable);
    auto mirror = [item, action] {
        QString text = action->text();
        if (!action->shortcut().isEmpty()) {
            text += '\t' + action->shortcut().toString(QKeySequence::NativeText);
        }
        item->setText(text);
        item->setToolTip(action->toolTip());
        item->setEnabled(action->isEnabled());
    };
    mirror();
    connect(action, &QAction::changed, item, mirror);
    connect(item, &QAction::triggered, action, [item, action] {
        // Undo Qt's own toggle: the command decides the check mark.
        if (item->isCheckable()) item->setChecked(!item->isChecked());
        action->trigger();
    });
    menu->addAction(item);
    return item;
}

void TMainForm::CreateMenus() {
    menuBar()->setObjectName("MainMenu");
    menuBar()->setNativeMenuBar(false);
    auto topMenu = [this](QMenu*& member, const char* name, const char* caption) {
        member = menuBar()->addMenu(caption);
        member->setObjectName(name);
        member->menuAction()->setToolTip(caption);
        member->setToolTipsVisible(false);
    };

    topMenu(GameItem, "GameItem", "Game");
    AddMenuItem(GameItem, aNewGame, "NewGameItem");
    AddMenuItem(GameItem, aGameNumber, "GameNumberItem");
    GameItem->addSeparator()->setObjectName("N1");
    AddMenuItem(GameItem, aReplay, "ReplayItem");
    AddMenuItem(GameItem, aUndo, "UndoItem");
    AddMenuItem(GameItem, aRedo, "RedoItem");
    AddMenuItem(GameItem, aInsertBookmark, "InsertBookmarkItem");
    AddMenuItem(GameItem, aGoToBookmark, "GoToBookmarkItem");
    GameItem->addSeparator()->setObjectName("N3");
    AddMenuItem(GameItem, aSaveGame, "SaveGameItem");
    AddMenuItem(GameItem, aLoadGame, "LoadGameItem");
    GameItem->addSeparator()->setObjectName("N2");
    AddMenuItem(GameItem, aExit, "ExitItem");

    topMenu(PatienceItem, "PatienceItem", "Solitaire");
    DiamondItem = AddMenuItem(PatienceItem, aDiamond, "DiamondItem", true);
    TriskItem = PatienceItem->addMenu("Napoleon's Tomb");
    TriskItem->setObjectName("TriskItem");
    TriskItem->menuAction()->setToolTip("Napoleon's Tomb");
    TriskItem->menuAction()->setCheckable(true);
    TriskLiteItem = AddMenuItem(TriskItem, aTriskLite, "TriskLiteItem", true);
    TriskClassicItem = AddMenuItem(TriskItem, aTriskClassic, "TriskClassicItem", true);
    TriskStrongItem = AddMenuItem(TriskItem, aTriskStrong, "TriskStrongItem", true);
    // Two radio groups: Diamond or Napoleon's Tomb, and the Tomb's variant,
    // which has none checked while Diamond is the game.
    kindGroup_ = new QActionGroup(this);
    kindGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    kindGroup_->addAction(DiamondItem);
    kindGroup_->addAction(TriskItem->menuAction());
    variantGroup_ = new QActionGroup(this);
    variantGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* item : {TriskLiteItem, TriskClassicItem, TriskStrongItem}) {
        variantGroup_->addAction(item);
    }

    topMenu(PreferencesItem, "PreferencesItem", "Preferences");
    AddMenuItem(PreferencesItem, aOptions, "ParametrsItem");
    AddMenuItem(PreferencesItem, aSelectCardSet, "SelectaCardSet1");
    ToolbarItem = AddMenuItem(PreferencesItem, aShowToolbar, "ToolbarItem", true);
    StatusbarItem = AddMenuItem(PreferencesItem, aShowStatusbar, "StatusbarItem", true);
    ToolbarItem->setChecked(true);
    StatusbarItem->setChecked(true);

    topMenu(HelpItem, "HelpItem", "Help");
    AddMenuItem(HelpItem, aContents, "IndexItem");
    AddMenuItem(HelpItem, aHomepage, "HomepageItem");
    AddMenuItem(HelpItem, aAbout, "AboutItem");
}

QToolButton* TMainForm::AddToolButton(QAction* action, const char* name, int picture,
                                      const QImage& sheet) {
    auto* button = new QToolButton(MainToolBar);
    button->setObjectName(name);
    button->setFixedSize(32, 32);
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    button->setStyle(toolStyle_);
    button->setFocusPolicy(Qt::NoFocus);
    // The button shows the command's own picture in its three states.
    action->setIcon(ToolbarIcon(sheet, picture));
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    MainToolBar->addWidget(button);
    return button;
}

void TMainForm::AddToolSeparator(const char* name) {
    auto* separator = new QFrame(MainToolBar);
    separator->setObjectName(name);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setFixedSize(8, 24);
    MainToolBar->addWidget(separator);
}

void TMainForm::CreateToolBar() {
    // The toolbar lies over the top of the table instead of taking space from
    // it, so the table keeps its coordinates whether the toolbar shows or not.
    MainToolBar = new QToolBar(Table);
    MainToolBar->setObjectName("MainToolBar");
    MainToolBar->setMovable(false);
    MainToolBar->setFloatable(false);
    MainToolBar->setIconSize(QSize(24, 24));
    MainToolBar->setContentsMargins(2, 0, 0, 0);
    MainToolBar->layout()->setSpacing(0);
    const QImage sheet(":/pictures/toolbar.png");
    toolStyle_ = new TToolBarStyle;
    toolStyle_->setParent(this);

    AddToolButton(aNewGame, "tbNewGame", 0, sheet);
    AddToolButton(aGameNumber, "tbGameNumber", 1, sheet);
    AddToolSeparator("ToolButton1");
    AddToolButton(aReplay, "tbReplay", 2, sheet);
    AddToolButton(aUndo, "tbUndo", 3, sheet);
    AddToolButton(aRedo, "tbRedo", 4, sheet);
    AddToolButton(aInsertBookmark, "tbInsertBookmark", 5, sheet);
    AddToolButton(aGoToBookmark, "tbGoToBookmark", 6, sheet);
    AddToolSeparator("ToolButton2");
    AddToolButton(aLoadGame, "tbLoadGame", 7, sheet);
    AddToolButton(aSaveGame, "tbSaveGame", 8, sheet);
    AddToolSeparator("ToolButton3");
    AddToolButton(aOptions, "tbParametrs", 9, sheet);
    AddToolButton(aExit, "tbExit", 10, sheet);
    TableResized();
}

void TMainForm::CreateStatusBar() {
    StatusBar = statusBar();
    StatusBar->setObjectName("StatusBar");
    StatusBar->setFixedHeight(kStatusBarHeight);
    StatusBar->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QString("StatusPanel%1").arg(i));
        panel->setFixedWidth(kPanelWidths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(2, 0, 2, 0);
        panel->setAlignment((i == 3 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
        StatusBar->addWidget(panel);
        StatusPanels[i] = panel;
    }
}

// ---- start-up and tear-down ----

bool TMainForm::FormCreate(const QStringList& arguments, const QString& libraryPath) {
    return FormCreate(arguments,
                      TCardSetPrefetch::Now(libraryPath, CardSetSheetName(Game.Settings.CardSet)));
}

bool TMainForm::FormCreate(const QStringList& arguments, TCardSetPrefetch cardSet) {
    TPreparedCardSet prepared = cardSet.Take();
    CardSetLibrary = std::move(prepared.Library);
    if (!CardSetLibrary) {
        Dialogs.ShowMessage("Unable to open cardset.dll.");
        return false;
    }
    ProgramRandom().Seed(static_cast<uint32_t>(std::time(nullptr)));
    Game.History.resize(1);
    Game.NewNumberWanted = true;
    GameTimer->start();

    // Settings keep their defaults until the settings store exists: toolbar
    // and status bar shown, the kind from GameId, the card set from CardSet.
    ToolbarItem->setChecked(true);
    MainToolBar->setVisible(ToolbarItem->isChecked());
    StatusbarItem->setChecked(true);
    StatusBar->setVisible(StatusbarItem->isChecked());
    const int32_t gameId = Game.Settings.GameId;
    Game.SetGameKind(IsValidGameKind(gameId) ? static_cast<TGameKind>(gameId) : gkTriskClassic);
    const QString sheetName = CardSetSheetName(Game.Settings.CardSet);
    if (prepared.SheetName == sheetName) {
        IList = std::move(prepared.Images);
        for (const QString& text : prepared.Messages)
            Dialogs.ShowMessage(text);
    } else {
        LoadCardSet(IList, *CardSetLibrary, sheetName,
                    [this](const QString& text) { Dialogs.ShowMessage(text); });
    }
    Sound = std::make_unique<TSoundPlayer>(CardSetLibrary.get(), this);

    if (!arguments.isEmpty()) {
        Game.CommandLineMark = true;
        Game.LoadGameFromFile(PathForCore(arguments.first()));
    } else {
        Game.StartGame();
        Game.SelGroup = -1;
    }
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // A close request in the middle of a deal is carried out once the deal
    // is over.
    if (dealing_) {
        event->ignore();
        QTimer::singleShot(10, this, &QWidget::close);
        return;
    }
    GameTimer->stop();
    if (Sound) Sound->Stop();
    event->accept();
}

// ---- commands ----

void TMainForm::aNewGameExecute() {
    Game.NewGame();
}

void TMainForm::aGameNumberExecute() {
    const std::optional<QString> text =
        Dialogs.AskGameNumber(QString::number(Game.Board.Deck.GameNumber));
    if (text) {
        Game.SelectShuffle(text->toStdString());
    } else {
        Game.SelectShuffle(std::nullopt);
    }
}

void TMainForm::aSaveGameExecute() {
    const QString path = Dialogs.GetSaveFileName(
        ProposedSaveName(Game.GameKind, QDateTime::currentDateTime(), QLocale()));
    if (path.isEmpty()) return;
    Game.SaveGameToFile(PathForCore(path));
}

void TMainForm::aLoadGameExecute() {
    const QString path = Dialogs.GetOpenFileName();
    if (path.isEmpty()) return;
    Game.LoadGameFromFile(PathForCore(path));
}

void TMainForm::aExitExecute() {
    close();
}

void TMainForm::SwitchKind(TGameKind kind) {
    Game.SwitchGameKind(kind);
    // A declined switch leaves the checks of the game still on the table.
    ApplyKindChecks(shownKind_);
}

void TMainForm::aShowToolbarExecute() {
    ToolbarItem->setChecked(!ToolbarItem->isChecked());
    MainToolBar->setVisible(ToolbarItem->isChecked());
}

void TMainForm::aShowStatusbarExecute() {
    StatusbarItem->setChecked(!StatusbarItem->isChecked());
    StatusBar->setVisible(StatusbarItem->isChecked());
}

void TMainForm::ApplyKindChecks(TGameKind kind) {
    const bool diamond = kind == gkDiamond;
    DiamondItem->setChecked(diamond);
    TriskItem->menuAction()->setChecked(!diamond);
    TriskLiteItem->setChecked(kind == gkTriskLite);
    TriskClassicItem->setChecked(kind == gkTriskClassic);
    TriskStrongItem->setChecked(kind == gkTriskStrong);
}

// ---- painting and the pointer ----

void TMainForm::DrawSpot(QPainter& painter, int x, int y, int imageIndex) {
    // An image the list lacks (a card set that failed to load) draws nothing.
    if (IList.Has(imageIndex)) painter.drawImage(x, y, IList.Image(imageIndex));
    if (Game.Highlighted && x == Game.HighlightX && y == Game.HighlightY &&
        IList.Has(imgCardMask)) {
        painter.drawImage(x, y, IList.Image(imgCardMask));
    }
}

void TMainForm::FormPaint(QPainter& painter) {
    for (const TPileSpot& spot : SpotsForKind(Game.GameKind)) {
        DrawSpot(painter, spot.X, spot.Y, Game.SpotImageIndex(spot.Group, spot.Pile));
    }
    DrawSpot(painter, StockSpot.X, StockSpot.Y, Game.StockImageIndex());
}

void TMainForm::TablePainted() {
    if (firstPaintDone_) return;
    firstPaintDone_ = true;
    if (ExitAfterFirstPaint) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void TMainForm::FormMouseUp(Qt::MouseButton button, int x, int y) {
    switch (button) {
        case Qt::LeftButton:
            Game.FormMouseUp(TMouseButton::Left, x, y);
            break;
        case Qt::MiddleButton:
            Game.FormMouseUp(TMouseButton::Middle, x, y);
            break;
        case Qt::RightButton:
            Game.FormMouseUp(TMouseButton::Right, x, y);
            break;
        default:
            break;
    }
}

void TMainForm::FormMouseMove(int x, int y) {
    Game.FormMouseMove(x, y);
}

void TMainForm::TableResized() {
    if (MainToolBar) MainToolBar->setGeometry(0, 0, Table->width(), kToolBarHeight);
}

// ---- TGameHost ----

void TMainForm::ShowMessage(const std::string& text, TMessageKind kind) {
    if (kind == TMessageKind::Information) {
        Dialogs.ShowInformation(FromCore(text));
        return;
    }
    Dialogs.ShowMessage(FromCore(text));
}

bool TMainForm::AskQuestion(const std::string& text) {
    return Dialogs.AskQuestion(FromCore(text));
}

void TMainForm::PlaySound(const char* name) {
    if (Sound) Sound->PlayCardSetSound(QString::fromLatin1(name), Game.Settings.EnableSound);
}

void TMainForm::InvalidateTable() {
    Table->update();
}

void TMainForm::PaintTable() {
    Table->repaint();
    SetStatusText(1, Game.MovesText());
}

void TMainForm::SetTitle(const std::string& title) {
    setWindowTitle(FromCore(title));
}

void TMainForm::SetStatusText(int panel, const std::string& text) {
    if (panel >= 0 && panel < 5) StatusPanels[panel]->setText(FromCore(text));
}

void TMainForm::SetCursor(TCursor cursor) {
    Table->setCursor(cursor == TCursor::Hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TMainForm::ShowGameKind(TGameKind kind) {
    shownKind_ = kind;
    ApplyKindChecks(kind);
}

void TMainForm::ActionEnabledChanged(TGameAction action, bool enabled) {
    switch (action) {
        case TGameAction::Undo:
            aUndo->setEnabled(enabled);
            break;
        case TGameAction::Redo:
            aRedo->setEnabled(enabled);
            break;
        case TGameAction::GoToBookmark:
            aGoToBookmark->setEnabled(enabled);
            break;
    }
}

void TMainForm::DealPause(unsigned milliseconds) {
    // The card just dealt is on screen already (PaintTable repaints at once).
    // Wait without taking pointer or key input: it stays queued and acts once
    // the deal is over, while timers and paint requests go on.
    dealing_ = true;
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(milliseconds), &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    dealing_ = false;
}

uint32_t TMainForm::TickCount() {
    return TickSource();
}

void TMainForm::StartGameTimer() {
    if (!GameTimer->isActive()) GameTimer->start();
}

void TMainForm::StopGameTimer() {
    GameTimer->stop();
}

bool TMainForm::ShowGameOver(bool won) {
    return Dialogs.ShowGameOver(won);
}

}  // namespace trisk
