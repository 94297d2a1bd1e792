// Vomenus: the owner-drawn menu painter TVoMenu.
//
// Qt has no owner-draw events, so the measure and draw events of an
// owner-drawn menu are the two halves of one QProxyStyle over Fusion that
// TVoMenu owns and sets on the menu widgets it is attached to:
//   measure event  = sizeFromContents(CT_MenuItem / CT_MenuBarItem)
//   draw event     = drawControl(CE_MenuItem / CE_MenuBarItem)
// The item states the painter reads come from the QStyleOptionMenuItem:
//   selected  = State_Selected (for a menu-bar item: State_Selected together
//               with State_Sunken, i.e. its drop-down menu is open)
//   hot-light = a menu-bar item with State_Selected but not State_Sunken
//               (pointed at, or current in keyboard mode, menu not open)
//   disabled  = no State_Enabled
//   checked   = a checkable item (checkType not NotCheckable) that is checked;
//               radio items (Exclusive) are drawn the same way
//   default   = menuItemType DefaultItem (QMenu::setDefaultAction)
// Caption is the option's text before a tab, ShortCut the text after it (what
// QMenu puts there from the action's shortcut). Images: a menu that shows any
// icon (maxIconWidth > 0) has an image list of PM_SmallIconSize images, and an
// item with an icon shows image 0 of it; the menu-bar never has Images.
//
// What the platform adds around the owner's measure, as Windows does (and as
// Wine documents) for owner-drawn items: twice the average character width of
// the menu font to every item's width (room the painter does not use, where
// the submenu arrow goes), and for a menu-bar item the height of the standard
// menu-bar item (here: what Fusion proposes). QMenu lays the widest shortcut
// out as a column of its own and adds its width to the items itself, so the
// measure of a drop-down item gives its width less that column; the menu is
// then exactly as wide as its widest measured item, in a one-pixel frame.
// The bar's items sit side by side on a plain button-face bar. A disabled
// item can be selected, as the painter draws it.
// The submenu arrow of an item with a submenu is drawn by the style after the
// owner's painting, as the platform does.
#pragma once

#include "menus/utils.h"

#include <QFlags>
#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QProxyStyle>
#include <QRect>
#include <QString>

class QMenu;
class QMenuBar;
class QPainter;
class QStyleOptionMenuItem;

namespace trisk {

// The item states the painter reads.
enum TOwnerDrawStateFlag {
    odSelected = 0x01,
    odDisabled = 0x02,
    odChecked = 0x04,
    odDefault = 0x08,
    odHotLight = 0x10,
};
Q_DECLARE_FLAGS(TOwnerDrawState, TOwnerDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOwnerDrawState)

// The facts of one item (the "Sender" of the events).
struct TMenuItemInfo {
    bool TopLevel = false;  // the item sits in a menu bar
    bool IsLine = false;    // a separator
    const TImageList* Images = nullptr;
    int ImageIndex = -1;
    QString Caption;   // with its "&" marks
    QString ShortCut;  // the shortcut's text, empty when none
};

// The text of CheckPattern: twelve rows of twelve "0"/"1", joined by "-".
inline constexpr const char* CheckPattern =
    "000000000000-000000000000-000000000000-000000001000-"
    "000000011000-001000111000-001101110000-001111100000-"
    "000111000000-000010000000-000000000000-000000000000";

// A 12 x 12 one-bit bitmap (see MakeMonoBitmap), all white with the black
// pixels that the pattern text gives: "-" starts a new row, "1" paints the
// pixel black and moves on, "0" moves on.
QImage MakeCheckBitmap(const char* pattern = CheckPattern);

class TVoMenu;

// The proxy style that measures and paints the items of the menus TVoMenu is
// attached to. Everything else is Fusion's.
class TVoMenuStyle : public QProxyStyle {
    Q_OBJECT
  public:
    // The style reads its owner's fields at every measure and paint.
    explicit TVoMenuStyle(const TVoMenu* owner);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    // What the style reads from an option: the item's facts (with a
    // one-image list in images when the menu shows icons) and its states.
    static TMenuItemInfo ItemInfo(const QStyleOptionMenuItem& option, bool topLevel, int iconSize,
                                  TImageList& images);
    static TOwnerDrawState ItemState(const QStyleOptionMenuItem& option, bool topLevel);

  private:
    int IconSize(const QStyleOption* option, const QWidget* widget) const;

    const TVoMenu* owner_;
};

// The owner-drawn menu painter. Owned and freed by its owner (a QObject
// parent).
class TVoMenu : public QObject {
    Q_OBJECT
  public:
    // Sets the defaults: Font the system menu font (QApplication::font("QMenu")),
    // GutterColor button face, MenuColor GetLightColor(button face, 85),
    // SelectedColor GetLightColor(highlight, 65), SelLightColor
    // GetLightColor(highlight, 75), MinWidth 0, MinHeight 20. Needs a
    // QApplication.
    explicit TVoMenu(QObject* AOwner = nullptr);
    ~TVoMenu() override;

    // Switches the menu bar (no native, global menu bar) and every menu below
    // it to owner drawing. Nothing for none.
    void Add(QMenuBar* Menu);
    // Switches the menu and every submenu below it to owner drawing. Nothing
    // for none.
    void Add(QMenu* Menu);
    // Qt styles a menu widget as a whole: every item in a hooked menu is
    // owner-drawn, also one added later; a submenu added later is not hooked.

    // The measure event: Width and Height are in-out.
    void MeasureItem(const TMenuItemInfo& Sender, int& Width, int& Height) const;
    // The draw event: works out the gutter width and calls DrawItem with this
    // object's colours and font.
    void AdvancedDrawItem(const TMenuItemInfo& Sender, QPainter* ACanvas, const QRect& ARect,
                          TOwnerDrawState State) const;
    // The gutter width AdvancedDrawItem works out for an item rectangle.
    int GutterWidth(const TMenuItemInfo& Sender, QPainter* ACanvas, const QRect& ARect) const;

    // Properties.
    TColor MenuColor() const { return FMenuColor; }
    void SetMenuColor(TColor Value) { FMenuColor = Value; }
    TColor GutterColor() const { return FGutterColor; }
    void SetGutterColor(TColor Value) { FGutterColor = Value; }
    TColor SelectedColor() const { return FSelectedColor; }
    // Also sets SelLightColor to GetLightColor(Value, 75).
    void SetSelectedColor(TColor Value);
    TColor SelLightColor() const { return FSelLightColor; }
    void SetSelLightColor(TColor Value) { FSelLightColor = Value; }
    const QFont& Font() const { return FFont; }
    // Copies the font.
    void SetFont(const QFont& Value) { FFont = Value; }
    int MinHeight() const { return FMinHeight; }
    // Stores the larger of 20 and Value.
    void SetMinHeight(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value) { FMinWidth = Value; }

    // The style set on the hooked menus.
    QStyle* Style() const { return FStyle; }

  protected:
    // Watches the hooked menu bars for the pointer leaving them.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Hook(QWidget* menu);
    void InternalInitItems(QWidget* menu);

    QFont FFont;
    TColor FGutterColor;
    TColor FMenuColor;
    TColor FSelectedColor;
    TColor FSelLightColor;
    int FMinWidth = 0;
    int FMinHeight = 20;

    TVoMenuStyle* FStyle = nullptr;
    QList<QPointer<QWidget>> hooked_;
};

// ---- unit functions ----

// The measure of a drop-down item with Font (its text sizes measured as the
// screen measures them). Without images: the height is the text line + 4, at
// least MinHeight, and the width the caption with its shortcut + that height
// + 15, at least MinWidth; a separator is 11 high when the item would be over
// 20, else 5. With images the image size takes part in both, and a separator
// keeps the width it was given. Width and Height are in-out.
void MeasureItem(const QFont& Font, const TImageList* Images, bool IsLine, const QString& Caption,
                 const QString& ShortCut, int MinHeight, int MinWidth, int& Width, int& Height);

// Paints one item into ARect (L, T, R, B) = (x, y, x + width, y + height),
// right and bottom exclusive as the platform's rectangles are.
void DrawItem(QPainter* ACanvas, const QRect& ARect, TOwnerDrawState State, bool TopLevel,
              bool IsLine, const TImageList* Images, int ImageIndex, const QFont& Font,
              const QString& Caption, const QString& ShortCut, int GutterWidth,
              TColor SelectedColor, TColor GutterColor, TColor MenuColor, TColor SelLightColor);

// ---- unit state ----

// The instance the program uses, owned by the application object (null
// outside InitializeMenusUnits() ... FinalizeMenusUnits(), and once the
// application object has freed it).
extern QPointer<TVoMenu> VoMenu;
// The check mark, MakeCheckBitmap(); null outside InitializeMenusUnits() ...
// FinalizeMenusUnits().
extern QImage* CheckBitmap;

// Makes the state of the menus library: FMonoBitmap (Utils), CheckBitmap and
// VoMenu (owned by the application object), and turns the native (global)
// menu bar off for the application (Qt::AA_DontUseNativeMenuBar). Call it
// once the QApplication exists and before the main window is made (without a
// QApplication, VoMenu is not made); the main window then calls
// VoMenu->Add(MainMenu) and VoMenu->Add(pmTray). Calling it again while the
// state exists does nothing.
void InitializeMenusUnits();
// Frees VoMenu (if the application object has not already), CheckBitmap and
// FMonoBitmap. Call it at exit, before the QApplication goes.
void FinalizeMenusUnits();

// Makes the state for its lifetime: InitializeMenusUnits() ... FinalizeMenusUnits().
class MenusUnitsScope {
  public:
    MenusUnitsScope() { InitializeMenusUnits(); }
    ~MenusUnitsScope() { FinalizeMenusUnits(); }
    MenusUnitsScope(const MenusUnitsScope&) = delete;
    MenusUnitsScope& operator=(const MenusUnitsScope&) = delete;
};

}  // namespace trisk
