#include "app/view/qt/ListView.h"

namespace fendralwin {

void ListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (hasFocus()) {
        QListView::currentChanged(current, previous);
    } else {
        QAbstractItemView::currentChanged(current, previous); // all but the focus told
    }
}

} // namespace fendralwin
