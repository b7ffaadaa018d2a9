#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <utility>
#include <vector>

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
