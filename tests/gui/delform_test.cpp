#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "dialogs/Delform.h"
#include "dialogs/user_dialogs.h"
#include "gui_support.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace

class DelFormTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void LayoutAndRows();
    void ShowingFromHiddenEmptiesTheList();
    void SavedReportHasOneLinePerRow();
    void SavingReplacesAnExistingFile();
    void CancelledSaveWritesNothing();
    void UnwritableFileShowsAMessage();

  private:
    // Answers the save dialog with `path`, or cancels it when `path` is empty.
    void ChooseFile(const QString& path);

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<TDelListForm> m_form;
    std::unique_ptr<MessageRecorder> m_messages;
    QString m_dialogTitle;
};

void DelFormTest::initTestCase() {
    QVERIFY(m_home.isValid());
    UsePrivateHome(m_home);
}

void DelFormTest::init() {
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_messages = std::make_unique<MessageRecorder>();
    m_form = std::make_unique<TDelListForm>();
    m_form->show();
}

void DelFormTest::cleanup() {
    m_form.reset();
    m_messages.reset();
    UserDialogs::SetDialogAnswerer({});
    m_folder.reset();
}

void DelFormTest::ChooseFile(const QString& path) {
    UserDialogs::SetDialogAnswerer([this, path](QDialog& dialog) -> std::optional<int> {
        auto* save = qobject_cast<QFileDialog*>(&dialog);
        if (save == nullptr) {
            return QDialog::Rejected;
        }
        m_dialogTitle = save->windowTitle();
        if (path.isEmpty()) {
            return QDialog::Rejected;
        }
        save->selectFile(path);
        return QDialog::Accepted;
    });
}

void DelFormTest::LayoutAndRows() {
    QCOMPARE(m_form->windowTitle(), QStringLiteral("一括削除状態表示"));
    const QTableWidget* list = m_form->ProgressList;
    QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("対象ファイル"));
    QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("状況"));
    QCOMPARE(list->columnWidth(0), 400);
    QCOMPARE(list->columnWidth(1), 150);
    QCOMPARE(m_form->File1->title(), QStringLiteral("ﾌｧｲﾙ(&F)"));
    QCOMPARE(m_form->ListSave->text(), QStringLiteral("保存"));
    QVERIFY(m_form->N1->isSeparator());
    QCOMPARE(m_form->ProgressExit->text(), QStringLiteral("終了"));

    m_form->AddReportRow("/TMP/A.TXT", func::ReportStatus::NotDeleted);
    m_form->AddReportRow("/tmp/a.txt", func::ReportStatus::Deleted);
    m_form->AddReportRow("/tmp/b.txt", func::ReportStatus::DeleteFailed);
    QCOMPARE(list->rowCount(), 3);
    const QStringList statuses{list->item(0, 1)->text(), list->item(1, 1)->text(),
                               list->item(2, 1)->text()};
    QCOMPARE(statuses, (QStringList{QStringLiteral("削除しません"), QStringLiteral("削除"),
                                    QStringLiteral("削除失敗")}));
    QCOMPARE(list->item(1, 0)->text(), QStringLiteral("/tmp/a.txt"));
    QVERIFY(!(list->item(0, 0)->flags() & Qt::ItemIsEditable));
}

void DelFormTest::ShowingFromHiddenEmptiesTheList() {
    m_form->AddReportRow("/x", func::ReportStatus::Deleted);
    m_form->show();  // already visible: the rows stay
    QCOMPARE(m_form->ProgressList->rowCount(), 1);

    m_form->ProgressExit->trigger();
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_form->ProgressList->rowCount(), 1);  // closing only hides

    m_form->show();
    QCOMPARE(m_form->ProgressList->rowCount(), 0);
    QVERIFY(m_form->Rows().empty());
}

void DelFormTest::SavedReportHasOneLinePerRow() {
    // A name that is not valid UTF-8 is written with its own bytes.
    m_form->AddReportRow("/DATA/A.TXT", func::ReportStatus::NotDeleted);
    m_form->AddReportRow("/data/\xff\xfe.txt", func::ReportStatus::Deleted);
    const QString path = m_folder->filePath("report.txt");
    ChooseFile(path);

    m_form->ListSave->trigger();

    QCOMPARE(m_dialogTitle, QStringLiteral("削除結果の保存"));
    QCOMPARE(ReadAll(path), QByteArray("/DATA/A.TXT :削除しません\r\n"
                                       "/data/\xff\xfe.txt :削除\r\n"));
    QVERIFY(m_messages->Texts.isEmpty());
}

void DelFormTest::SavingReplacesAnExistingFile() {
    const QString path = m_folder->filePath("old.txt");
    WriteTree(m_folder->path(), {{"old.txt", "an older and longer report\r\n"}});
    ChooseFile(path);

    m_form->ListSave->trigger();  // an empty list gives an empty file
    QCOMPARE(ReadAll(path), QByteArray());

    m_form->AddReportRow("/b", func::ReportStatus::DeleteFailed);
    m_form->ListSave->trigger();
    QCOMPARE(ReadAll(path), QByteArray("/b :削除失敗\r\n"));
    QVERIFY(m_messages->Texts.isEmpty());
}

void DelFormTest::CancelledSaveWritesNothing() {
    m_form->AddReportRow("/a", func::ReportStatus::Deleted);
    ChooseFile(QString());
    m_form->ListSave->trigger();
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(m_messages->Texts.isEmpty());
}

void DelFormTest::UnwritableFileShowsAMessage() {
    m_form->AddReportRow("/a", func::ReportStatus::Deleted);
    // A file below a plain file cannot be created, whoever runs the test.
    WriteTree(m_folder->path(), {{"plain", "not a folder"}});
    ChooseFile(m_folder->filePath("plain/report.txt"));

    m_form->ListSave->trigger();

    QCOMPARE(m_messages->Texts, QStringList{QStringLiteral("ファイルが開けません")});
    QCOMPARE(ReadAll(m_folder->filePath("plain")), QByteArray("not a folder"));
}

QTEST_MAIN(DelFormTest)
#include "delform_test.moc"
