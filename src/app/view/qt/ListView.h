#pragma once

#include <QListView>

namespace fendralwin {

// The base of the window's folder and file lists. Qt's list tells screen readers that the focus
// moved to its new current row whenever that row changes; here it does so only while the list
// has the focus, since the program moving the row (another folder opened, a file that appeared)
// moves no focus, and a reader that followed it would leave the user where the keys are not.
class ListView : public QListView {
public:
    using QListView::QListView;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
};

} // namespace fendralwin
