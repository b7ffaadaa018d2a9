#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "search/search.h"

class QEventLoop;
class QMessageBox;
class QWidget;

// The searches that a window started, from their start until their worker's last act: the
// hand-overs through which a worker reaches the window thread, the workers' end messages, and
// waiting for a worker on the window thread without ever blocking it (the worker may itself be
// waiting in a hand-over).
class SearchJobs : public QObject {
    Q_OBJECT

  public:
    // The end messages open over `window`.
    explicit SearchJobs(QWidget* window);

    // Follows the job of `signal` until its worker's last act; Ended tells of that on the window
    // thread.
    void Track(const std::shared_ptr<search::SearchSignal>& signal);
    bool IsLive(const search::SearchSignal* signal) const;

    // The hand-overs of search::SearchHost that concern threads, called on the worker thread.
    // RunOnWindowThread waits for `procedure`, PostToWindowThread does not; ShowMessage waits
    // until the user has dismissed the message.
    void RunOnWindowThread(const std::function<void()>& procedure);
    void PostToWindowThread(std::function<void()> procedure);
    void ShowMessage(const std::string& text);

    // The priority class that the worker thread takes at its next hand-over. An unprivileged
    // process cannot take back a raised nice value, so the class is never set on the process, and
    // the window thread never changes.
    void ApplyPriorityClass(int priorityClass);

    // Serves the workers' hand-overs, and no other input, until `done` holds. Open end messages
    // become application-modal meanwhile, so that the user can dismiss them and nothing else.
    void ServeHandOversUntil(const std::function<bool()>& done);
    // Waits until every job has ended, answering their end messages.
    void FinishAll();

  signals:
    void Ended(const search::SearchSignal* signal);

  private:
    struct MessageWaiter;
    void OpenEndMessage(const QString& text, const std::shared_ptr<MessageWaiter>& waiter);
    void OnEnded(const search::SearchSignal* signal);
    // Every waiting loop looks again at what it waits for, the outer ones included.
    void WakeWaits();

    QWidget* m_window;
    std::vector<std::shared_ptr<search::SearchSignal>> m_live;
    std::vector<QEventLoop*> m_waitLoops;
    std::vector<QMessageBox*> m_endBoxes;
    // Taken by the worker at its next hand-over.
    std::optional<int> m_priorityRequest;
};
