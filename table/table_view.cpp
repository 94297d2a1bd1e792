#include "table/table_view.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

#include "history/game.h"
#include "table/pointer.h"
#include "table/spots.h"
#include "table/table_painter.h"

namespace trisk {

TTableView::TTableView(TGame& game, const TCardImages& images, QWidget* parent)
    : QWidget(parent), game_(game), images_(images) {
    setObjectName("Table");
    // The cursor and the "Cards:" panel follow the pointer without a button held.
    setMouseTracking(true);
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

void TTableView::SetHintMark(std::optional<TPileRef> pile) {
    if (pile == hintMark_) return;
    hintMark_ = pile;
    update();
}

void TTableView::SetFocusPile(std::optional<TPileRef> pile) {
    if (pile == focusPile_) return;
    focusPile_ = pile;
    update();
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

void TTableView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (zoom_ != 1.0) {
        painter.scale(zoom_, zoom_);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    }
    FormPaint(painter);
    painter.end();
    emit Painted();
}

void TTableView::mouseReleaseEvent(QMouseEvent* event) {
    FormMouseUp(event->button(), event->position());
}

void TTableView::mouseMoveEvent(QMouseEvent* event) {
    FormMouseMove(event->position());
}

void TTableView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit Resized();
}

}  // namespace trisk
