#include "dialogs/Opt_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "dialogs/radio_group.h"
#include "dialogs/search_filter_box.h"
#include "dialogs/window_font.h"
#include "dialogs/window_frame.h"

TOptSettingForm* OptSettingForm = nullptr;

namespace {

constexpr int kPriorityClasses[] = {256, 128, 32, 64};

// The bulk delete's block below the search settings; the buttons sit below it.
constexpr int kKeepChoiceTop = 184;
constexpr int kKeepChoiceHeight = 129;

}  // namespace

TOptSettingForm::TOptSettingForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("動作設定"));
    setWindowFlags(kDialogFrame);
    setFont(WindowFont(QStringLiteral("ＭＳ ゴシック")));
    setFixedSize(518, 229 + kKeepChoiceHeight);

    SPriority = new RadioGroup(QStringLiteral("検索時時優先順位"),
                               {QStringLiteral("リアルタイム"), QStringLiteral("最高"),
                                QStringLiteral("普通"), QStringLiteral("最低")},
                               this);
    SPriority->setGeometry(16, 16, 137, 121);
    SPriority->SetItemIndex(2);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(120, 184 + kKeepChoiceHeight, 97, 33);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    CancelButton = new QPushButton(QStringLiteral("CANCEL"), this);
    CancelButton->setGeometry(288, 184 + kKeepChoiceHeight, 91, 33);
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    SearchMode =
        new RadioGroup(QStringLiteral("比較方法設定"),
                       {QStringLiteral("内容の一致しているファイルを検索（標準）"),
                        QStringLiteral("ファイル名（拡張子除く）の一致するファイルを検索"),
                        QStringLiteral("ファイル名（拡張子含む）の一致するファイルを検索")},
                       this);
    SearchMode->setGeometry(168, 16, 337, 121);
    SearchMode->SetItemIndex(0);

    Label1 = new QLabel(
        QStringLiteral("※リアルタイムに設定すると応答が悪くなることがありますのでご注意下さい"),
        this);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Two lines of the warning need more than the 24 pixels of the design with the fonts that
    // really draw them; the label grows down into the free space above the buttons.
    Label1->setGeometry(16, 144, 240, std::clamp(Label1->heightForWidth(240), 24, 184 - 144));

    // Which copy the bulk delete keeps where the must-not-delete list protects none.
    KeepChoice =
        new RadioGroup(QStringLiteral("まとめて削除で残すファイル（削除しちゃ駄目リストが優先）"),
                       {QStringLiteral("最初に見つけたファイル（標準）"),
                        QStringLiteral("更新日時の一番古いファイル"),
                        QStringLiteral("更新日時の一番新しいファイル"),
                        QStringLiteral("場所と名前の一番短いファイル")},
                       this);
    KeepChoice->setGeometry(16, kKeepChoiceTop, 489, kKeepChoiceHeight - 8);
    KeepChoice->SetItemIndex(0);
    PlaceFilterBox();

    setTabOrder(SPriority, OKButton);
    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, SearchMode);
    setTabOrder(SearchMode, KeepChoice);
    setTabOrder(KeepChoice, FilterBox);
}

void TOptSettingForm::PlaceFilterBox() {
    // Below the choice of the copy that stays, as wide as the groups above; the buttons and the
    // dialog's bottom edge move down by the block's height.
    FilterBox = new SearchFilterBox(this);
    constexpr int kLeft = 16;
    constexpr int kRight = 505;
    const int top = kKeepChoiceTop + kKeepChoiceHeight;
    const int boxHeight = FilterBox->sizeHint().height();
    FilterBox->setGeometry(kLeft, top, kRight - kLeft, boxHeight);
    const int shift = boxHeight + 12;
    OKButton->move(OKButton->x(), OKButton->y() + shift);
    CancelButton->move(CancelButton->x(), CancelButton->y() + shift);
    setFixedSize(width(), height() + shift);
    connect(FilterBox, &SearchFilterBox::ValidityChanged, OKButton, &QPushButton::setEnabled);
}

int TOptSettingForm::PriorityItemOf(int priorityClass) {
    switch (priorityClass) {
        case 256:
            return 0;
        case 128:
            return 1;
        case 64:
            return 3;
        default:
            return 2;
    }
}

int TOptSettingForm::PriorityClassOf(int item, int current) {
    if (item < 0 || item >= static_cast<int>(std::size(kPriorityClasses))) {
        return current;
    }
    return kPriorityClasses[item];
}

void TOptSettingForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen()) {
        QRect outer = frameGeometry();
        outer.moveCenter(screen->availableGeometry().center());
        move(outer.topLeft());
    }
}

void TOptSettingForm::keyPressEvent(QKeyEvent* event) {
    // CANCEL is not the dialog's cancel button: Esc does nothing here.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
