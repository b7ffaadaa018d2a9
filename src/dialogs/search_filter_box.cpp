#include "dialogs/search_filter_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTreeWidget>
#include <limits>

#include "dialogs/entry_list_editor.h"
#include "func/no_del_list.h"

namespace {

constexpr int kUnitShifts[] = {0, 10, 20, 30};

QComboBox* NewUnitBox(QWidget* parent) {
    auto* units = new QComboBox(parent);
    units->addItems({QStringLiteral("バイト"), QStringLiteral("KB"), QStringLiteral("MB"),
                     QStringLiteral("GB")});
    units->setToolTip(QStringLiteral("1KB = 1024バイト、1MB = 1024KB、1GB = 1024MB"));
    return units;
}

QLineEdit* NewSizeText(QWidget* parent) {
    auto* text = new QLineEdit(parent);
    // Nine digits in any unit stay far below 63 bits.
    text->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), text));
    text->setPlaceholderText(QStringLiteral("制限なし"));
    text->setFixedWidth(text->fontMetrics().horizontalAdvance(QStringLiteral("制限なし0")) + 12);
    return text;
}

}  // namespace

std::int64_t SizeOf(const QString& number, int unitItem, std::int64_t none) {
    bool ok = false;
    const qlonglong value = number.toLongLong(&ok);
    if (!ok || value < 0 || unitItem < 0 || unitItem >= static_cast<int>(std::size(kUnitShifts))) {
        return none;
    }
    const int shift = kUnitShifts[unitItem];
    if (value > (std::numeric_limits<std::int64_t>::max() >> shift)) {
        return none;
    }
    return static_cast<std::int64_t>(value) << shift;
}

std::pair<QString, int> SizeText(std::int64_t size, std::int64_t none) {
    if (size == none || size < 0) {
        return {QString(), 0};
    }
    int item = static_cast<int>(std::size(kUnitShifts)) - 1;
    while (item > 0 && (size == 0 || size % (std::int64_t{1} << kUnitShifts[item]) != 0)) {
        --item;
    }
    return {QString::number(size >> kUnitShifts[item]), item};
}

SearchFilterBox::SearchFilterBox(QWidget* parent)
    : QGroupBox(QStringLiteral("検索するファイルの絞り込み"), parent) {
    MinSizeText = NewSizeText(this);
    MinSizeUnit = NewUnitBox(this);
    MaxSizeText = NewSizeText(this);
    MaxSizeUnit = NewUnitBox(this);
    EmptyFilesCheck = new QCheckBox(QStringLiteral("空のファイルも検索する"), this);
    HiddenFilesCheck = new QCheckBox(
        QStringLiteral("隠しファイル・フォルダ（名前が「.」で始まるもの）も検索する"), this);
    ExcludeText = new QLineEdit(this);
    ExcludeList = new QTreeWidget(this);
    ExcludeList->setColumnCount(1);
    ExcludeList->setHeaderLabels({QStringLiteral("除外リスト（*.tmp、node_modules、.git など）")});
    ExcludeList->setRootIsDecorated(false);
    ExcludeList->setUniformRowHeights(true);
    ExcludeList->setSortingEnabled(true);
    ExcludeList->sortByColumn(0, Qt::AscendingOrder);
    ExcludeList->header()->setSectionsClickable(false);
    ExcludeList->header()->setSortIndicatorShown(false);
    // Patterns are kept as typed: case counts in them.
    m_excludeEditor = new EntryListEditor(
        *ExcludeText, *ExcludeList, [](std::string entry) { return entry; }, this);
    const QString patternHelp = QStringLiteral(
        "ファイル名・フォルダ名に合うものを検索しません。* は任意の文字列、? は任意の1文字。"
        "「/」を含むパターンはパス全体に合わせます。大文字と小文字は区別します。");
    ExcludeText->setToolTip(patternHelp);
    ExcludeList->setToolTip(patternHelp);
    ExcludeList->setFixedHeight(ExcludeList->fontMetrics().height() * 6);
    SizeProblem = new QLabel(QStringLiteral("最小サイズが最大サイズを超えています"), this);
    SizeProblem->setStyleSheet(QStringLiteral("color: #c00000"));
    SizeProblem->setVisible(false);

    auto* layout = new QGridLayout(this);
    const auto sizeRow = [this](const QString& caption, QLineEdit* text, QComboBox* unit,
                                const QString& after) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(caption, this));
        row->addWidget(text);
        row->addWidget(unit);
        row->addWidget(new QLabel(after, this));
        row->addStretch();
        return row;
    };
    auto* sizes = new QHBoxLayout;
    sizes->addLayout(
        sizeRow(QStringLiteral("最小サイズ"), MinSizeText, MinSizeUnit, QStringLiteral("以上")));
    sizes->addLayout(
        sizeRow(QStringLiteral("最大サイズ"), MaxSizeText, MaxSizeUnit, QStringLiteral("以下")));
    layout->addLayout(sizes, 0, 0, 1, 2);
    layout->addWidget(SizeProblem, 1, 0, 1, 2);
    layout->addWidget(EmptyFilesCheck, 2, 0, 1, 2);
    layout->addWidget(HiddenFilesCheck, 3, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("追加する"), this), 4, 0);
    layout->addWidget(ExcludeText, 4, 1);
    layout->addWidget(ExcludeList, 5, 0, 1, 2);

    for (QLineEdit* text : {MinSizeText, MaxSizeText}) {
        connect(text, &QLineEdit::textChanged, this, &SearchFilterBox::SizeChanged);
    }
    for (QComboBox* unit : {MinSizeUnit, MaxSizeUnit}) {
        connect(unit, &QComboBox::currentIndexChanged, this, &SearchFilterBox::SizeChanged);
    }
    SetFilter({});
}

void SearchFilterBox::SetFilter(const func::SearchFilterSettings& filter) {
    constexpr std::int64_t none = func::SearchFilterSettings::kNoLimit;
    const auto [minText, minUnit] = SizeText(filter.MinSize == 0 ? none : filter.MinSize, none);
    MinSizeText->setText(minText);
    MinSizeUnit->setCurrentIndex(minUnit);
    const auto [maxText, maxUnit] = SizeText(filter.MaxSize, none);
    MaxSizeText->setText(maxText);
    MaxSizeUnit->setCurrentIndex(maxUnit);
    EmptyFilesCheck->setChecked(filter.EmptyFiles);
    HiddenFilesCheck->setChecked(filter.HiddenFiles);
    ExcludeText->clear();
    m_excludeEditor->SetEntries(filter.ExcludeList);
    m_excludeEditor->Tidy();
}

func::SearchFilterSettings SearchFilterBox::Filter() const {
    func::SearchFilterSettings filter;
    filter.MinSize = SizeOf(MinSizeText->text(), MinSizeUnit->currentIndex(), 0);
    filter.MaxSize = SizeOf(MaxSizeText->text(), MaxSizeUnit->currentIndex(),
                            func::SearchFilterSettings::kNoLimit);
    filter.EmptyFiles = EmptyFilesCheck->isChecked();
    filter.HiddenFiles = HiddenFilesCheck->isChecked();
    filter.ExcludeList = m_excludeEditor->Entries();
    func::TidyNoDelList(filter.ExcludeList);
    return filter;
}

bool SearchFilterBox::IsValid() const {
    const func::SearchFilterSettings filter = Filter();
    return filter.MaxSize == func::SearchFilterSettings::kNoLimit ||
           filter.MinSize <= filter.MaxSize;
}

void SearchFilterBox::SizeChanged() {
    const bool valid = IsValid();
    SizeProblem->setVisible(!valid);
    emit ValidityChanged(valid);
}
