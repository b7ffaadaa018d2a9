#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "dialogs/About.h"

class AboutTest : public QObject {
    Q_OBJECT

  private slots:
    void StartsWithoutPlaceholdersAndIgnoresEsc();
    void ShowsTheProgramIcon();
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

void AboutTest::ShowsTheProgramIcon() {
    // The same picture that the desktop's menu shows for the program.
    const QPixmap installed(QStringLiteral(DOPPLET_ICON_FILE));
    QVERIFY(!installed.isNull());
    TAboutBox box;
    const QPixmap shown = box.ProgramIcon->pixmap();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32),
             installed.scaled(shown.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)
                 .toImage()
                 .convertToFormat(QImage::Format_ARGB32));
}

QTEST_MAIN(AboutTest)
#include "about_test.moc"
