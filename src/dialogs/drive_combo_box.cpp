#include "dialogs/drive_combo_box.h"

#include <QSignalBlocker>
#include <QStorageInfo>

#include "dialogs/path_text.h"

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
            const QByteArray mountPoint = QByteArray::fromStdString(PathBytes(volume.rootPath()));
            addItem(volume.rootPath(), mountPoint);
        }
    }
}

void DriveComboBox::ShowDriveOf(const std::string& folder) {
    const QStorageInfo volume(PathText(folder));
    const int index = findData(QByteArray::fromStdString(PathBytes(volume.rootPath())));
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
}
