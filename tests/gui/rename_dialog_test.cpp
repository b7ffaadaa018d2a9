#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "dialogs/Rename_dialog.h"

class RenameDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void LayoutTexts();
    void EnterAtOnceConfirmsTheUnchangedName();
    void TypingReplacesTheSelectedName();
    void EveryWayOutButOkIsCancel_data();
    void EveryWayOutButOkIsCancel();

  private:
    // Shows `dialog` modally and runs `act` once it is the active window; returns the result.
    static int ExecWith(TRenameDialog& dialog, const std::function<void()>& act);
};

int RenameDialogTest::ExecWith(TRenameDialog& dialog, const std::function<void()>& act) {
    QTimer::singleShot(0, &dialog, [&dialog, act] {
        if (!QTest::qWaitForWindowActive(&dialog)) {
            dialog.done(-1);
            return;
        }
        act();
    });
    return dialog.exec();
}

void RenameDialogTest::LayoutTexts() {
    TRenameDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("ファイル名変更"));
    QCOMPARE(dialog.size(), QSize(375, 144));
    QCOMPARE(dialog.Label1->text(), QStringLiteral("新しい名前"));
    QCOMPARE(dialog.OKBtn->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.CancelBtn->text(), QStringLiteral("キャンセル"));
    QVERIFY(dialog.OKBtn->isDefault());
}

void RenameDialogTest::EnterAtOnceConfirmsTheUnchangedName() {
    TRenameDialog dialog;
    dialog.NoticeLabel->setText(QStringLiteral("'a.txt'の新しい名前を入力して下さい"));
    dialog.NewName->setText(QStringLiteral("a.txt"));
    bool focusedAndSelected = false;
    const int result = ExecWith(dialog, [&] {
        focusedAndSelected = QApplication::focusWidget() == dialog.NewName &&
                             dialog.NewName->selectedText() == QStringLiteral("a.txt");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(focusedAndSelected);
    QCOMPARE(dialog.NewName->text(), QStringLiteral("a.txt"));
}

void RenameDialogTest::TypingReplacesTheSelectedName() {
    TRenameDialog dialog;
    dialog.NewName->setText(QStringLiteral("old name.txt"));
    const int result = ExecWith(dialog, [&] {
        // The focus left for the OK button and came back: the name is selected again.
        dialog.OKBtn->setFocus(Qt::TabFocusReason);
        dialog.NewName->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(dialog.NewName, QStringLiteral("new.txt"));
        dialog.OKBtn->click();
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(dialog.NewName->text(), QStringLiteral("new.txt"));
}

void RenameDialogTest::EveryWayOutButOkIsCancel_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("Esc") << "esc";
    QTest::newRow("cancel button") << "cancel";
    QTest::newRow("close box") << "close";
}

void RenameDialogTest::EveryWayOutButOkIsCancel() {
    QFETCH(QString, way);
    TRenameDialog dialog;
    dialog.NewName->setText(QStringLiteral("a.txt"));
    const int result = ExecWith(dialog, [&] {
        QTest::keyClicks(dialog.NewName, QStringLiteral("b.txt"));
        if (way == "esc") {
            QTest::keyClick(dialog.NewName, Qt::Key_Escape);
        } else if (way == "cancel") {
            QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);
        } else {
            dialog.close();
        }
    });
    QCOMPARE(result, int(QDialog::Rejected));
}

QTEST_MAIN(RenameDialogTest)
#include "rename_dialog_test.moc"
