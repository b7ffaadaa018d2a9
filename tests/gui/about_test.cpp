#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "dialogs/About.h"

class AboutTest : public QObject {
    Q_OBJECT

  private slots:
    void StartsWithoutPlaceholdersAndIgnoresEsc();
};

void AboutTest::StartsWithoutPlaceholdersAndIgnoresEsc() {
    TAboutBox box;
    for (const QLabel* label :
         {box.ProductName, box.Version, box.Copyright, box.OtherInfo, box.DebugInfo}) {
        QCOMPARE(label->text(), QString());
    }
    QCOMPARE(box.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));

    box.show();
    QTest::keyClick(&box, Qt::Key_Escape);
    QVERIFY(box.isVisible());
    box.OKButton->click();
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), static_cast<int>(QDialog::Accepted));
}

QTEST_MAIN(AboutTest)
#include "about_test.moc"
