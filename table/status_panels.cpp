#include "table/status_panels.h"

#include <QEvent>
#include <QLabel>
#include <QStatusBar>

namespace trisk {

namespace {

int PanelIndex(TStatusPanel panel) {
    switch (panel) {
        case TStatusPanel::GameNumber:
            return 0;
        case TStatusPanel::Moves:
            return 1;
        case TStatusPanel::Cards:
            return 2;
        case TStatusPanel::Clock:
            return 3;
    }
    return 0;
}

}  // namespace

TStatusPanels::TStatusPanels(QStatusBar* bar) : bar_(bar) {
    for (int i = 0; i < kCount; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QString("StatusPanel%1").arg(i));
        panel->setFixedWidth(kWidths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(2, 0, 2, 0);
        // The clock is centred in its panel.
        panel->setAlignment((i == 3 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
        panels_[i] = panel;
    }
    bar->installEventFilter(this);
    Place();
}

bool TStatusPanels::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bar_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        Place();
    return QObject::eventFilter(watched, event);
}

void TStatusPanels::Place() {
    int x = 0;
    for (int i = 0; i < kCount; ++i) {
        panels_[i]->setGeometry(x, 0, kWidths[i], bar_->height());
        x += kWidths[i];
    }
}

void TStatusPanels::SetText(TStatusPanel panel, const QString& text) {
    panels_[PanelIndex(panel)]->setText(text);
}

QString TStatusPanels::Text(TStatusPanel panel) const {
    return panels_[PanelIndex(panel)]->text();
}

}  // namespace trisk
