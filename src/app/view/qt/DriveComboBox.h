#pragma once

#include "app/view/Controls.h"

#include <QComboBox>

namespace fendralwin {

// The drives of this system: the mount points of real file systems (and of file systems in
// memory mounted below /media, /mnt or /run/media), each shown with its volume name. The root is
// always listed. Choosing a drive other than the one shown raises Change.
class DriveComboBox final : public QComboBox, public IDriveList {
public:
    explicit DriveComboBox(QWidget* parent);

    // The mount point of the chosen drive.
    std::string drive() const override;
    // Shows the drive that holds `path` (the longest mount point that contains it).
    void showDriveOf(const std::string& path) override;
    void reread() override;
    // A drive the user moved to in the opened list but did not choose is no longer marked there.
    void hidePopup() override;

private:
    // Shows the drive at `index` without raising Change.
    void showIndex(int index);

    int shownIndex_ = 0;
};

} // namespace fendralwin
