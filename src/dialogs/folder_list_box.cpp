#include "dialogs/folder_list_box.h"

#include <QCollator>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <vector>

#include "dialogs/path_text.h"
#include "platform/folder_listing.h"
#include "platform/path.h"

namespace {

constexpr int kItemHeight = 16;
constexpr int kIndent = 8;
constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;

// Indents each line by its level, as a tree would.
class IndentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shifted = option;
        shifted.rect.setLeft(option.rect.left() + kIndent * index.data(kLevelRole).toInt());
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(size.width() + kIndent * index.data(kLevelRole).toInt());
        size.setHeight(kItemHeight);
        return size;
    }
};

std::string NameOf(const std::string& path) {
    return platform::IsRoot(path) ? path : platform::SplitPath(path).Name;
}

}  // namespace

FolderListBox::FolderListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setUniformItemSizes(true);
    setIconSize(QSize(16, 14));
    connect(this, &QListWidget::itemActivated, this, &FolderListBox::OpenLine);
}

void FolderListBox::SetFolder(const std::string& folder) {
    m_folder = platform::FolderLevels(folder).back();
    Rebuild();
    emit FolderChanged();
}

void FolderListBox::Rebuild() {
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    const std::vector<std::string> levels = platform::FolderLevels(m_folder);
    int level = 0;
    for (const std::string& path : levels) {
        auto* item = new QListWidgetItem(openIcon, PathText(NameOf(path)), this);
        item->setData(kPathRole, QByteArray::fromStdString(path));
        item->setData(kLevelRole, level++);
    }
    setCurrentRow(count() - 1);

    std::vector<std::string> names;
    for (const platform::FolderEntry& entry : platform::ListFolder(m_folder).Entries) {
        if (entry.Kind == platform::EntryKind::Folder) {
            names.push_back(entry.Name);
        }
    }
    QCollator collator;
    std::sort(names.begin(), names.end(), [&collator](const std::string& a, const std::string& b) {
        return collator.compare(PathText(a), PathText(b)) < 0;
    });
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(closedIcon, PathText(name), this);
        item->setData(kPathRole, QByteArray::fromStdString(platform::JoinPath(m_folder, name)));
        item->setData(kLevelRole, level);
    }
}

void FolderListBox::OpenLine(QListWidgetItem* item) {
    if (item != nullptr) {
        SetFolder(item->data(kPathRole).toByteArray().toStdString());
    }
}
