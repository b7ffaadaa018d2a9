#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "gui_support.h"
#include "main/main_form.h"
#include "main/no_delete_page.h"
#include "main/program_windows.h"

namespace {

QStringList Captions(const QTreeWidget* list) {
    QStringList captions;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        captions << list->topLevelItem(i)->text(0);
    }
    return captions;
}

}  // namespace

class NoDeletePageTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void EnterAddsTheUpperCasedTextOnce();
    void EntriesStaySorted();
    void EditsWaitForTheFocusToLeave();
    void EditorTypingUpperCasesTheEntry();
    void TextWithLineBreaksBecomesOneEntryPerLine_data();
    void TextWithLineBreaksBecomesOneEntryPerLine();
    void AFileIsProtectedByTheFirstEntryItsPathHolds();

  private:
    void Type(const QString& text);
    QTreeWidgetItem* Row(const QString& caption) const;

    QTemporaryDir m_home;
    TMainForm* m_window = nullptr;
    QLineEdit* m_addText = nullptr;
    QTreeWidget* m_noDelList = nullptr;
};

void NoDeletePageTest::initTestCase() {
    QVERIFY(m_home.isValid());
    UsePrivateHome(m_home);
}

void NoDeletePageTest::init() {
    CreateProgramWindows();
    m_window = MainForm;
    m_addText = Named<QLineEdit>(m_window, "AddText");
    m_noDelList = Named<QTreeWidget>(m_window, "NoDelList");
    ShowPage(m_window, "TabSheet3");
    m_window->show();
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void NoDeletePageTest::cleanup() {
    DestroyProgramWindows();
    m_window = nullptr;
    m_addText = nullptr;
    m_noDelList = nullptr;
}

void NoDeletePageTest::Type(const QString& text) {
    m_addText->setFocus();
    m_addText->setText(text);
    QTest::keyClick(m_addText, Qt::Key_Return);
}

QTreeWidgetItem* NoDeletePageTest::Row(const QString& caption) const {
    const QList<QTreeWidgetItem*> rows = m_noDelList->findItems(caption, Qt::MatchExactly, 0);
    return rows.size() == 1 ? rows.front() : nullptr;
}

void NoDeletePageTest::EnterAddsTheUpperCasedTextOnce() {
    QCOMPARE(m_noDelList->headerItem()->text(0), QStringLiteral("削除しちゃ駄目リスト"));
    QCOMPARE(Named<QLabel>(m_window, "Label1")->text(), QStringLiteral("追加する"));

    Type(QStringLiteral("c:\\work"));
    QCOMPARE(Captions(m_noDelList), QStringList{QStringLiteral("C:\\WORK")});
    QCOMPARE(m_addText->text(), QString());

    Type(QStringLiteral("C:\\work"));  // already listed
    Type(QString());                   // nothing typed
    Type(QStringLiteral(" \t "));      // only blanks
    QCOMPARE(Captions(m_noDelList), QStringList{QStringLiteral("C:\\WORK")});

    // Blanks around a real entry stay; letters beyond a to z keep their case.
    Type(QStringLiteral(" c:\\x"));
    Type(QStringLiteral("ｄａｔａ/写真"));
    QVERIFY(Row(QStringLiteral(" C:\\X")) != nullptr);
    QVERIFY(Row(QStringLiteral("ｄａｔａ/写真")) != nullptr);
    QCOMPARE(m_noDelList->topLevelItemCount(), 3);
}

void NoDeletePageTest::EntriesStaySorted() {
    for (const char* entry : {"/zeta", "/alpha", "/MIDDLE", "/beta"}) {
        Type(entry);
    }
    QCOMPARE(Captions(m_noDelList), (QStringList{"/ALPHA", "/BETA", "/MIDDLE", "/ZETA"}));
    QCOMPARE(m_window->NoDelEntries(),
             (std::vector<std::string>{"/ALPHA", "/BETA", "/MIDDLE", "/ZETA"}));
}

void NoDeletePageTest::EditsWaitForTheFocusToLeave() {
    for (const char* entry : {"/a", "/b", "/c"}) {
        Type(entry);
    }
    m_noDelList->setFocus();
    // An accepted in-place edit is upper-cased at once; a blank or a doubled entry stays...
    Row("/A")->setText(0, QStringLiteral("   "));
    Row("/B")->setText(0, QStringLiteral("/c"));
    QCOMPARE(Captions(m_noDelList), (QStringList{"   ", "/C", "/C"}));
    QTest::qWait(0);
    QCOMPARE(m_noDelList->topLevelItemCount(), 3);

    // ...until the focus leaves the list.
    m_addText->setFocus();
    QTRY_COMPARE(Captions(m_noDelList), QStringList{"/C"});
}

void NoDeletePageTest::EditorTypingUpperCasesTheEntry() {
    Type(QStringLiteral("/one"));
    Type(QStringLiteral("/two"));
    QTreeWidget* list = m_noDelList;
    list->setFocus();
    list->setCurrentItem(Row("/TWO"));
    QTest::keyClick(list, Qt::Key_F2);  // edit in place
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor != nullptr);
    // Going into the editor is not leaving the list: nothing is tidied meanwhile.
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("/one"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(0);
    QCOMPARE(Captions(list), (QStringList{"/ONE", "/ONE"}));

    m_addText->setFocus();
    QTRY_COMPARE(Captions(list), QStringList{"/ONE"});
}

void NoDeletePageTest::TextWithLineBreaksBecomesOneEntryPerLine_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("pasted into the add box") << "add";
    QTest::newRow("pasted into an in-place edit") << "edit";
}

void NoDeletePageTest::TextWithLineBreaksBecomesOneEntryPerLine() {
    QFETCH(QString, how);
    const QString pasted = QStringLiteral("/b\n/a\r\n\r\n/c\r");
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText(pasted);
    if (clipboard->text() != pasted) {
        QSKIP("this platform's clipboard does not keep the text");
    }
    QLineEdit* editor = m_addText;
    if (how == "edit") {
        Type(QStringLiteral("/old"));
        m_noDelList->setFocus();
        m_noDelList->setCurrentItem(Row("/OLD"));
        QTest::keyClick(m_noDelList, Qt::Key_F2);
        editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor != nullptr);
        editor->selectAll();
    } else {
        editor->setFocus();
    }
    editor->paste();
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(0);

    // No entry holds a line break, not even before the tidy.
    for (const QString& caption : Captions(m_noDelList)) {
        QVERIFY2(!caption.contains(QLatin1Char('\n')) && !caption.contains(QLatin1Char('\r')),
                 qPrintable(caption));
    }
    Named<QPushButton>(m_window, "SearchButton")->setFocus();
    QTRY_COMPARE(Captions(m_noDelList), (QStringList{"/A", "/B", "/C"}));
    QCOMPARE(m_window->NoDelEntries(), (std::vector<std::string>{"/A", "/B", "/C"}));
}

void NoDeletePageTest::AFileIsProtectedByTheFirstEntryItsPathHolds() {
    for (const char* entry : {"/keep", "c:\\work", "/photos/2023"}) {
        Type(entry);
    }
    const NoDeletePage* page = Named<NoDeletePage>(m_window, "TabSheet3");
    struct Case {
        const char* Path;
        const char* Entry;  // nullptr: the file may go
    };
    // Letters a to z match in either case, anywhere in the path.
    const Case cases[] = {
        {"/home/u/Keep/x.txt", "/KEEP"},   {"/home/u/keeper.txt", "/KEEP"},
        {"c:\\Work\\a.txt", "C:\\WORK"},   {"/photos/2023/sea.jpg", "/PHOTOS/2023"},
        {"/photos/2024/sea.jpg", nullptr}, {"/home/u/kee/p.txt", nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> entry = page->ProtectingEntry(c.Path);
        QVERIFY2(entry.has_value() == (c.Entry != nullptr), c.Path);
        if (c.Entry != nullptr) {
            QCOMPARE(*entry, std::string(c.Entry));
        }
    }
}

QTEST_MAIN(NoDeletePageTest)
#include "no_delete_page_test.moc"
