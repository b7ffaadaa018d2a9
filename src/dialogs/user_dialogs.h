#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

// Every message box and modal dialog of the program goes through here, so that a test can read
// what the program shows and answer in the user's place.
class UserDialogs {
  public:
    // The smallest width of a message box, so that its title bar has room for the title.
    static constexpr int kMinimumBoxWidth = 240;

    struct Request {
        QString Title;
        QString Text;
        QMessageBox::StandardButtons Buttons;
    };

    // Answers a message box; nullopt lets the real box show.
    using Answerer = std::function<std::optional<QMessageBox::StandardButton>(const Request&)>;
    // Fills in and answers a modal dialog with a QDialog::DialogCode; nullopt lets it show.
    using DialogAnswerer = std::function<std::optional<int>(QDialog&)>;

    // Installs the answerers; an empty function restores the real boxes and dialogs.
    static void SetAnswerer(Answerer answerer);
    static void SetDialogAnswerer(DialogAnswerer answerer);

    // Shows a modal box titled "Dopplet" and returns the button that closed it.
    static QMessageBox::StandardButton Show(
        QWidget* parent, QMessageBox::Icon icon, const QString& text,
        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // Shows a box titled "Dopplet" with OK and returns at once; `onClosed` runs on the window
    // thread when the user has dismissed it. Returns the open box, or nullptr when the answerer
    // answered it (then `onClosed` has already run). The box deletes itself when closed.
    static QMessageBox* Open(QWidget* parent, const QString& text, Qt::WindowModality modality,
                             std::function<void()> onClosed);

    // Shows `dialog` modally and returns its result (QDialog::Accepted or QDialog::Rejected).
    static int Exec(QDialog& dialog);

  private:
    static Answerer s_answerer;
    static DialogAnswerer s_dialogAnswerer;
};
