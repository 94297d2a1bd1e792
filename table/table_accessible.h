// The table for screen readers: the table view as a list with one item per
// pile (the stock first, then the kind's piles in painting order), each named
// by what it shows, selected while its card is picked up and focused while
// keyboard play frames it.
#pragma once

#include <QAccessibleWidget>

#include <vector>

#include "engine/rules.h"

namespace trisk {

class TTableView;

// The piles of the table in the order of the accessible children.
std::vector<TPileRef> AccessiblePiles(TGameKind kind);

class TTableAccessible : public QAccessibleWidget {
  public:
    explicit TTableAccessible(TTableView* view);
    ~TTableAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;

    TTableView* View() const;

  private:
    // Made on demand, owned by Qt's registry, removed with the table's.
    mutable std::vector<QAccessible::Id> children_;
};

// Makes Qt ask for TTableAccessible for every table view.
void InstallTableAccessibility();

}  // namespace trisk
