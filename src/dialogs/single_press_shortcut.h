#pragma once

#include <QObject>

class QAction;
class QKeyEvent;

// Lets an action's shortcut act once per press of its key. A held key repeats, and not every
// system marks the repeats as such: some deliver them as presses without a release between
// them. Until the key is released (or another key is pressed, or the program loses the keyboard)
// further presses of the shortcut reach neither the action nor the window.
class SinglePressShortcut : public QObject {
  public:
    // Watches the program's key events on behalf of `action`; ends with the action.
    explicit SinglePressShortcut(QAction* action);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool IsShortcut(const QKeyEvent& key) const;

    QAction* m_action;
    int m_heldKey = 0;  // the key of the shortcut while it is down, 0 otherwise
};
