#include "dialogs/About.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "dialogs/placed_label.h"
#include "dialogs/program_icon.h"
#include "dialogs/window_font.h"
#include "dialogs/window_frame.h"

TAboutBox* AboutBox = nullptr;

namespace {}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlags(kDialogFrame);
    setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック")));
    setFixedSize(298, 198);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel1->setGeometry(8, 8, 281, 145);

    ProgramIcon = FixedLabel(Panel1, QString(), 8, 8, 65, 57);
    ProgramIcon->setPixmap(ProgramPixmap(64));
    ProgramIcon->setScaledContents(true);

    ProductName = FixedLabel(Panel1, QString(), 88, 16, 185, 12);
    Label1 = AutoLabel(Panel1, QStringLiteral("Version"), 88, 40);
    Version = FixedLabel(Panel1, QString(), 136, 40, 137, 12);
    DebugInfo = FixedLabel(Panel1, QString(), 136, 56, 137, 12);
    Label2 = AutoLabel(Panel1, QStringLiteral("Copyright"), 88, 72);
    // As wide as the panel lets it be, so that the rights notice is never cut.
    Copyright = FixedLabel(Panel1, QString(), 160, 72, 281 - 160 - 4, 12);
    OtherInfo = FixedLabel(Panel1, QString(), 16, 88, 249, 49);
    OtherInfo->setWordWrap(true);
    OtherInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    OtherInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(111, 164, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    // No layout placeholder is ever shown: the caller fills these before every showing.
    for (QLabel* label : {ProductName, Version, Copyright, OtherInfo, DebugInfo}) {
        label->clear();
    }
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    // The box has no cancel button: Esc does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    OKButton->setFocus();
}
