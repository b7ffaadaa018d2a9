// Starting and stopping a search, and the hand-overs through which the search's worker thread
// reaches the window.

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "dialogs/Skipped_list.h"
#include "dialogs/user_dialogs.h"
#include "main/file_operations_controller.h"
#include "main/group_list_model.h"
#include "main/main_form.h"
#include "main/progress_panel.h"
#include "main/results_page.h"
#include "main/targets_page.h"
#include "platform/priority.h"

namespace {

// The stored filter as the search takes it.
search::SearchFilter SearchFilterOf(const func::SearchFilterSettings& settings) {
    static_assert(search::SearchFilter::kNoLimit == func::SearchFilterSettings::kNoLimit);
    search::SearchFilter filter;
    filter.MinSize = settings.MinSize;
    filter.MaxSize = settings.MaxSize;
    filter.Excluded = settings.ExcludeList;
    filter.EmptyFiles = settings.EmptyFiles;
    filter.HiddenFiles = settings.HiddenFiles;
    return filter;
}

}  // namespace

// Lets the worker wait until the user has dismissed its message on the window thread.
struct TMainForm::MessageWaiter {
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

void TMainForm::SearchButtonClick() {
    // Only one search runs at a time: the commands switch only when the job's SearchStarted has
    // run, so a second command before that is turned away here.
    if (m_searchStarting || IsSearching()) {
        return;
    }
    m_results->Group(0).MemberCount = 0;
    ApplyPriorityClass(PriorityClass);

    auto* job = new search::SFileSearch(*this, *m_results, m_progress);
    job->SetMode(CompareModeSetting);
    job->SetFilter(SearchFilterOf(SearchFilterSetting));
    // The name modes' member list says which copies really match.
    job->SetContentMatches(true);
    SearchJob = job->Signal();
    m_liveSearches.push_back(SearchJob);
    // The job's very last act, on its worker thread. The window may be gone by the time the call
    // arrives; QPointer is read only on the window thread.
    SearchJob->SetOnEnded([window = QPointer<TMainForm>(this), signal = SearchJob.get()] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [window, signal] {
                if (window) {
                    window->OnSearchEnded(signal);
                }
            },
            Qt::QueuedConnection);
    });
    m_searchStarting = true;
    if (!job->Resume()) {
        // No worker could be started: the job has ended already, and says nothing itself.
        UserDialogs::Open(
            this, QString::fromUtf8(search::kMessageOutOfMemory), Qt::NonModal, [this] {
                UserDialogs::Open(this, QString::fromUtf8(search::kMessageError), Qt::NonModal, {});
            });
        return;
    }

    m_resultsPage->SizeLabel()->clear();
}

void TMainForm::StopButtonClick() {
    if (!IsSearching()) {
        return;
    }
    const std::shared_ptr<search::SearchSignal> signal = SearchJob;
    signal->RequestStop();
    ServeHandOversUntil([this, &signal] { return !IsLive(signal.get()); });
}

// An unprivileged process cannot take back a raised nice value, so the class is not set on the
// process: the search's own worker thread takes it, at its next hand-over (the first one is
// SearchStarted; SearchFinished asks for 32). The request is handed to the worker inside the
// hand-over, on the window thread, so no other search can take it by mistake; the worker thread,
// and with it the class, ends with the search, and the window thread never changes.
void TMainForm::ApplyPriorityClass(int priorityClass) {
    m_priorityRequest = priorityClass;
}

void TMainForm::RunOnWindowThread(const std::function<void()>& procedure) {
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

void TMainForm::PostToWindowThread(std::function<void()> procedure) {
    // Queued behind everything handed over before; the worker goes on at once.
    QMetaObject::invokeMethod(this, std::move(procedure), Qt::QueuedConnection);
}

void TMainForm::ShowMessage(const std::string& text) {
    const auto waiter = std::make_shared<MessageWaiter>();
    QMetaObject::invokeMethod(
        this,
        [this, message = QString::fromStdString(text), waiter] { OpenEndMessage(message, waiter); },
        Qt::QueuedConnection);
    waiter->Wait();
}

void TMainForm::OpenEndMessage(const QString& text, const std::shared_ptr<MessageWaiter>& waiter) {
    // While a stop waits for the worker, the box is the only thing the user can reach.
    const Qt::WindowModality modality = m_waitLoops.empty() ? Qt::NonModal : Qt::ApplicationModal;
    QMessageBox* box = UserDialogs::Open(this, text, modality, [this, waiter] {
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

void TMainForm::OnSearchEnded(const search::SearchSignal* signal) {
    if (m_searchStarting && SearchJob.get() == signal) {
        m_searchStarting = false;  // it ended before SearchStarted (out of memory at its start)
    }
    m_liveSearches.erase(
        std::remove_if(m_liveSearches.begin(), m_liveSearches.end(),
                       [signal](const auto& live) { return live.get() == signal; }),
        m_liveSearches.end());
    WakeWaits();
    emit SearchJobEnded();
}

bool TMainForm::IsLive(const search::SearchSignal* signal) const {
    return std::any_of(m_liveSearches.begin(), m_liveSearches.end(),
                       [signal](const auto& live) { return live.get() == signal; });
}

void TMainForm::ServeHandOversUntil(const std::function<bool()>& done) {
    // Never wait()/join() here: the worker may be blocked in a hand-over to this thread. A local
    // loop serves the hand-overs and no user input, except the worker's open message boxes,
    // which become application-modal so that the user can dismiss them and nothing else.
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

void TMainForm::WakeWaits() {
    // Every waiting loop looks again at what it waits for, the outer ones included.
    for (QEventLoop* loop : m_waitLoops) {
        loop->quit();
    }
}

void TMainForm::FinishAllSearches() {
    if (IsSearching()) {
        SearchJob->RequestStop();
    }
    // Earlier searches may still wait for their end message to be dismissed.
    while (!m_liveSearches.empty()) {
        for (QMessageBox* box : std::vector<QMessageBox*>(m_endBoxes)) {
            box->done(QMessageBox::Ok);
        }
        ServeHandOversUntil([this] { return m_liveSearches.empty() || !m_endBoxes.empty(); });
    }
}

std::vector<std::string> TMainForm::SearchStarted() {
    m_searchStarting = false;
    std::vector<std::string> rows = m_targetsPage->Targets();
    SetSearching(true);
    m_pendingGroups.clear();
    ForgetDeletedRows();
    m_resultsPage->Clear();
    ShowResultCount();
    // What the last search could not look at is no longer what the lists show.
    if (SkippedList != nullptr) {
        SkippedList->ShowPaths(nullptr);
    }
    m_skipped = std::make_shared<std::vector<search::SkippedPath>>();
    ShowSkippedCount();
    emit SearchStateChanged(true);
    return rows;
}

void TMainForm::StatusUpdate(const search::StatusReport& report) {
    const QString phase = QString::fromStdString(report.PhaseText);
    if (StatusPanel1->text() != phase) {
        StatusPanel1->setText(phase);
    }
    const QString path = QFile::decodeName(report.StatusText.c_str());
    if (StatusPanel2->text() != path) {
        StatusPanel2->setText(path);
    }
    StatusPanel0->update();
}

void TMainForm::PostGroupRow(int groupIndex) {
    const search::ResultGroup& group = m_results->Group(groupIndex);
    if (group.MemberCount < 2 || group.Members.empty()) {
        return;
    }
    m_pendingGroups.push_back(groupIndex);
    // While a search runs, the rows of a moment go into the list together: the list lays itself
    // out once for them instead of once for every row.
    if (!IsSearching()) {
        FlushPendingRows();
    } else if (!m_rowFlush->isActive()) {
        m_rowFlush->start();
    }
}

void TMainForm::PostContentMatches(int groupIndex,
                                   const std::vector<search::ContentMatch>& matches) {
    std::vector<search::ResultMember>& members = m_results->Group(groupIndex).Members;
    for (std::size_t slot = 0; slot < std::min(matches.size(), members.size()); ++slot) {
        search::ResultMember& member = members[slot];
        if (member.IsFree()) {
            continue;
        }
        member.Content = matches[slot];
    }
    // The search compared every member with the one in slot 0.
    m_resultsPage->Shown().SetContentReference(groupIndex, 0);
    m_resultsPage->Shown().RefreshContents();
}

void TMainForm::PathSkipped(const search::SkippedPath& skipped) {
    // Only kept while the search runs: the window tells of them when it ends.
    m_skipped->push_back(skipped);
}

void TMainForm::ForgetDeletedRows() {
    m_fileOperations->ForgetDeletedRows();
}

void TMainForm::ShowSkippedCount() {
    MenuSkipped->setEnabled(!IsSearching() && !m_skipped->empty());
    if (IsSearching() || m_skipped->empty()) {
        SkippedLabel->hide();
        SkippedLabel->clear();
        return;
    }
    SkippedLabel->setText(
        QStringLiteral("<a href=\"#\">%1</a>").arg(SkippedCountText(*m_skipped).toHtmlEscaped()));
    SkippedLabel->show();
    if (SkippedList != nullptr && SkippedList->isVisible()) {
        SkippedList->ShowPaths(m_skipped);
    }
}

void TMainForm::MenuSkippedClick() {
    if (IsSearching()) {
        return;
    }
    if (SkippedList == nullptr) {
        SkippedList = new TSkippedListForm(this);
    }
    SkippedList->ShowPaths(m_skipped);
    SkippedList->show();
    SkippedList->raise();
    SkippedList->activateWindow();
}

void TMainForm::FlushPendingRows() {
    m_rowFlush->stop();
    if (m_pendingGroups.empty()) {
        return;
    }
    m_resultsPage->Groups().Append(m_pendingGroups);
    m_pendingGroups.clear();
    ShowResultCount();
}

void TMainForm::SearchFinished() {
    FlushPendingRows();
    SetSearching(false);
    ShowResultCount();
    ShowSkippedCount();
    ApplyPriorityClass(32);
    emit SearchStateChanged(false);
}
