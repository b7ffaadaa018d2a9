#include "dialogs/user_dialogs.h"

#include <QDialog>
#include <QGridLayout>
#include <QSpacerItem>

#include "dialogs/window_frame.h"

namespace {

const QString kTitle = QStringLiteral("Dopplet");

// Gives a message box the dialog frame and a width at which its title bar shows the title, also
// for a short text such as "検索終了".
void FrameBox(QMessageBox& box) {
    box.setWindowFlags(kDialogFrame);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(UserDialogs::kMinimumBoxWidth, 0), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
}

}  // namespace

UserDialogs::Answerer UserDialogs::s_answerer;
UserDialogs::DialogAnswerer UserDialogs::s_dialogAnswerer;

void UserDialogs::SetAnswerer(Answerer answerer) {
    s_answerer = std::move(answerer);
}

void UserDialogs::SetDialogAnswerer(DialogAnswerer answerer) {
    s_dialogAnswerer = std::move(answerer);
}

QMessageBox::StandardButton UserDialogs::Show(QWidget* parent, QMessageBox::Icon icon,
                                              const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton) {
    if (s_answerer) {
        if (const auto answer = s_answerer({kTitle, text, buttons})) {
            return *answer;
        }
    }
    QMessageBox box(icon, kTitle, text, buttons, parent);
    FrameBox(box);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox* UserDialogs::Open(QWidget* parent, const QString& text, Qt::WindowModality modality,
                               std::function<void()> onClosed) {
    if (s_answerer) {
        if (s_answerer({kTitle, text, QMessageBox::Ok})) {
            onClosed();
            return nullptr;
        }
    }
    auto* box = new QMessageBox(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(modality);
    FrameBox(*box);  // after the modality, which sets the box's window type anew
    QObject::connect(box, &QMessageBox::finished, box,
                     [onClosed = std::move(onClosed)](int) { onClosed(); });
    box->show();
    return box;
}

int UserDialogs::Exec(QDialog& dialog) {
    if (s_dialogAnswerer) {
        if (const auto answer = s_dialogAnswerer(dialog)) {
            return *answer;
        }
    }
    return dialog.exec();
}
