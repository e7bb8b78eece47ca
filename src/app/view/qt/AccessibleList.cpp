#include "app/view/qt/AccessibleList.h"

#include <QListView>
#include <QPersistentModelIndex>
#include <QPointer>

namespace fendralwin {

namespace {

class AccessibleListItem final : public QAccessibleInterface {
public:
    AccessibleListItem(QListView* list, const QModelIndex& index)
        : list_(list)
        , index_(index) {}

    QModelIndex index() const { return index_; }

    bool isValid() const override { return list_ && index_.isValid(); }
    QObject* object() const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name && isValid() ? index_.data().toString() : QString();
    }
    void setText(QAccessible::Text /*kind*/, const QString& /*text*/) override {}

    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        return list_->visualRect(index_).translated(list_->viewport()->mapToGlobal(QPoint(0, 0)));
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const QItemSelectionModel* selection = list_->selectionModel();
        state.selected = selection->isSelected(index_);
        state.focused = list_->hasFocus() && selection->currentIndex() == index_;
        state.selectable = state.focusable = (index_.flags() & Qt::ItemIsSelectable) != 0;
        state.disabled = (index_.flags() & Qt::ItemIsEnabled) == 0;
        state.invisible = !list_->viewport()->rect().intersects(list_->visualRect(index_));
        return state;
    }

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(list_.data());
    }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }

private:
    QPointer<QListView> list_;
    QPersistentModelIndex index_;
};

} // namespace

AccessibleList::AccessibleList(QListView* list)
    : QAccessibleWidget(list, QAccessible::List) {}

AccessibleList::~AccessibleList() {
    for (const QAccessible::Id item : std::as_const(items_)) {
        QAccessible::deleteAccessibleInterface(item);
    }
}

QListView* AccessibleList::list() const {
    return static_cast<QListView*>(widget());
}

int AccessibleList::childCount() const {
    return list()->model()->rowCount(list()->rootIndex());
}

QAccessibleInterface* AccessibleList::child(int row) const {
    const QModelIndex index = list()->model()->index(row, 0, list()->rootIndex());
    if (!index.isValid()) {
        return nullptr;
    }
    if (const auto known = items_.constFind(row); known != items_.cend()) {
        auto* item = static_cast<AccessibleListItem*>(QAccessible::accessibleInterface(*known));
        if (item && item->index() == index) {
            return item;
        }
        QAccessible::deleteAccessibleInterface(*known);
    }
    auto* item = new AccessibleListItem(list(), index);
    items_.insert(row, QAccessible::registerAccessibleInterface(item));
    return item;
}

int AccessibleList::indexOfChild(const QAccessibleInterface* child) const {
    const auto* item = dynamic_cast<const AccessibleListItem*>(child);
    return item && item->isValid() && item->parent() == this ? item->index().row() : -1;
}

QAccessibleInterface* AccessibleList::childAt(int x, int y) const {
    const QModelIndex index = list()->indexAt(list()->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? child(index.row()) : nullptr;
}

QAccessibleInterface* AccessibleList::focusChild() const {
    const QModelIndex current = list()->currentIndex();
    return list()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
}

} // namespace fendralwin
