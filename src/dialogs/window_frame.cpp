#include "dialogs/window_frame.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

// How long a shown window may wait for its frame: a window manager frames a window within a few
// event-loop rounds, and without a window manager there is never a frame.
constexpr int kPollMs = 20;
constexpr int kPolls = 100;

QSize FrameOf(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    if (handle == nullptr) {
        return QSize();
    }
    const QMargins margins = handle->frameMargins();
    return QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

bool IsFramed(const QWidget& window) {
    const QSize frame = FrameOf(window);
    return frame.width() > 0 || frame.height() > 0;
}

QSize InnerSize(QSize outer, QSize frame) {
    const auto clamp = [](int value) { return std::clamp(value, 0, QWIDGETSIZE_MAX); };
    return QSize(clamp(outer.width() - frame.width()), clamp(outer.height() - frame.height()));
}

// The frame that the window's outer size was last given with.
constexpr const char* kAppliedFrame = "doppletAppliedFrame";

void Apply(QWidget& window, QSize outer, QSize minimum, QSize frame) {
    window.setProperty(kAppliedFrame, frame);
    if (!minimum.isEmpty()) {
        window.setMinimumSize(InnerSize(minimum, frame));
    }
    // The outer place stays where it was, frame included.
    const QPoint place = window.pos();
    window.resize(InnerSize(outer, frame));
    if (window.pos() != place) {
        window.move(place);
    }
}

// Applies the outer size again, with the real frame, once the shown window has one.
class FrameWatcher : public QObject {
  public:
    static constexpr const char* kName = "FrameWatcher";

    FrameWatcher(QWidget& window, QSize outer, QSize minimum)
        : QObject(&window), m_window(&window), m_outer(outer), m_minimum(minimum) {
        setObjectName(kName);
        window.installEventFilter(this);
        m_timer.setInterval(kPollMs);
        connect(&m_timer, &QTimer::timeout, this, &FrameWatcher::Poll);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Show && !m_timer.isActive()) {
            m_polls = 0;
            m_timer.start();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    void Poll() {
        if (m_window == nullptr || ++m_polls > kPolls) {
            m_timer.stop();
            return;
        }
        if (IsFramed(*m_window)) {
            m_timer.stop();
            Apply(*m_window, m_outer, m_minimum, FrameOf(*m_window));
            deleteLater();
        }
    }

    QPointer<QWidget> m_window;
    QSize m_outer;
    QSize m_minimum;
    QTimer m_timer;
    int m_polls = 0;
};

// Centres the watched window on its screen whenever it is shown.
class ScreenCentrer : public QObject {
  public:
    explicit ScreenCentrer(QWidget& window) : QObject(&window), m_window(&window) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Show) {
            if (const QScreen* screen = m_window->screen()) {
                QRect outer = m_window->frameGeometry();
                outer.moveCenter(screen->availableGeometry().center());
                m_window->move(outer.topLeft());
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget* m_window;
};

}  // namespace

void CentreOnScreenWhenShown(QWidget& window) {
    new ScreenCentrer(window);
}

void SetOuterSize(QWidget& window, QSize outer, QSize minimum) {
    const QList<QObject*> watchers = window.findChildren<QObject*>(
        QString::fromLatin1(FrameWatcher::kName), Qt::FindDirectChildrenOnly);
    qDeleteAll(watchers);
    if (IsFramed(window)) {
        Apply(window, outer, minimum, FrameOf(window));
        return;
    }
    Apply(window, outer, minimum, QSize(kFrameWidth, kFrameHeight));
    new FrameWatcher(window, outer, minimum);
}

QSize OuterSize(const QWidget& window) {
    // Until the real frame has been applied, the window still has the size meant for the estimate.
    const QVariant applied = window.property(kAppliedFrame);
    return window.size() +
           (applied.isValid() ? applied.toSize() : QSize(kFrameWidth, kFrameHeight));
}
