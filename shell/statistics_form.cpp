#include "shell/statistics_form.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace trisk {

namespace {
const char* const kColumns[] = {"Played",         "Won",       "Lost",
                                "Abandoned",      "Win rate",  "Current streak",
                                "Longest streak", "Best time", "Fewest moves"};
constexpr int kColumnCount = sizeof kColumns / sizeof kColumns[0];
}  // namespace

TStatisticsForm::TStatisticsForm(TStatisticsKeeper& keeper, TGameDialogs& dialogs, QWidget* parent)
    : QDialog(parent), keeper_(keeper), dialogs_(dialogs) {
    setObjectName("StatisticsForm");
    setWindowTitle("Statistics");
    table_ = new QTableWidget(kGameKinds, kColumnCount, this);
    table_->setObjectName("StatisticsTable");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setFocusPolicy(Qt::NoFocus);
    for (int c = 0; c < kColumnCount; ++c)
        table_->setHorizontalHeaderItem(c, new QTableWidgetItem(kColumns[c]));
    for (int k = 0; k < kGameKinds; ++k)
        table_->setVerticalHeaderItem(k, new QTableWidgetItem(GameKindName(TGameKind(k))));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* reset = buttons->addButton("&Reset", QDialogButtonBox::ResetRole);
    reset->setObjectName("ResetStatistics");
    connect(reset, &QPushButton::clicked, this, &TStatisticsForm::ResetClicked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    Refresh();
    table_->resizeColumnsToContents();
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The whole table is shown: a scroll area's size hint stops short of
    // nine columns, which cut off the best time and the fewest moves.
    const int frame = 2 * table_->frameWidth();
    table_->setMinimumSize(
        table_->verticalHeader()->sizeHint().width() + table_->horizontalHeader()->length() + frame,
        table_->horizontalHeader()->sizeHint().height() + table_->verticalHeader()->length() +
            frame);
}

void TStatisticsForm::Refresh() {
    for (int k = 0; k < kGameKinds; ++k) {
        const TKindStatistics& s = keeper_.Figures()[k];
        const QString cells[kColumnCount] = {
            QString::number(s.Played),
            QString::number(s.Won),
            QString::number(s.Lost),
            QString::number(s.Abandoned),
            QString::number(s.WinRate()) + " %",
            QString::number(s.CurrentStreak),
            QString::number(s.LongestStreak),
            QString::fromStdString(DurationText(s.BestSeconds)),
            s.FewestMoves ? QString::number(s.FewestMoves) : QString("-")};
        for (int c = 0; c < kColumnCount; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(k, c, item);
        }
    }
}

void TStatisticsForm::ResetClicked() {
    if (!dialogs_.AskQuestion("Reset the statistics of every game?")) return;
    keeper_.Reset();
    Refresh();
}

}  // namespace trisk
