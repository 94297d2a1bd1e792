#include "shell/table_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "shell/main_form.h"

namespace trisk {

TTableView::TTableView(TMainForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName("Table");
    // The cursor and the "Cards:" panel follow the pointer without a button held.
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette green = palette();
    green.setColor(QPalette::Window, QColor(0, 128, 0));
    setPalette(green);
}

void TTableView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    form_.FormPaint(painter);
    painter.end();
    form_.TablePainted();
}

void TTableView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    form_.FormMouseUp(event->button(), at.x(), at.y());
}

void TTableView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    form_.FormMouseMove(at.x(), at.y());
}

void TTableView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    form_.TableResized();
}

}  // namespace trisk
