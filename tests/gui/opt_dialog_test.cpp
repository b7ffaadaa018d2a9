#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "dialogs/Opt_dialog.h"
#include "dialogs/radio_group.h"

class OptDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void PriorityClassesMapToItemsAndBack();
    void ItemIndexIsClamped();
    void EscDoesNothingAndCloseBoxCancels();
    void KeepChoiceStartsAtTheFirstFoundAndFitsTheDialog();
};

void OptDialogTest::PriorityClassesMapToItemsAndBack() {
    struct Case {
        int PriorityClass;
        int Item;
    };
    const Case shown[] = {{256, 0}, {128, 1}, {32, 2}, {64, 3}, {16384, 2}, {0, 2}, {-1, 2}};
    for (const Case& c : shown) {
        QCOMPARE(TOptSettingForm::PriorityItemOf(c.PriorityClass), c.Item);
    }
    const Case stored[] = {{256, 0}, {128, 1}, {32, 2}, {64, 3}};
    for (const Case& c : stored) {
        QCOMPARE(TOptSettingForm::PriorityClassOf(c.Item, 16384), c.PriorityClass);
    }
    // No item chosen keeps the class that was there.
    QCOMPARE(TOptSettingForm::PriorityClassOf(-1, 16384), 16384);
}

void OptDialogTest::ItemIndexIsClamped() {
    TOptSettingForm form;
    QCOMPARE(form.SPriority->ItemIndex(), 2);
    QCOMPARE(form.SearchMode->ItemIndex(), 0);
    struct Case {
        int Set;
        int Read;
    };
    const Case cases[] = {{7, 2}, {-1, -1}, {-5, -1}, {1, 1}, {3, 2}};
    for (const Case& c : cases) {
        form.SearchMode->SetItemIndex(c.Set);
        QCOMPARE(form.SearchMode->ItemIndex(), c.Read);
    }
    // After "no item" the user can still pick one.
    form.SearchMode->SetItemIndex(-1);
    form.SearchMode->Item(1)->click();
    QCOMPARE(form.SearchMode->ItemIndex(), 1);
}

void OptDialogTest::EscDoesNothingAndCloseBoxCancels() {
    TOptSettingForm form;
    QSignalSpy finished(&form, &QDialog::finished);
    form.show();
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    QCOMPARE(finished.count(), 0);

    form.close();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(form.result(), static_cast<int>(QDialog::Rejected));

    form.show();
    form.CancelButton->click();
    QCOMPARE(form.result(), static_cast<int>(QDialog::Rejected));
    form.show();
    QTest::keyClick(&form, Qt::Key_Return);
    QCOMPARE(form.result(), static_cast<int>(QDialog::Accepted));
}

void OptDialogTest::KeepChoiceStartsAtTheFirstFoundAndFitsTheDialog() {
    TOptSettingForm form;
    QCOMPARE(form.KeepChoice->ItemIndex(), 0);
    QCOMPARE(form.KeepChoice->Count(), 4);
    QCOMPARE(form.KeepChoice->Item(0)->text(), QStringLiteral("最初に見つけたファイル（標準）"));
    // Below the search settings and above the buttons, inside the dialog.
    QVERIFY(form.KeepChoice->geometry().top() >= form.Label1->geometry().bottom());
    QVERIFY(form.KeepChoice->geometry().bottom() < form.OKButton->geometry().top());
    QVERIFY(form.rect().contains(form.OKButton->geometry()));
}

QTEST_MAIN(OptDialogTest)
#include "opt_dialog_test.moc"
