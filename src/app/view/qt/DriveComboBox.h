#pragma once

#include <QComboBox>
#include <QString>

namespace fendralwin {

// The drives of this system: the mount points of real file systems, each shown with its volume
// name. The root is always listed.
class DriveComboBox final : public QComboBox {
    Q_OBJECT
public:
    explicit DriveComboBox(QWidget* parent);

    // The mount point of the chosen drive.
    QString drive() const;
    // Shows the drive that holds `path` (the longest mount point that contains it).
    void showDriveOf(const QString& path);

signals:
    // The user chose a drive other than the one shown.
    void driveChosen();

private:
    int shownIndex_ = 0;
};

} // namespace fendralwin
