#include "dialogs/Dirselect.h"

#include <QCollator>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "dialogs/drive_combo_box.h"
#include "dialogs/folder_list_box.h"
#include "dialogs/path_text.h"
#include "dialogs/placed_label.h"
#include "dialogs/user_dialogs.h"
#include "dialogs/window_font.h"
#include "dialogs/window_frame.h"
#include "platform/file_system.h"
#include "platform/folder_listing.h"
#include "platform/path.h"

TDirSelectDialog* DirSelectDialog = nullptr;

namespace {

constexpr int kItemHeight = 16;
const QString kEllipsis = QStringLiteral("...");

// `folder` or, when it is gone, the nearest of its parents that is still a folder.
std::string NearestExistingFolder(std::string folder) {
    while (platform::IsAbsolute(folder) && !platform::IsRoot(folder) &&
           !platform::IsFolder(folder)) {
        folder = platform::ParentFolder(folder);
    }
    return platform::IsAbsolute(folder) ? folder : std::string(1, platform::kSeparator);
}

}  // namespace

TDirSelectDialog::TDirSelectDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ディレクトリを指定して下さい"));
    setWindowFlags(kDialogFrame);
    CentreOnScreenWhenShown(*this);
    setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック")));
    setFixedSize(447, 242);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 345, 225);

    DirectoryLabel = FixedLabel(this, QString(), 16, 16, 329, 12);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setGeometry(364, 8, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
    CancelBtn->setGeometry(364, 38, 75, 25);
    CancelBtn->setAutoDefault(false);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    DriveComboBox = new ::DriveComboBox(this);
    DriveComboBox->setGeometry(16, 40, 161, 18);

    DirectoryListBox = new FolderListBox(this);
    DirectoryListBox->setGeometry(16, 64, 161, 161);

    FileListBox = new QListWidget(this);
    FileListBox->setGeometry(184, 40, 161, 185);
    FileListBox->setUniformItemSizes(true);

    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, DriveComboBox);
    setTabOrder(DriveComboBox, DirectoryListBox);
    setTabOrder(DirectoryListBox, FileListBox);

    connect(DirectoryListBox, &FolderListBox::FolderChanged, this,
            &TDirSelectDialog::DirectoryListBoxChange);
    connect(DriveComboBox, &::DriveComboBox::DriveChosen, this, &TDirSelectDialog::OpenDrive);
    DirectoryListBox->installEventFilter(this);

    // The dialog starts in the process's working folder.
    DirectoryListBox->SetFolder(PathBytes(QDir::currentPath()));
}

void TDirSelectDialog::SetDialogTitle(const QString& title) {
    setWindowTitle(title);
}

std::string TDirSelectDialog::SelectedFolder() const {
    return DirectoryListBox->Folder();
}

void TDirSelectDialog::ListUpDate() {
    DriveComboBox->Refresh();
    const std::string open = DirectoryListBox->Folder();
    const std::string existing = NearestExistingFolder(open);
    if (existing != open) {
        DirectoryListBox->SetFolder(existing);  // lists it and runs DirectoryListBoxChange
        return;
    }
    DirectoryListBox->Rebuild();
    DirectoryListBoxChange();
}

void TDirSelectDialog::DirectoryListBoxChange() {
    const QString path = PathText(DirectoryListBox->Folder());
    DirectoryLabel->setToolTip(path);
    DirectoryLabel->setText(
        ShortenedPath(path, DirectoryLabel->fontMetrics(), DirectoryLabel->width()));
    FillFileList();
    DriveComboBox->ShowDriveOf(DirectoryListBox->Folder());
}

QString TDirSelectDialog::ShortenedPath(const QString& path, const QFontMetrics& metrics,
                                        int width) {
    if (metrics.horizontalAdvance(path) <= width) {
        return path;
    }
    // Drop leading folder names one by one, keeping the root and as much of the end as fits.
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int first = 1; first < parts.size(); ++first) {
        const QString candidate =
            QStringLiteral("/") + kEllipsis + QStringLiteral("/") + parts.mid(first).join(u'/');
        if (metrics.horizontalAdvance(candidate) <= width) {
            return candidate;
        }
    }
    // Not even the last name fits: keep its end.
    return metrics.elidedText(path, Qt::ElideLeft, width);
}

void TDirSelectDialog::showEvent(QShowEvent* event) {
    ListUpDate();
    QDialog::showEvent(event);
}

bool TDirSelectDialog::eventFilter(QObject* watched, QEvent* event) {
    // Enter on a highlighted line presses OK: only a double click opens a folder here.
    if (watched == DirectoryListBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKBtn->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TDirSelectDialog::OpenDrive(const std::string& mountPoint) {
    const platform::FolderListing listing = platform::ListFolder(mountPoint);
    if (listing.Error) {
        UserDialogs::Show(this, QMessageBox::Critical,
                          QStringLiteral("I/O エラー (%1)").arg(listing.Error.value()));
        // The open folder stays; so does the drive that shows it.
        DriveComboBox->ShowDriveOf(DirectoryListBox->Folder());
        return;
    }
    DirectoryListBox->SetFolder(mountPoint);
}

void TDirSelectDialog::FillFileList() {
    FileListBox->clear();
    std::vector<QString> names;
    for (const platform::FolderEntry& entry :
         platform::ListFolder(DirectoryListBox->Folder()).Entries) {
        // Hidden files are those whose name starts with ".".
        if (entry.Kind == platform::EntryKind::File && !entry.Name.starts_with('.')) {
            names.push_back(PathText(entry.Name));
        }
    }
    QCollator collator;
    std::sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(name, FileListBox);
        item->setSizeHint(QSize(0, kItemHeight));
    }
}
