#include "dialogs/single_press_shortcut.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

namespace {

bool IsModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

}  // namespace

SinglePressShortcut::SinglePressShortcut(QAction* action) : QObject(action), m_action(action) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool SinglePressShortcut::IsShortcut(const QKeyEvent& key) const {
    const QKeyCombination pressed = key.keyCombination();
    for (const QKeySequence& shortcut : m_action->shortcuts()) {
        if (shortcut.count() == 1 && shortcut[0] == pressed) {
            return true;
        }
    }
    return false;
}

bool SinglePressShortcut::eventFilter(QObject* watched, QEvent* event) {
    // A key event goes to the focused widget first, then to each widget around it in turn.
    const bool firstReceiver = watched == QGuiApplication::focusObject();
    switch (event->type()) {
        case QEvent::ShortcutOverride: {
            if (!firstReceiver) {
                break;
            }
            // Asks, before a key press may become a shortcut, whether the focused widget takes it
            // as an ordinary key press instead. Accepted, it reaches no shortcut.
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!IsShortcut(*key)) {
                if (!IsModifierKey(key->key())) {
                    m_heldKey = 0;
                }
                break;
            }
            if (key->isAutoRepeat() || m_heldKey == key->key()) {
                event->accept();
                return true;
            }
            m_heldKey = key->key();
            break;
        }
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (firstReceiver && !key->isAutoRepeat() && key->key() == m_heldKey) {
                m_heldKey = 0;
            }
            break;
        }
        case QEvent::ApplicationDeactivate:
            m_heldKey = 0;
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}
