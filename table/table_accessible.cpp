#include "table/table_accessible.h"

#include <QPointer>

#include "history/game.h"
#include "table/spots.h"
#include "table/table_view.h"

namespace trisk {

namespace {

// One pile: the child number of the table it belongs to; the pile itself is
// looked up anew on every question, so a change of kind never leaves a stale
// child behind.
class TPileAccessible : public QAccessibleInterface {
  public:
    TPileAccessible(TTableView* view, int index) : view_(view), index_(index) {}

    bool isValid() const override { return view_ && Pile().has_value(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return view_ && view_->window() ? view_->window()->windowHandle() : nullptr;
    }
    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation) const override {
        return {};
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override {
        const auto pile = Pile();
        if (!pile || t != QAccessible::Name) return {};
        return QString::fromStdString(view_->SpokenName(*pile));
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        const auto pile = Pile();
        if (!pile) return {};
        const TPileSpot* spot = SpotOfPile(view_->Game().GameKind(), pile->Group, pile->Pile);
        if (!spot) return {};
        const QRect local = view_->ToWidget(QRect(spot->X, spot->Y, kCardWidth, kCardHeight));
        return QRect(view_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        const auto pile = Pile();
        if (!pile) return state;
        state.focusable = true;
        state.selectable = true;
        state.invisible = !view_->isVisible();
        state.focused = view_->FocusPile() == pile;
        const TGame& game = view_->Game();
        state.selected =
            game.Highlighted() && game.SelGroup() == pile->Group && game.SelPile() == pile->Pile;
        return state;
    }

  private:
    std::optional<TPileRef> Pile() const {
        if (!view_) return std::nullopt;
        const std::vector<TPileRef> piles = AccessiblePiles(view_->Game().GameKind());
        if (index_ < 0 || index_ >= static_cast<int>(piles.size())) return std::nullopt;
        return piles[static_cast<size_t>(index_)];
    }

    QPointer<TTableView> view_;
    int index_;
};

QAccessibleInterface* TableFactory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<TTableView*>(object)) return new TTableAccessible(view);
    return nullptr;
}

}  // namespace

std::vector<TPileRef> AccessiblePiles(TGameKind kind) {
    std::vector<TPileRef> piles{{StockSpot.Group, StockSpot.Pile}};
    for (const TPileSpot& spot : SpotsForKind(kind))
        piles.push_back({spot.Group, spot.Pile});
    return piles;
}

TTableAccessible::TTableAccessible(TTableView* view)
    : QAccessibleWidget(view, QAccessible::List, QStringLiteral("Card table")) {}

TTableAccessible::~TTableAccessible() {
    for (QAccessible::Id id : children_)
        QAccessible::deleteAccessibleInterface(id);
}

TTableView* TTableAccessible::View() const {
    return static_cast<TTableView*>(widget());
}

int TTableAccessible::childCount() const {
    return static_cast<int>(AccessiblePiles(View()->Game().GameKind()).size());
}

QAccessibleInterface* TTableAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) return nullptr;
    while (static_cast<int>(children_.size()) <= index) {
        auto* pile = new TPileAccessible(View(), static_cast<int>(children_.size()));
        children_.push_back(QAccessible::registerAccessibleInterface(pile));
    }
    return QAccessible::accessibleInterface(children_[static_cast<size_t>(index)]);
}

int TTableAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (size_t i = 0; i < children_.size(); ++i) {
        if (QAccessible::accessibleInterface(children_[i]) == child) {
            return static_cast<int>(i) < childCount() ? static_cast<int>(i) : -1;
        }
    }
    return -1;
}

QAccessibleInterface* TTableAccessible::childAt(int x, int y) const {
    for (int i = 0; i < childCount(); ++i) {
        QAccessibleInterface* pile = child(i);
        if (pile && pile->rect().contains(x, y)) return pile;
    }
    return nullptr;
}

QAccessibleInterface* TTableAccessible::focusChild() const {
    const auto focus = View()->FocusPile();
    if (!focus) return nullptr;
    const std::vector<TPileRef> piles = AccessiblePiles(View()->Game().GameKind());
    for (size_t i = 0; i < piles.size(); ++i) {
        if (piles[i] == *focus) return child(static_cast<int>(i));
    }
    return nullptr;
}

QString TTableAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name) return QStringLiteral("Card table");
    return QAccessibleWidget::text(t);
}

void InstallTableAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(TableFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace trisk
