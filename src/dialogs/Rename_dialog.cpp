#include "dialogs/Rename_dialog.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "dialogs/window_font.h"
#include "dialogs/window_frame.h"

TRenameDialog* RenameDialog = nullptr;

void SelectAllLineEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    selectAll();
}

TRenameDialog::TRenameDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ファイル名変更"));
    setWindowFlags(kDialogFrame);
    CentreOnScreenWhenShown(*this);
    setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック")));
    setFixedSize(375, 144);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 353, 89);

    NoticeLabel = new QLabel(this);
    NoticeLabel->setTextFormat(Qt::PlainText);
    NoticeLabel->setWordWrap(true);
    NoticeLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    NoticeLabel->setGeometry(16, 24, 281, 25);

    Label1 = new QLabel(QStringLiteral("新しい名前"), this);
    Label1->move(24, 72);
    Label1->adjustSize();

    NewName = new SelectAllLineEdit(this);
    NewName->setGeometry(88, 64, 257, 20);
    // No length limit of its own: the file system decides what fits.
    NewName->setMaxLength(32767);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setGeometry(79, 108, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
    CancelBtn->setGeometry(183, 108, 75, 25);
    CancelBtn->setAutoDefault(false);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(NewName, OKBtn);
    setTabOrder(OKBtn, CancelBtn);
}

void TRenameDialog::FormActivate() {
    NewName->setFocus(Qt::OtherFocusReason);
}

void TRenameDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        FormActivate();
    }
}
