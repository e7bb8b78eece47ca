#pragma once

#include <QAccessibleWidget>
#include <QHash>

class QListView;

namespace fendralwin {

// A list of names read as Qt reads its own lists: a list whose rows are its items, each with its
// name and whether it is chosen, and besides, as a widget, labelled by the label whose buddy it is.
class AccessibleList final : public QAccessibleWidget {
public:
    explicit AccessibleList(QListView* list);
    ~AccessibleList() override;
    AccessibleList(const AccessibleList&) = delete;
    AccessibleList& operator=(const AccessibleList&) = delete;

    int childCount() const override;
    QAccessibleInterface* child(int row) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    QListView* list() const;

    // The item made for each row asked for; one whose row now holds another entry is made anew.
    mutable QHash<int, QAccessible::Id> items_;
};

} // namespace fendralwin
