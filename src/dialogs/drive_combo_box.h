#pragma once

#include <QComboBox>
#include <string>

// The mounted file systems of the machine, each shown by its mount point. Choosing one emits
// DriveChosen with its mount point's bytes.
class DriveComboBox : public QComboBox {
    Q_OBJECT

  public:
    explicit DriveComboBox(QWidget* parent = nullptr);

    // Lists the mounted file systems again.
    void Refresh();

    // Shows the file system that holds `folder`, without emitting DriveChosen.
    void ShowDriveOf(const std::string& folder);

  signals:
    void DriveChosen(const std::string& mountPoint);
};
