#include "menus/vomenus.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QtDebug>

namespace trisk {

QPointer<TVoMenu> VoMenu;
QImage* CheckBitmap = nullptr;

// ---- the check mark ----

QImage MakeCheckBitmap(const char* pattern) {
    QImage bitmap = MakeMonoBitmap(12, 12);
    int x = 0;
    int y = 0;
    for (const char* c = pattern; c && *c; ++c) {
        switch (*c) {
            case '-':
                x = 0;
                ++y;
                break;
            case '1':
                if (bitmap.valid(x, y)) bitmap.setPixel(x, y, 0);
                ++x;
                break;
            case '0':
                ++x;
                break;
            default:
                break;
        }
    }
    return bitmap;
}

// ---- painting helpers in the platform's terms: rectangles (L, T, R, B)
// with the right and bottom edges exclusive, a pen of one pixel ----

namespace {

void FillRect(QPainter* canvas, int L, int T, int R, int B, TColor colour) {
    if (R <= L || B <= T) return;
    canvas->fillRect(QRect(L, T, R - L, B - T), ToQColor(colour));
}

// Rectangle(L, T, R, B): the outline in the pen, one pixel inside the
// bounds, and the inside filled with the brush.
void Rectangle(QPainter* canvas, int L, int T, int R, int B, TColor pen, TColor brush) {
    FillRect(canvas, L, T, R, B, pen);
    FillRect(canvas, L + 1, T + 1, R - 1, B - 1, brush);
}

// DrawText with single line, vertical centring, tabs expanded, no clipping,
// an ellipsis at the end when the text does not fit and "&" marking the
// underlined access key.
void DrawText(QPainter* canvas, const QString& text, int L, int T, int R, int B,
              Qt::Alignment horizontal) {
    const QFontMetrics metrics = canvas->fontMetrics();
    const int width = Max(0, R - L);
    const int flags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs;
    const QString shown = metrics.elidedText(text, Qt::ElideRight, width, flags);
    canvas->drawText(QRect(L, T, width, Max(0, B - T)),
                     int(horizontal | Qt::AlignVCenter) | flags | Qt::TextDontClip, shown);
}

// TextHeight("W"): the height of a line of text in the font.
int TextHeightW(const QFontMetrics& metrics) {
    return metrics.height();
}

}  // namespace

// ---- unit functions ----

void MeasureItem(const QFont& Font, const TImageList* Images, bool IsLine, const QString& Caption,
                 const QString& ShortCut, int MinHeight, int MinWidth, int& Width, int& Height) {
    const QFontMetrics metrics(Font);
    const int textHeight = TextHeightW(metrics);
    if (!Images) {
        Height = Max(textHeight + 4, MinHeight);
        Width = Max(MinWidth, metrics.horizontalAdvance(Caption + ShortCut) + Height + 15);
        if (IsLine) Height = Height > 20 ? 11 : 5;
    } else if (IsLine) {
        Height = Max(MinHeight, Images->Height()) > 20 ? 11 : 5;
    } else {
        Height = Max(MinHeight, Max(textHeight, Images->Height()) + 4);
        const int g = Images->Width() < Height ? Height : Images->Width() + 5;
        Width = Max(MinWidth, metrics.horizontalAdvance(Caption + ShortCut) + g + 15);
    }
}

void DrawItem(QPainter* ACanvas, const QRect& ARect, TOwnerDrawState State, bool TopLevel,
              bool IsLine, const TImageList* Images, int ImageIndex, const QFont& Font,
              const QString& Caption, const QString& ShortCut, int GutterWidth,
              TColor SelectedColor, TColor GutterColor, TColor MenuColor, TColor SelLightColor) {
    if (!ACanvas) return;
    int L = ARect.x();
    const int T = ARect.y();
    int R = ARect.x() + ARect.width();
    const int B = ARect.y() + ARect.height();
    const bool selected = State.testFlag(odSelected);
    const bool checked = State.testFlag(odChecked);
    const bool disabled = State.testFlag(odDisabled);

    ACanvas->save();
    ACanvas->setRenderHint(QPainter::Antialiasing, false);

    // 1. Font and pen.
    ACanvas->setFont(Font);
    TColor pen = GetShadeColor(clHighlight, 50);

    // 2. Background.
    if (selected && TopLevel) {
        FillRect(ACanvas, L, T, R, B, BtnHighlight());
        pen = GetShadeColor(clBtnShadow, 50);
        // The open-bottomed frame (L, B - 1) - (L, T) - (R - 1, T) - (R - 1, B),
        // the last point not drawn.
        FillRect(ACanvas, L, T, L + 1, B, pen);
        FillRect(ACanvas, L, T, R, T + 1, pen);
        FillRect(ACanvas, R - 1, T, R, B, pen);
    } else if (selected) {
        Rectangle(ACanvas, L, T, R, B, pen, SelectedColor);
    } else if (TopLevel && State.testFlag(odHotLight)) {
        pen = GetShadeColor(clHighlight, 50);
        Rectangle(ACanvas, L, T, R, B, pen, SelectedColor);
    } else if (TopLevel) {
        FillRect(ACanvas, L, T, R, B, clBtnFace);
    } else {
        FillRect(ACanvas, L, T, L + GutterWidth, B, GutterColor);
        FillRect(ACanvas, L + GutterWidth, T, R, B, MenuColor);
    }

    // 3. The check box.
    if (checked) {
        pen = GetShadeColor(clHighlight, 50);
        Rectangle(ACanvas, L + 1, T + 1, L + GutterWidth - 2, B - 1, pen, SelLightColor);
    }

    // 4. The glyph.
    if (Images && ImageIndex >= 0 && !TopLevel) {
        const int x = (L + GutterWidth - 1 - Images->Width()) / 2;
        const int y = (T + B - Images->Height()) / 2;
        if (!disabled) {
            Images->Draw(ACanvas, x, y, ImageIndex);
        } else if (FMonoBitmap) {
            GetBmpFromImgList(*FMonoBitmap, Images, ImageIndex);
            DoDrawMonoBmp(ACanvas, clBtnShadow, x, y);
        }
    } else if (checked) {
        const QImage check = CheckBitmap ? *CheckBitmap : MakeCheckBitmap();
        DrawMonoBmp(ACanvas, check, clBlack, (L + GutterWidth - 1 - 12) / 2, (T + B - 12) / 2);
    }

    // 5. Text style.
    if (State.testFlag(odDefault)) {
        QFont bold = Font;
        bold.setBold(true);
        ACanvas->setFont(bold);
    }
    ACanvas->setPen(disabled ? QColor(128, 128, 128) : QColor(0, 0, 0));
    ACanvas->setBrush(Qt::NoBrush);

    // 6. Past the gutter.
    if (!TopLevel) L = L + GutterWidth + 5;

    if (IsLine) {
        // 7. The separator line, its end point not drawn.
        const int y = T + (B - T) / 2;
        FillRect(ACanvas, L, y, R, y + 1, clBtnShadow);
    } else {
        // 8. Caption and shortcut.
        DrawText(ACanvas, Caption, L, T, R, B, TopLevel ? Qt::AlignHCenter : Qt::AlignLeft);
        if (!ShortCut.isEmpty()) {
            R = R - 5;
            DrawText(ACanvas, ShortCut, L, T, R, B, Qt::AlignRight);
        }
    }
    ACanvas->restore();
}

// ---- TVoMenu ----

TVoMenu::TVoMenu(QObject* AOwner)
    : QObject(AOwner),
      FFont(QApplication::font("QMenu")),
      FGutterColor(clBtnFace),
      FMenuColor(GetLightColor(clBtnFace, 85)),
      FSelectedColor(GetLightColor(clHighlight, 65)),
      FSelLightColor(GetLightColor(clHighlight, 75)) {
    FStyle = new TVoMenuStyle(this);
    FStyle->setParent(this);
}

TVoMenu::~TVoMenu() {
    // The menus fall back to the application's style.
    for (const QPointer<QWidget>& menu : std::as_const(hooked_)) {
        if (menu && menu->style() == FStyle) menu->setStyle(nullptr);
    }
}

void TVoMenu::Hook(QWidget* menu) {
    if (!menu) return;
    for (const QPointer<QWidget>& known : std::as_const(hooked_)) {
        if (known == menu) return;
    }
    hooked_.append(menu);
    menu->setStyle(FStyle);
}

void TVoMenu::InternalInitItems(QWidget* menu) {
    const QList<QAction*> items = menu->actions();
    for (QAction* item : items) {
        QMenu* sub = item ? item->menu() : nullptr;
        if (!sub) continue;
        bool known = false;
        for (const QPointer<QWidget>& hooked : std::as_const(hooked_))
            known |= hooked == sub;
        if (known) continue;  // a menu reachable twice is hooked once
        Hook(sub);
        InternalInitItems(sub);
    }
}

void TVoMenu::Add(QMenuBar* Menu) {
    if (!Menu) return;
    Menu->setNativeMenuBar(false);
    InternalInitItems(Menu);
    Hook(Menu);
    Menu->installEventFilter(this);
}

bool TVoMenu::eventFilter(QObject* watched, QEvent* event) {
    // A bar item lit by the pointer goes dark when the pointer leaves the bar,
    // also when a drop-down closed with Escape has left the bar in keyboard
    // mode (Qt keeps the item current then); an open drop-down keeps its item.
    auto* bar = qobject_cast<QMenuBar*>(watched);
    if (bar && event->type() == QEvent::Leave) {
        QAction* current = bar->activeAction();
        const bool open = current && current->menu() && current->menu()->isVisible();
        if (current && !open) {
            // Escape ends the bar's keyboard mode and gives the focus back to
            // where it was; a bar that had it from nobody lets it go.
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(bar, &escape);
            if (bar->hasFocus()) bar->clearFocus();
            if (bar->activeAction()) bar->setActiveAction(nullptr);
        }
    }
    return QObject::eventFilter(watched, event);
}

void TVoMenu::Add(QMenu* Menu) {
    if (!Menu) return;
    Hook(Menu);
    InternalInitItems(Menu);
}

void TVoMenu::SetSelectedColor(TColor Value) {
    FSelectedColor = Value;
    FSelLightColor = GetLightColor(Value, 75);
}

void TVoMenu::SetMinHeight(int Value) {
    FMinHeight = Max(20, Value);
}

void TVoMenu::MeasureItem(const TMenuItemInfo& Sender, int& Width, int& Height) const {
    if (Sender.TopLevel) {
        Width = QFontMetrics(FFont).horizontalAdvance(Sender.Caption);
        return;
    }
    trisk::MeasureItem(FFont, Sender.Images, Sender.IsLine, Sender.Caption, Sender.ShortCut,
                       FMinHeight, FMinWidth, Width, Height);
}

int TVoMenu::GutterWidth(const TMenuItemInfo& Sender, QPainter* ACanvas, const QRect& ARect) const {
    const QFontMetrics metrics =
        ACanvas && ACanvas->device() ? QFontMetrics(FFont, ACanvas->device()) : QFontMetrics(FFont);
    const int textHeight = TextHeightW(metrics);
    const int height = ARect.height();  // B - T
    int w;
    if (Sender.Images) {
        w = Max(Sender.Images->Width() + 4, height);
        if (Sender.IsLine) w = Max(w, textHeight + 4);
    } else {
        w = Sender.IsLine ? textHeight + 4 : height;
    }
    return Max(w, FMinHeight) + 1;
}

void TVoMenu::AdvancedDrawItem(const TMenuItemInfo& Sender, QPainter* ACanvas, const QRect& ARect,
                               TOwnerDrawState State) const {
    if (!ACanvas) return;
    DrawItem(ACanvas, ARect, State, Sender.TopLevel, Sender.IsLine, Sender.Images,
             Sender.ImageIndex, FFont, Sender.Caption, Sender.ShortCut,
             GutterWidth(Sender, ACanvas, ARect), FSelectedColor, FGutterColor, FMenuColor,
             FSelLightColor);
}

// ---- the style ----

namespace {

bool IsOwnerDrawnType(QStyleOptionMenuItem::MenuItemType type) {
    switch (type) {
        case QStyleOptionMenuItem::Normal:
        case QStyleOptionMenuItem::DefaultItem:
        case QStyleOptionMenuItem::SubMenu:
        case QStyleOptionMenuItem::Separator:
            return true;
        default:  // tear-off handle, scroller, empty area, margin: the platform's
            return false;
    }
}

// What the platform adds to the width of every owner-drawn item: twice the
// average character width of the menu font.
int PlatformExtraWidth(const QFont& font) {
    return 2 * QFontMetrics(font).averageCharWidth();
}

// The shortcut column QMenu adds to its widest item: the widest text after a
// tab among the menu's items (in the menu's font), or of a shortcut that the
// menu shows for an item without one. Without a menu, the item's own.
int ShortcutColumn(const QStyleOptionMenuItem& item, const QString& ownShortCut,
                   const QWidget* widget) {
    const auto* menu = qobject_cast<const QMenu*>(widget);
    if (!menu) {
        const QFontMetrics metrics = widget ? widget->fontMetrics() : item.fontMetrics;
        return ownShortCut.isEmpty() ? 0 : metrics.horizontalAdvance(ownShortCut);
    }
    // A menu of a menu bar shows every shortcut; a context menu only those
    // asked for.
    bool ofMenuBar = false;
    for (const QObject* up = menu->parent(); up && !ofMenuBar; up = up->parent())
        ofMenuBar = qobject_cast<const QMenuBar*>(up) != nullptr;
    const QFontMetrics metrics = menu->fontMetrics();
    int widest = 0;
    const QList<QAction*> actions = menu->actions();
    for (const QAction* action : actions) {
        if (!action->isVisible() || action->isSeparator()) continue;
        const QString text = action->text();
        const qsizetype tab = text.indexOf(u'\t');
        QString shortcut;
        if (tab >= 0) {
            shortcut = text.mid(tab + 1);
        } else if (ofMenuBar || action->isShortcutVisibleInContextMenu()) {
            shortcut = action->shortcut().toString(QKeySequence::NativeText);
        }
        if (!shortcut.isEmpty()) widest = Max(widest, metrics.horizontalAdvance(shortcut));
    }
    return widest;
}

// The frame of a drop-down menu: the painter's shade of the button shadow, as
// the open-bottomed frame of the bar item above it.
TColor FrameColor() {
    return GetShadeColor(clBtnShadow, 50);
}

// The platform's submenu arrow: a solid triangle four pixels wide and seven
// high, centred in the room the platform added at the right of the item.
void DrawSubmenuArrow(QPainter* canvas, const QRect& rect, int room, bool disabled) {
    const int R = rect.x() + rect.width();
    const int middle = rect.y() + rect.height() / 2;
    const int left = R - room + (room - 4) / 2;
    const QColor colour = disabled ? QColor(128, 128, 128) : QColor(0, 0, 0);
    for (int i = 0; i < 4; ++i) {
        canvas->fillRect(QRect(left + i, middle - 3 + i, 1, 7 - 2 * i), colour);
    }
}

}  // namespace

TVoMenuStyle::TVoMenuStyle(const TVoMenu* owner)
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))), owner_(owner) {}

int TVoMenuStyle::IconSize(const QStyleOption* option, const QWidget* widget) const {
    return pixelMetric(PM_SmallIconSize, option, widget);
}

TMenuItemInfo TVoMenuStyle::ItemInfo(const QStyleOptionMenuItem& option, bool topLevel,
                                     int iconSize, TImageList& images) {
    TMenuItemInfo info;
    info.TopLevel = topLevel;
    info.IsLine = !topLevel && option.menuItemType == QStyleOptionMenuItem::Separator;
    if (info.IsLine) {
        info.Caption = QStringLiteral("-");  // the caption of a separator item
    } else {
        const qsizetype tab = option.text.indexOf(u'\t');
        info.Caption = tab < 0 ? option.text : option.text.left(tab);
        if (tab >= 0) info.ShortCut = option.text.mid(tab + 1);
    }
    if (!topLevel && option.maxIconWidth > 0) {
        images = TImageList(iconSize, iconSize);
        info.Images = &images;
        if (!info.IsLine && !option.icon.isNull()) info.ImageIndex = images.Add(option.icon);
    }
    return info;
}

TOwnerDrawState TVoMenuStyle::ItemState(const QStyleOptionMenuItem& option, bool topLevel) {
    TOwnerDrawState state;
    const bool current = option.state.testFlag(State_Selected);
    if (topLevel) {
        const bool open = option.state.testFlag(State_Sunken);
        if (current && open) state |= odSelected;
        if (current && !open) state |= odHotLight;
    } else {
        if (current) state |= odSelected;
        if (option.checkType != QStyleOptionMenuItem::NotCheckable && option.checked)
            state |= odChecked;
        if (option.menuItemType == QStyleOptionMenuItem::DefaultItem) state |= odDefault;
    }
    if (!option.state.testFlag(State_Enabled)) state |= odDisabled;
    return state;
}

QSize TVoMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& size, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (owner_ && item && type == CT_MenuBarItem) {
        // The platform proposes the standard height of a menu-bar item.
        const QSize proposed = QProxyStyle::sizeFromContents(type, option, size, widget);
        TImageList images(0, 0);
        const TMenuItemInfo info = ItemInfo(*item, true, 0, images);
        int width = proposed.width();
        int height = proposed.height();
        owner_->MeasureItem(info, width, height);
        return QSize(width + PlatformExtraWidth(owner_->Font()), height);
    }
    if (owner_ && item && type == CT_MenuItem && IsOwnerDrawnType(item->menuItemType)) {
        const int iconSize = IconSize(option, widget);
        TImageList images(iconSize, iconSize);
        const TMenuItemInfo info = ItemInfo(*item, false, iconSize, images);
        int width = size.width();
        int height = size.height();
        owner_->MeasureItem(info, width, height);
        // QMenu adds a column as wide as the widest shortcut to the widest
        // item itself: take that column out, so that the menu is exactly as
        // wide as its widest measured item.
        width -= ShortcutColumn(*item, info.ShortCut, widget);
        return QSize(Max(0, width) + PlatformExtraWidth(owner_->Font()), height);
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void TVoMenuStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    // The bar beside and between its items is plain button face, as the items
    // that are neither open nor hot.
    if (owner_ && painter && option && element == CE_MenuBarEmptyArea) {
        painter->fillRect(option->rect, ToQColor(clBtnFace));
        return;
    }
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (owner_ && item && painter && element == CE_MenuBarItem) {
        TImageList images(0, 0);
        const TMenuItemInfo info = ItemInfo(*item, true, 0, images);
        owner_->AdvancedDrawItem(info, painter, item->rect, ItemState(*item, true));
        return;
    }
    if (owner_ && item && painter && element == CE_MenuItem &&
        IsOwnerDrawnType(item->menuItemType)) {
        const int iconSize = IconSize(option, widget);
        TImageList images(iconSize, iconSize);
        const TMenuItemInfo info = ItemInfo(*item, false, iconSize, images);
        const TOwnerDrawState state = ItemState(*item, false);
        owner_->AdvancedDrawItem(info, painter, item->rect, state);
        if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
            painter->save();
            DrawSubmenuArrow(painter, item->rect, PlatformExtraWidth(owner_->Font()),
                             state.testFlag(odDisabled));
            painter->restore();
        }
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

int TVoMenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    // The platform's menus have no titled sections: a section is a separator.
    if (hint == SH_Menu_SupportsSections) return 0;
    // A disabled item takes the selection (and is drawn selected and
    // disabled); choosing it does nothing.
    if (hint == SH_Menu_AllowActiveAndDisabled) return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

int TVoMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
    if (owner_) {
        switch (metric) {
            // The bar's items sit side by side from its left edge, the bar
            // as high as its items.
            case PM_MenuBarItemSpacing:
            case PM_MenuBarHMargin:
            case PM_MenuBarVMargin:
            case PM_MenuBarPanelWidth:
            // A drop-down is its items in a one-pixel frame.
            case PM_MenuHMargin:
            case PM_MenuVMargin:
                return 0;
            case PM_MenuPanelWidth:
                return 1;
            default:
                break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void TVoMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    if (owner_ && painter && option && (element == PE_FrameMenu || element == PE_PanelMenu)) {
        // The one-pixel frame of a drop-down; the items fill the inside.
        const QRect r = option->rect;
        if (element == PE_PanelMenu) painter->fillRect(r, ToQColor(owner_->MenuColor()));
        const QColor pen = ToQColor(FrameColor());
        painter->fillRect(QRect(r.x(), r.y(), r.width(), 1), pen);
        painter->fillRect(QRect(r.x(), r.bottom(), r.width(), 1), pen);
        painter->fillRect(QRect(r.x(), r.y(), 1, r.height()), pen);
        painter->fillRect(QRect(r.right(), r.y(), 1, r.height()), pen);
        return;
    }
    if (owner_ && painter && option && element == PE_PanelMenuBar) {
        painter->fillRect(option->rect, ToQColor(clBtnFace));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

// ---- unit state ----

void InitializeMenusUnits() {
    InitializeUtils();
    if (!CheckBitmap) CheckBitmap = new QImage(MakeCheckBitmap());
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar, true);
    if (!VoMenu) {
        if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
            VoMenu = new TVoMenu(QCoreApplication::instance());
        } else {
            qWarning("trisk::InitializeMenusUnits: no QApplication, VoMenu not made");
        }
    }
}

void FinalizeMenusUnits() {
    delete VoMenu.data();
    VoMenu = nullptr;
    delete CheckBitmap;
    CheckBitmap = nullptr;
    FinalizeUtils();
}

}  // namespace trisk
