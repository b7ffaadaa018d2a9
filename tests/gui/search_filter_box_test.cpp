// The options dialog's search filters: sizes in units, the pattern list's editing, read-back.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "dialogs/Opt_dialog.h"
#include "dialogs/search_filter_box.h"

namespace {

using Filter = func::SearchFilterSettings;

QStringList Rows(const QTreeWidget& list) {
    QStringList rows;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        rows << list.topLevelItem(i)->text(0);
    }
    return rows;
}

void Type(SearchFilterBox& box, const QString& text) {
    box.ExcludeText->setText(text);
    QTest::keyClick(box.ExcludeText, Qt::Key_Return);
}

}  // namespace

class SearchFilterBoxTest : public QObject {
    Q_OBJECT

  private slots:
    void SizesGoInUnitsOf1024();
    void ShowsAFilterAndReadsItBack();
    void ThePatternListIsEditedLikeTheMustNotDeleteList();
    void AMinimumAboveTheMaximumHoldsBackOk();
};

void SearchFilterBoxTest::SizesGoInUnitsOf1024() {
    struct Case {
        const char* Number;
        int Unit;
        std::int64_t Size;
    };
    const Case cases[] = {
        {"", 0, -1},
        {"0", 0, 0},
        {"1", 1, 1024},
        {"1", 2, 1048576},
        {"3", 3, 3LL << 30},
        {"1536", 1, 1536 * 1024},
        {"999999999", 3, 999999999LL << 30},
    };
    for (const Case& c : cases) {
        const QString number = QString::fromLatin1(c.Number);
        QCOMPARE(SizeOf(number, c.Unit, -1), c.Size);
        if (c.Size > 0) {
            // Shown in the largest unit that holds it whole.
            const auto [text, unit] = SizeText(c.Size, -1);
            QCOMPARE(SizeOf(text, unit, -1), c.Size);
        }
    }
    QCOMPARE(SizeText(1536 * 1024, -1), std::make_pair(QStringLiteral("1536"), 1));
    QCOMPARE(SizeText(1023, -1), std::make_pair(QStringLiteral("1023"), 0));
    QCOMPARE(SizeText(-1, -1), std::make_pair(QString(), 0));
}

void SearchFilterBoxTest::ShowsAFilterAndReadsItBack() {
    SearchFilterBox box;
    Filter changed;
    changed.MinSize = 1 << 20;
    changed.MaxSize = 5LL << 30;
    changed.EmptyFiles = false;
    changed.HiddenFiles = false;
    changed.ExcludeList = {"node_modules", "*.tmp"};
    Filter zeroMaximum;
    zeroMaximum.MaxSize = 0;
    for (const Filter& filter : {Filter{}, changed, zeroMaximum}) {
        box.SetFilter(filter);
        const Filter read = box.Filter();
        QCOMPARE(read.MinSize, filter.MinSize);
        QCOMPARE(read.MaxSize, filter.MaxSize);
        QCOMPARE(read.EmptyFiles, filter.EmptyFiles);
        QCOMPARE(read.HiddenFiles, filter.HiddenFiles);
        std::vector<std::string> patterns = filter.ExcludeList;
        std::sort(patterns.begin(), patterns.end());
        QCOMPARE(read.ExcludeList, patterns);
    }
    // The default shows no limits at all.
    box.SetFilter({});
    QVERIFY(box.MinSizeText->text().isEmpty());
    QVERIFY(box.MaxSizeText->text().isEmpty());
    QVERIFY(box.EmptyFilesCheck->isChecked());
    QVERIFY(box.HiddenFilesCheck->isChecked());
}

void SearchFilterBoxTest::ThePatternListIsEditedLikeTheMustNotDeleteList() {
    SearchFilterBox box;
    Type(box, QStringLiteral("*.tmp"));
    Type(box, QStringLiteral("*.tmp"));  // already listed
    Type(box, QStringLiteral("   "));    // blank
    Type(box, QStringLiteral("*.TMP"));  // case counts in patterns
    QCOMPARE(Rows(*box.ExcludeList), (QStringList{"*.TMP", "*.tmp"}));
    QVERIFY(box.ExcludeText->text().isEmpty());

    // An entry edited to nothing goes, a doubled one is kept once, and pasted lines become one
    // entry each: all at the tidy when the focus leaves the list.
    box.ExcludeList->topLevelItem(0)->setText(0, QString());
    box.ExcludeList->topLevelItem(1)->setText(0, QStringLiteral(".git\nnode_modules"));
    QCOMPARE(box.ExcludeList->topLevelItemCount(), 3);
    QCOMPARE(box.Filter().ExcludeList, (std::vector<std::string>{".git", "node_modules"}));
}

void SearchFilterBoxTest::AMinimumAboveTheMaximumHoldsBackOk() {
    TOptSettingForm form;
    SearchFilterBox& box = *form.FilterBox;
    form.show();
    struct Case {
        const char* Min;
        int MinUnit;
        const char* Max;
        int MaxUnit;
        bool Valid;
    };
    const Case cases[] = {
        {"2", 2, "1", 2, false}, {"1", 2, "1024", 1, true}, {"1025", 1, "1", 2, false},
        {"5", 3, "", 0, true},   {"", 0, "0", 0, true},
    };
    for (const Case& c : cases) {
        box.MinSizeText->setText(QString::fromLatin1(c.Min));
        box.MinSizeUnit->setCurrentIndex(c.MinUnit);
        box.MaxSizeText->setText(QString::fromLatin1(c.Max));
        box.MaxSizeUnit->setCurrentIndex(c.MaxUnit);
        QCOMPARE(box.IsValid(), c.Valid);
        QCOMPARE(form.OKButton->isEnabled(), c.Valid);
        QCOMPARE(box.SizeProblem->isVisible(), !c.Valid);
    }
}

QTEST_MAIN(SearchFilterBoxTest)
#include "search_filter_box_test.moc"
