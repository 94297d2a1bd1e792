#include "table/table_view.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

#include "history/game.h"
#include "table/keyboard_focus.h"
#include "table/pile_names.h"
#include "table/pointer.h"
#include "table/spots.h"
#include "table/status_texts.h"
#include "table/table_accessible.h"
#include "table/table_painter.h"

namespace trisk {

TTableView::TTableView(TGame& game, const TCardImages& images, QWidget* parent)
    : QWidget(parent), game_(game), images_(images) {
    setObjectName("Table");
    // The cursor and the "Cards:" panel follow the pointer without a button held.
    setMouseTracking(true);
    // The arrow keys, Space and Return play on the table; the window's
    // shortcuts and Escape still reach the window.
    setFocusPolicy(Qt::StrongFocus);
    InstallTableAccessibility();
    setAutoFillBackground(true);
    QPalette green = palette();
    green.setColor(QPalette::Window, QColor(0, 128, 0));
    setPalette(green);
}

void TTableView::SetZoom(double zoom) {
    if (!(zoom > 0) || zoom == zoom_) return;
    zoom_ = zoom;
    update();
}

double TTableView::PaintScale() const {
    return zoom_ * devicePixelRatioF();
}

QPoint TTableView::ToTable(QPointF at) const {
    if (zoom_ == 1.0) return at.toPoint();
    return QPoint(static_cast<int>(std::floor(at.x() / zoom_)),
                  static_cast<int>(std::floor(at.y() / zoom_)));
}

QRect TTableView::ToWidget(const QRect& table) const {
    if (zoom_ == 1.0) return table;
    const QRectF scaled(table.x() * zoom_, table.y() * zoom_, table.width() * zoom_,
                        table.height() * zoom_);
    return scaled.toAlignedRect();
}

void TTableView::SetHintMark(std::optional<TPileRef> pile, std::optional<TPileRef> from) {
    if (!pile) from.reset();
    if (pile == hintMark_ && from == hintFrom_) return;
    hintMark_ = pile;
    hintFrom_ = from;
    update();
}

void TTableView::SetFocusPile(std::optional<TPileRef> pile) {
    if (pile == focusPile_) return;
    focusPile_ = pile;
    update();
    ShowFocusedCount();
    ReportFocus();
}

std::string TTableView::SpokenName(TPileRef pile) const {
    THintRole role = THintRole::None;
    if (hintMark_ == pile) {
        role = THintRole::To;
    } else if (hintFrom_ == pile) {
        role = THintRole::From;
    }
    return SpokenPileName(game_.Position(), pile, role);
}

namespace {
int PileIndex(TGameKind kind, TPileRef pile) {
    const std::vector<TPileRef> piles = AccessiblePiles(kind);
    for (size_t i = 0; i < piles.size(); ++i) {
        if (piles[i] == pile) return static_cast<int>(i);
    }
    return -1;
}
}  // namespace

void TTableView::ReportFocus() {
    if (!focusPile_ || !QAccessible::isActive()) return;
    const int index = PileIndex(game_.GameKind(), *focusPile_);
    if (index < 0) return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(index);
    QAccessible::updateAccessibility(&event);
}

void TTableView::ReportPileChanges() {
    if (!QAccessible::isActive()) return;
    const TGameKind kind = game_.GameKind();
    const std::vector<TPileRef> piles = AccessiblePiles(kind);
    std::vector<std::string> names;
    names.reserve(piles.size());
    for (const TPileRef& pile : piles)
        names.push_back(SpokenName(pile));
    // A change of kind renames every pile.
    const bool allNew = names.size() != spokenNames_.size();
    for (size_t i = 0; i < names.size(); ++i) {
        if (!allNew && names[i] == spokenNames_[i]) continue;
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        changed.setChild(static_cast<int>(i));
        QAccessible::updateAccessibility(&changed);
    }
    spokenNames_ = std::move(names);
    std::optional<TPileRef> selection;
    if (game_.Highlighted()) selection = TPileRef{game_.SelGroup(), game_.SelPile()};
    if (selection != spokenSelection_) {
        QAccessible::State selected;
        selected.selected = true;
        for (const auto& pile : {spokenSelection_, selection}) {
            const int index = pile ? PileIndex(kind, *pile) : -1;
            if (index < 0) continue;
            QAccessibleStateChangeEvent event(this, selected);
            event.setChild(index);
            QAccessible::updateAccessibility(&event);
        }
        spokenSelection_ = selection;
    }
}

void TTableView::FormPaint(QPainter& painter) {
    DrawTable(painter, game_, images_);
    if (hintMark_) DrawPileMark(painter, game_.GameKind(), hintMark_->Group, hintMark_->Pile);
    if (focusPile_) DrawFocusFrame(painter, game_.GameKind(), focusPile_->Group, focusPile_->Pile);
}

void TTableView::PaintTable() {
    repaint();
}

void TTableView::FormMouseUp(Qt::MouseButton button, QPointF at) {
    const QPoint point = ToTable(at);
    switch (button) {
        case Qt::LeftButton:
            trisk::FormMouseUp(game_, TMouseButton::Left, point.x(), point.y());
            break;
        case Qt::MiddleButton:
            trisk::FormMouseUp(game_, TMouseButton::Middle, point.x(), point.y());
            break;
        case Qt::RightButton:
            trisk::FormMouseUp(game_, TMouseButton::Right, point.x(), point.y());
            break;
        default:
            break;
    }
}

void TTableView::FormMouseMove(QPointF at) {
    const QPoint point = ToTable(at);
    trisk::FormMouseMove(game_, point.x(), point.y());
}

bool TTableView::FormKeyDown(int key) {
    std::optional<TFocusDirection> direction;
    switch (key) {
        case Qt::Key_Left:
            direction = TFocusDirection::Left;
            break;
        case Qt::Key_Right:
            direction = TFocusDirection::Right;
            break;
        case Qt::Key_Up:
            direction = TFocusDirection::Up;
            break;
        case Qt::Key_Down:
            direction = TFocusDirection::Down;
            break;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            if (!focusPile_) return false;
            const TPileSpot* spot =
                SpotOfPile(game_.GameKind(), focusPile_->Group, focusPile_->Pile);
            if (!spot) return false;
            trisk::FormMouseUp(game_, TMouseButton::Left, spot->X + kCardWidth / 2,
                               spot->Y + kCardHeight / 2);
            ShowFocusedCount();
            return true;
        }
        default:
            return false;
    }
    // The first arrow key, and the first after a change of kind took the
    // focused pile away, starts on the stock.
    if (!focusPile_ || !SpotOfPile(game_.GameKind(), focusPile_->Group, focusPile_->Pile)) {
        SetFocusPile(TPileRef{StockSpot.Group, StockSpot.Pile});
    } else if (const auto next = NextFocusPile(game_.GameKind(), *focusPile_, *direction)) {
        SetFocusPile(next);
    }
    ShowFocusedCount();
    return true;
}

void TTableView::ShowFocusedCount() {
    if (!focusPile_) return;
    game_.Host().SetStatusText(TStatusPanel::Cards,
                               CardsText(FocusedPileCount(game_.Position(), *focusPile_)));
}

void TTableView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (zoom_ != 1.0) {
        painter.scale(zoom_, zoom_);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    }
    FormPaint(painter);
    painter.end();
    ReportPileChanges();
    emit Painted();
}

// The mouse takes over from the keyboard: the focus frame goes.
void TTableView::mouseReleaseEvent(QMouseEvent* event) {
    SetFocusPile(std::nullopt);
    FormMouseUp(event->button(), event->position());
}

void TTableView::mouseMoveEvent(QMouseEvent* event) {
    const bool moved = lastPointer_ != event->globalPosition();
    lastPointer_ = event->globalPosition();
    if (focusPile_ && !moved) return;
    SetFocusPile(std::nullopt);
    FormMouseMove(event->position());
}

void TTableView::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier) ||
        !FormKeyDown(event->key())) {
        QWidget::keyPressEvent(event);
    }
}

void TTableView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit Resized();
}

}  // namespace trisk
