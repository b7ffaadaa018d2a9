#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <utility>
#include <vector>

class QWidget;

// Keeps window tests away from the user's real settings and Trash: a private HOME and XDG folders
// for the whole test program.
void UsePrivateHome(const QTemporaryDir& home);

// Writes files (path relative to `root`, contents) into a folder tree.
void WriteTree(const QString& root, const std::vector<std::pair<QString, QByteArray>>& files);

// Records every message box the program shows and answers it with OK; a text listed in
// `leaveOpen` shows the real box instead.
class MessageRecorder {
  public:
    explicit MessageRecorder(QStringList leaveOpen = {});
    ~MessageRecorder();

    QStringList Texts;

  private:
    QStringList m_leaveOpen;
};

// The child of `window` named `name` (its objectName): how a test reaches a widget or a command to
// check what a user sees, or to act as a user does. Ends the test program when there is none.
template <typename T>
T* Named(const QObject* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) {
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    }
    return found;
}

// Shows the main window's page named `page` (TabSheet1 to TabSheet3), as a click on its tab does.
void ShowPage(const QWidget* window, const char* page);

// The objectName of the main window's page shown now.
QString ShownPage(const QWidget* window);
