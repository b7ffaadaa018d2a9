#pragma once

class QCoreApplication;

// Loads Qt's own Japanese texts (the buttons of message boxes, the labels of the save dialog) into
// `app`, whatever the system's language: every text of the program is Japanese. False when the
// translation is not installed; Qt's texts then stay English.
bool InstallJapaneseQtTexts(QCoreApplication& app);
