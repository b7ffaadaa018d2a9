#include "main/results_page.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/window_font.h"
#include "main/group_list_model.h"
#include "main/member_list_model.h"
#include "main/report_list.h"
#include "main/window_parts.h"

namespace {

// The designed window: 709 × 459 client pixels below a menu bar.
constexpr int kDesignedWidth = 709;
constexpr int kSurplusColumnWidth = 80;
// The member list's columns that only the name modes show.
constexpr int kSizeColumnWidth = 50;
constexpr int kContentColumnWidth = 40;

}  // namespace

ResultsPage::ResultsPage(search::ResultTable& table, KeepChoice keep, QWidget* parent)
    : QWidget(parent),
      m_groups(new GroupListModel(table, this)),
      m_members(new MemberListModel(table, this)) {
    BuildMemberMenu();
    BuildLists();
    BuildButtons();
    m_shown = std::make_unique<ShownGroup>(table, *m_members, m_sizeLabel, std::move(keep));
}

ResultsPage::~ResultsPage() = default;

void ResultsPage::ShowMembersOf(int group) {
    m_shown->Show(group);
    emit MembersShown();
}

void ResultsPage::ShowSelectedGroup() {
    if (const std::optional<int> group = SelectedGroup()) {
        ShowMembersOf(*group);
    }
}

void ResultsPage::Clear() {
    m_groups->Clear();
    m_members->Clear();
    // New rows come in the order found.
    m_sortColumn = -1;
    m_sortOrder = Qt::AscendingOrder;
    m_groupView->header()->setSortIndicatorShown(false);
}

void ResultsPage::BuildLists() {
    auto* page = NewColumn(this);
    QFrame* middle = NamedPanel(this, QStringLiteral("Panel14"));
    auto* row = new QHBoxLayout(middle);
    row->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter(Qt::Horizontal, middle);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setHandleWidth(4);
    splitter->setChildrenCollapsible(false);
    row->addWidget(splitter);

    m_groupView = NewReportView(splitter, m_groups, {130, 60, kSurplusColumnWidth});
    m_groupView->setObjectName(QStringLiteral("SameList"));
    m_groupView->header()->setSectionsClickable(true);

    QFrame* right = NamedPanel(splitter, QStringLiteral("Panel2"));
    auto* column = NewColumn(right);
    m_sizeLabel = new QLabel(right);
    m_sizeLabel->setObjectName(QStringLiteral("FileSizeView"));
    m_sizeLabel->setFixedHeight(std::max(12, TextLineHeight(m_sizeLabel->font())));
    m_sizeLabel->setTextFormat(Qt::PlainText);
    m_memberView =
        NewReportView(right, m_members, {150, 250, 130, kSizeColumnWidth, kContentColumnWidth});
    m_memberView->setObjectName(QStringLiteral("DetailList"));
    // The designed width, or as much as the longest date needs in the font that draws it.
    m_memberView->setColumnWidth(MemberListModel::kDateColumn,
                                 std::max(130, m_memberView->fontMetrics().horizontalAdvance(
                                                   QStringLiteral("0000/00/00 00:00:00")) +
                                                   10));
    // The content column stands beside the name, where it is seen without scrolling.
    m_memberView->header()->moveSection(MemberListModel::kContentColumn, 1);
    m_memberView->header()->setSectionsClickable(false);
    m_memberView->header()->setSortIndicatorShown(false);
    m_memberView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_memberView->addActions(m_memberActions);
    connect(m_memberView, &QWidget::customContextMenuRequested, this,
            &ResultsPage::PopUpMemberMenu);
    column->addWidget(m_sizeLabel);
    column->addWidget(m_memberView, 1);
    splitter->setSizes({217, kDesignedWidth - 217});
    splitter->setStretchFactor(1, 1);
    page->addWidget(middle, 1);
}

void ResultsPage::BuildButtons() {
    QFrame* buttons = NamedPanel(this, QStringLiteral("Panel5"));
    buttons->setFixedHeight(41);
    // Six buttons in the width of the smallest window.
    const struct {
        const char* Name;
        QString Caption;
        int Left;
        int Width;
        void (ResultsPage::*Signal)();
    } commands[] = {
        {"OpenButton", QStringLiteral("開く(&O)"), 16, 80, &ResultsPage::OpenRequested},
        {"RenameButton", QStringLiteral("名前を変える(&M)"), 104, 105,
         &ResultsPage::RenameRequested},
        {"MoveButton", QStringLiteral("移動する(&T)"), 217, 90, &ResultsPage::MoveRequested},
        {"FileDelButton", QStringLiteral("削除する(&D)"), 315, 90, &ResultsPage::DeleteRequested},
        {"AllDelete", QStringLiteral("まとめて削除(&A)"), 413, 105,
         &ResultsPage::BulkDeleteRequested},
        {"PreviewButton", QStringLiteral("下見する(&V)"), 526, 90, &ResultsPage::PreviewRequested},
    };
    for (const auto& command : commands) {
        QPushButton* button =
            NewButton(buttons, command.Caption, command.Left, 16, command.Width, 25);
        button->setObjectName(QString::fromLatin1(command.Name));
        connect(button, &QPushButton::clicked, this, command.Signal);
    }
    QFrame* bottom = NamedPanel(this, QStringLiteral("Panel4"));
    bottom->setFixedHeight(13);
    auto* page = static_cast<QVBoxLayout*>(layout());
    page->addWidget(buttons);
    page->addWidget(bottom);
}

void ResultsPage::BuildMemberMenu() {
    m_memberMenu = new QMenu(this);
    m_memberMenu->setObjectName(QStringLiteral("DetailMenu"));
    const auto add = [this](const char* name, const QString& text, void (ResultsPage::*signal)()) {
        QAction* action = m_memberMenu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        // The keys act on the member list only.
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, signal);
        m_memberActions << action;
        return action;
    };
    QAction* open = add("DetailOpen", QStringLiteral("開く(&O)"), &ResultsPage::OpenRequested);
    QFont bold = open->font();
    bold.setBold(true);
    open->setFont(bold);
    m_memberMenu->setDefaultAction(open);
    add("DetailRename", QStringLiteral("名前変更(&M)"), &ResultsPage::RenameRequested)
        ->setShortcut(Qt::Key_F2);
    add("DetailMove", QStringLiteral("移動(&T)"), &ResultsPage::MoveRequested)
        ->setShortcut(Qt::Key_F7);
    QAction* remove =
        add("DetailDelete", QStringLiteral("削除(&D)"), &ResultsPage::DeleteRequested);
    remove->setShortcut(Qt::Key_Delete);
    // A held Del key repeats; one press deletes one file.
    remove->setAutoRepeat(false);
    m_memberMenu->addSeparator();
    add("DetailProperty", QStringLiteral("ﾌﾟﾛﾊﾟﾃｨ(&R)"), &ResultsPage::PropertiesRequested);
}

bool ResultsPage::SelectGroup(int group) {
    const int row = m_groups->RowOf(group);
    if (row < 0) {
        return false;
    }
    m_groupView->setCurrentIndex(m_groups->index(row, 0));
    return true;
}

std::optional<int> ResultsPage::SelectedGroup() const {
    const QModelIndexList rows = m_groupView->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    return m_groups->GroupAt(rows.front().row());
}

bool ResultsPage::SelectMember(int slot) {
    const int row = m_members->RowOf(slot);
    if (row < 0) {
        return false;
    }
    m_memberView->setCurrentIndex(m_members->index(row, 0));
    return true;
}

std::optional<int> ResultsPage::SelectedSlot() const {
    const QModelIndexList rows = m_memberView->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    return m_members->SlotAt(rows.front().row());
}

void ResultsPage::SortGroupsBy(int column) {
    m_sortOrder = column == m_sortColumn && m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                              : Qt::AscendingOrder;
    m_sortColumn = column;
    m_groups->sort(column, m_sortOrder);
    m_groupView->header()->setSortIndicatorShown(true);
    m_groupView->header()->setSortIndicator(column, m_sortOrder);
}

void ResultsPage::ShowCompareMode(int mode) {
    m_groupView->setColumnHidden(GroupListModel::kSurplusColumn, mode != 0);
    if (mode == 0) {
        m_sizeLabel->setFixedHeight(std::max(12, TextLineHeight(m_sizeLabel->font())));
        m_sizeLabel->show();
        KeepMemberColumnsOf(mode);
    } else {
        m_sizeLabel->clear();
        m_sizeLabel->setFixedHeight(0);
        m_sizeLabel->hide();
        m_memberView->setColumnWidth(MemberListModel::kSizeColumn, kSizeColumnWidth);
        m_memberView->setColumnWidth(MemberListModel::kContentColumn, kContentColumnWidth);
    }
}

void ResultsPage::KeepMemberColumnsOf(int mode) {
    // In the content mode every member has the group's size, shown once above the list, and the
    // group's bytes: a size or content column that the user dragged open closes again.
    for (const int column : {MemberListModel::kSizeColumn, MemberListModel::kContentColumn}) {
        if (mode == 0 && m_memberView->columnWidth(column) != 0) {
            m_memberView->setColumnWidth(column, 0);
        }
    }
}

void ResultsPage::AttachMemberMenu(bool attached) {
    if (attached) {
        m_memberView->addActions(m_memberActions);
        m_memberView->setContextMenuPolicy(Qt::CustomContextMenu);
    } else {
        for (QAction* action : m_memberActions) {
            m_memberView->removeAction(action);
        }
        m_memberView->setContextMenuPolicy(Qt::PreventContextMenu);
    }
}

void ResultsPage::PopUpMemberMenu(const QPoint& position) {
    m_memberMenu->popup(m_memberView->viewport()->mapToGlobal(position));
}
