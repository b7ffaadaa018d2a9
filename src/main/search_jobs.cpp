#include "main/search_jobs.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "dialogs/user_dialogs.h"
#include "platform/priority.h"

// Lets the worker wait until the user has dismissed its message on the window thread.
struct SearchJobs::MessageWaiter {
    std::mutex Mutex;
    std::condition_variable Dismissed;
    bool IsDismissed = false;

    void Release() {
        {
            std::lock_guard lock(Mutex);
            IsDismissed = true;
        }
        Dismissed.notify_all();
    }

    void Wait() {
        std::unique_lock lock(Mutex);
        Dismissed.wait(lock, [this] { return IsDismissed; });
    }
};

SearchJobs::SearchJobs(QWidget* window) : QObject(window), m_window(window) {}

void SearchJobs::Track(const std::shared_ptr<search::SearchSignal>& signal) {
    m_live.push_back(signal);
    // The job's very last act, on its worker thread. The window may be gone by the time the call
    // arrives; QPointer is read only on the window thread.
    signal->SetOnEnded([jobs = QPointer<SearchJobs>(this), ended = signal.get()] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [jobs, ended] {
                if (jobs) {
                    jobs->OnEnded(ended);
                }
            },
            Qt::QueuedConnection);
    });
}

bool SearchJobs::IsLive(const search::SearchSignal* signal) const {
    return std::any_of(m_live.begin(), m_live.end(),
                       [signal](const auto& live) { return live.get() == signal; });
}

void SearchJobs::RunOnWindowThread(const std::function<void()>& procedure) {
    std::optional<int> priorityClass;
    QMetaObject::invokeMethod(
        this,
        [this, &procedure, &priorityClass] {
            procedure();
            priorityClass = std::exchange(m_priorityRequest, std::nullopt);
        },
        Qt::BlockingQueuedConnection);
    if (priorityClass) {
        // A class that the system refuses leaves the thread as it is, as a refused
        // SetPriorityClass left the process.
        platform::SetThreadPriorityClass(*priorityClass);
    }
}

void SearchJobs::PostToWindowThread(std::function<void()> procedure) {
    // Queued behind everything handed over before; the worker goes on at once.
    QMetaObject::invokeMethod(this, std::move(procedure), Qt::QueuedConnection);
}

void SearchJobs::ShowMessage(const std::string& text) {
    const auto waiter = std::make_shared<MessageWaiter>();
    QMetaObject::invokeMethod(
        this,
        [this, message = QString::fromStdString(text), waiter] { OpenEndMessage(message, waiter); },
        Qt::QueuedConnection);
    waiter->Wait();
}

void SearchJobs::ApplyPriorityClass(int priorityClass) {
    // Handed to the worker inside a hand-over, on the window thread, so that no other search can
    // take it by mistake; the worker thread, and with it the class, ends with the search.
    m_priorityRequest = priorityClass;
}

void SearchJobs::OpenEndMessage(const QString& text, const std::shared_ptr<MessageWaiter>& waiter) {
    // While a stop waits for the worker, the box is the only thing the user can reach.
    const Qt::WindowModality modality = m_waitLoops.empty() ? Qt::NonModal : Qt::ApplicationModal;
    QMessageBox* box = UserDialogs::Open(m_window, text, modality, [this, waiter] {
        waiter->Release();
        WakeWaits();
    });
    if (box != nullptr) {
        m_endBoxes.push_back(box);
        connect(box, &QMessageBox::finished, this, [this, box] {
            m_endBoxes.erase(std::remove(m_endBoxes.begin(), m_endBoxes.end(), box),
                             m_endBoxes.end());
            WakeWaits();
        });
        WakeWaits();
    }
}

void SearchJobs::OnEnded(const search::SearchSignal* signal) {
    m_live.erase(std::remove_if(m_live.begin(), m_live.end(),
                                [signal](const auto& live) { return live.get() == signal; }),
                 m_live.end());
    WakeWaits();
    emit Ended(signal);
}

void SearchJobs::ServeHandOversUntil(const std::function<bool()>& done) {
    // Never wait()/join() here: the worker may be blocked in a hand-over to this thread. A local
    // loop serves the hand-overs and no user input, except the worker's open message boxes.
    // Qt does not always dispatch posted calls in a loop nested inside the dispatch of another
    // posted call (a stop or close that came as a queued call): a short pump makes sure that the
    // worker's hand-overs and its end notice are served all the same.
    QTimer pump;
    pump.setInterval(10);
    connect(&pump, &QTimer::timeout, this,
            [] { QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); });
    pump.start();
    while (!done()) {
        QEventLoop loop;
        m_waitLoops.push_back(&loop);
        if (m_endBoxes.empty()) {
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        } else {
            for (QMessageBox* box : m_endBoxes) {
                if (box->windowModality() != Qt::ApplicationModal) {
                    box->hide();
                    box->setWindowModality(Qt::ApplicationModal);
                    box->show();
                }
            }
            loop.exec();
        }
        m_waitLoops.erase(std::find(m_waitLoops.begin(), m_waitLoops.end(), &loop));
    }
}

void SearchJobs::WakeWaits() {
    for (QEventLoop* loop : m_waitLoops) {
        loop->quit();
    }
}

void SearchJobs::FinishAll() {
    // Earlier searches may still wait for their end message to be dismissed.
    while (!m_live.empty()) {
        for (QMessageBox* box : std::vector<QMessageBox*>(m_endBoxes)) {
            box->done(QMessageBox::Ok);
        }
        ServeHandOversUntil([this] { return m_live.empty() || !m_endBoxes.empty(); });
    }
}
