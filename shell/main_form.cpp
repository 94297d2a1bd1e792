#include "shell/main_form.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStatusBar>
#include <QStyleOption>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cmath>

#include "shell/dialog_placement.h"
#include "shell/hint.h"
#include "shell/toolbar_hover.h"
#include "shell/window_pictures.h"
#include "table/resource_module.h"
#include "table/sound.h"
#include "table/status_panels.h"
#include "table/table_view.h"

namespace trisk {

namespace {

constexpr const char* kAppTitle = "Solitaire Trisk";
constexpr int kClientWidth = 684;
constexpr int kClientHeight = 597;
constexpr int kToolBarHeight = 34;
constexpr int kStatusBarHeight = 19;

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
    // Buttons start 2 pixels from the toolbar's edge, with no frame around it.
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_ToolBarItemMargin) return 2;
        if (metric == PM_ToolBarFrameWidth || metric == PM_ToolBarItemSpacing) return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
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

TMainForm::TMainForm(TServices services, QWidget* parent)
    : QMainWindow(parent),
      services_(std::move(services)),
      dialogs_(*services_.Dialogs),
      statistics_(*services_.Files, dialogs_, services_.StatisticsFile),
      game_({*this, dialogs_, *services_.Ticks, *services_.Files, &statistics_}) {
    setObjectName("MainForm");
    setWindowTitle(kAppTitle);
    // Every window of the program, dialogs included, uses the same face.
    QApplication::setFont(WindowFont());
    // The platform may give menus a face of their own; ours use the window's.
    QApplication::setFont(WindowFont(), "QMenuBar");
    QApplication::setFont(WindowFont(), "QMenu");
    setWindowIcon(QIcon(QPixmap::fromImage(TWindowPictures::Icon())));

    // The table fills the client area; the toolbar lies over its top edge.
    Table = new TTableView(game_, IList, this);
    setCentralWidget(Table);
    Table->setFocus();
    connect(Table, &TTableView::Painted, this, &TMainForm::TablePainted);
    connect(Table, &TTableView::Resized, this, &TMainForm::TableResized);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateTrayMenu();
    ConnectActions();
    CreateHint();
    CreateStatistics();
    CreateZoom();

    GameTimer = new QTimer(this);
    GameTimer->setObjectName("GameTimer");
    GameTimer->setInterval(1000);
    connect(GameTimer, &QTimer::timeout, this, &TMainForm::GameTimerTimer);
    // The pause after each card dealt from the stock.
    DealTimer = new QTimer(this);
    DealTimer->setObjectName("DealTimer");
    DealTimer->setSingleShot(true);
    connect(DealTimer, &QTimer::timeout, this, &TMainForm::DealTimerTimer);

    dialogs_.SetOwner(this);
    new TDialogPlacement(this);
    new TDesktopCentring(this);
    new TToolBarHoverReset(this, MainToolBar);

    SizeToClientArea();
}

void TMainForm::SizeToClientArea() {
    // The window is centred on the screen.
    ResizeToTable();
    if (const QScreen* screen = this->screen()) {
        const QRect desk = screen->availableGeometry();
        move(desk.center() - QPoint(width() / 2, height() / 2));
    }
}

void TMainForm::ResizeToTable() {
    // The client area (everything below the menu bar) is 684 x 597 at a zoom
    // of 1 and never gets smaller; a zoom scales the table above the status
    // bar. The menu bar's height is taken from the laid-out bar, which is what
    // the window shows (its size hint can differ before the menu painter is
    // attached).
    layout()->invalidate();
    layout()->activate();
    const int menuHeight = menuBar()->height();
    const double zoom = Table->Zoom();
    const int width = static_cast<int>(std::lround(kClientWidth * zoom));
    const int tableHeight =
        static_cast<int>(std::lround((kClientHeight - kStatusBarHeight) * zoom));
    setMinimumSize(kClientWidth, kClientHeight + menuHeight);
    resize(width, tableHeight + kStatusBarHeight + menuHeight);
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
    // The first button starts 2 pixels from the left edge: the toolbar's own
    // item margin is that indent.
    MainToolBar->setContentsMargins(0, 0, 0, 0);
    MainToolBar->layout()->setSpacing(0);
    const QImage sheet = TWindowPictures::ToolbarSheet();
    toolStyle_ = new TToolBarStyle;
    toolStyle_->setParent(this);
    MainToolBar->setStyle(toolStyle_);

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
    panels_ = std::make_unique<TStatusPanels>(StatusBar);
}

void TMainForm::ApplyKindChecks(TGameKind kind) {
    const bool diamond = kind == gkDiamond;
    DiamondItem->setChecked(diamond);
    TriskItem->menuAction()->setChecked(!diamond);
    TriskLiteItem->setChecked(kind == gkTriskLite);
    TriskClassicItem->setChecked(kind == gkTriskClassic);
    TriskStrongItem->setChecked(kind == gkTriskStrong);
}

void TMainForm::TableResized() {
    if (MainToolBar) MainToolBar->setGeometry(0, 0, Table->width(), kToolBarHeight);
}

}  // namespace trisk
