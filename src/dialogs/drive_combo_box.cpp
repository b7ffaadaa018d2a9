#include "dialogs/drive_combo_box.h"

#include <QFile>
#include <QSignalBlocker>
#include <QStorageInfo>

DriveComboBox::DriveComboBox(QWidget* parent) : QComboBox(parent) {
    Refresh();
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit DriveChosen(itemData(index).toByteArray().toStdString()); });
}

void DriveComboBox::Refresh() {
    const QSignalBlocker blocker(this);
    clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) {
            const QByteArray mountPoint = QFile::encodeName(volume.rootPath());
            addItem(volume.rootPath(), mountPoint);
        }
    }
}

void DriveComboBox::ShowDriveOf(const std::string& folder) {
    const QStorageInfo volume(QFile::decodeName(folder.c_str()));
    const int index = findData(QFile::encodeName(volume.rootPath()));
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
}
