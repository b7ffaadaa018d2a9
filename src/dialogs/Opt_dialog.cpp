#include "dialogs/Opt_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "dialogs/radio_group.h"
#include "dialogs/window_font.h"
#include "dialogs/window_frame.h"

TOptSettingForm* OptSettingForm = nullptr;

namespace {

constexpr int kPriorityClasses[] = {256, 128, 32, 64};

}  // namespace

TOptSettingForm::TOptSettingForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("動作設定"));
    setWindowFlags(kDialogFrame);
    setFont(WindowFont(QStringLiteral("ＭＳ ゴシック")));
    setFixedSize(518, 229);

    SPriority = new RadioGroup(QStringLiteral("検索時時優先順位"),
                               {QStringLiteral("リアルタイム"), QStringLiteral("最高"),
                                QStringLiteral("普通"), QStringLiteral("最低")},
                               this);
    SPriority->setGeometry(16, 16, 137, 121);
    SPriority->SetItemIndex(2);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(120, 184, 97, 33);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    CancelButton = new QPushButton(QStringLiteral("CANCEL"), this);
    CancelButton->setGeometry(288, 184, 91, 33);
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

    setTabOrder(SPriority, OKButton);
    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, SearchMode);
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
