#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "gui_support.h"
#include "main/targets_page.h"

class TargetsPageTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void FoldersKeepTheirBytesAndAppearOnce();
    void RemoveTakesOffOnlyTheSelectedFolder();
    void ARowEditedInPlaceIsTakenAsTyped();

  private:
    QTreeWidget* List() const { return Named<QTreeWidget>(m_page, "SearchList"); }

    TargetsPage* m_page = nullptr;
};

void TargetsPageTest::init() {
    m_page = new TargetsPage(nullptr);
}

void TargetsPageTest::cleanup() {
    delete m_page;
    m_page = nullptr;
}

void TargetsPageTest::FoldersKeepTheirBytesAndAppearOnce() {
    // A name that is not valid UTF-8 shows decoded, but the search gets its bytes.
    const std::string latin1 =
        "/data/m\xe9"
        "dia";
    for (const std::string& folder :
         {latin1, std::string("/data/b"), std::string(), latin1, std::string("/data/b")}) {
        m_page->AddFolder(folder);
    }
    const std::vector<std::string> targets = m_page->Targets();
    QCOMPARE(targets.size(), std::size_t{2});
    QVERIFY(targets[0] == latin1 || targets[1] == latin1);
    QVERIFY(targets[0] == "/data/b" || targets[1] == "/data/b");
}

void TargetsPageTest::RemoveTakesOffOnlyTheSelectedFolder() {
    m_page->AddFolder("/data/a");
    m_page->AddFolder("/data/b");
    m_page->RemoveSelected();  // nothing selected
    QCOMPARE(m_page->Targets(), (std::vector<std::string>{"/data/a", "/data/b"}));

    List()->setCurrentItem(List()->topLevelItem(1));
    m_page->RemoveSelected();
    QCOMPARE(m_page->Targets(), std::vector<std::string>{"/data/a"});
}

void TargetsPageTest::ARowEditedInPlaceIsTakenAsTyped() {
    m_page->AddFolder(
        "/data/m\xe9"
        "dia");
    List()->topLevelItem(0)->setText(0, QStringLiteral("/data/写真"));
    QCOMPARE(m_page->Targets(), std::vector<std::string>{
                                    QFile::encodeName(QStringLiteral("/data/写真")).toStdString()});
    // The edited folder counts as listed.
    m_page->AddFolder(QFile::encodeName(QStringLiteral("/data/写真")).toStdString());
    QCOMPARE(List()->topLevelItemCount(), 1);
}

QTEST_MAIN(TargetsPageTest)
#include "targets_page_test.moc"
