#include "main/group_export_dialog.h"

#include <QFileDialog>
#include <string>
#include <system_error>
#include <vector>

#include "dialogs/path_text.h"
#include "dialogs/user_dialogs.h"
#include "func/group_export.h"
#include "main/group_list_model.h"

namespace {

const QString kCsvFilter = QStringLiteral("CSV ファイル (*.csv)");
const QString kJsonFilter = QStringLiteral("JSON Lines ファイル (*.jsonl)");

}  // namespace

void GroupExportDialog::Export(const search::ResultTable& table, const GroupListModel& groups,
                               const std::function<void()>& flushPendingRows) {
    flushPendingRows();
    if (groups.Count() == 0) {
        return;
    }
    if (m_dialog == nullptr) {
        m_dialog = new QFileDialog(m_parent, QStringLiteral("検索結果の書き出し"));
        m_dialog->setAcceptMode(QFileDialog::AcceptSave);
        m_dialog->setFileMode(QFileDialog::AnyFile);
        m_dialog->setNameFilters({kCsvFilter, kJsonFilter});
        m_dialog->setDefaultSuffix(QStringLiteral("csv"));
        QObject::connect(m_dialog, &QFileDialog::filterSelected, m_dialog,
                         [dialog = m_dialog](const QString& filter) {
                             dialog->setDefaultSuffix(filter == kJsonFilter
                                                          ? QStringLiteral("jsonl")
                                                          : QStringLiteral("csv"));
                         });
    }
    if (UserDialogs::Exec(*m_dialog) != QDialog::Accepted) {
        return;
    }
    const QStringList chosen = m_dialog->selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) {
        return;
    }
    // The groups in the order the list shows them; the dialog's event loop may have changed it.
    flushPendingRows();
    std::vector<const search::ResultGroup*> listed;
    for (int row = 0; row < groups.Count(); ++row) {
        listed.push_back(&table.Group(groups.GroupAt(row)));
    }
    const func::ExportFormat format = m_dialog->selectedNameFilter() == kJsonFilter
                                          ? func::ExportFormat::JsonLines
                                          : func::ExportFormat::Csv;
    const std::string path = PathBytes(chosen.front());
    if (const std::error_code error = func::SaveGroupExport(path, listed, format)) {
        UserDialogs::Show(m_parent, QMessageBox::Warning,
                          QStringLiteral("%1 に書き込めません（%2）")
                              .arg(chosen.front(), QString::fromLocal8Bit(error.message())));
    }
}
