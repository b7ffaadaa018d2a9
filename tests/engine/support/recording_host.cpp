#include "support/recording_host.h"

namespace testing_support {

void RecordingHost::RunOnWindowThread(const std::function<void()>& procedure) {
    std::lock_guard lock(m_mutex);
    procedure();
}

void RecordingHost::ShowMessage(const std::string& text) {
    std::lock_guard lock(m_mutex);
    Events.push_back("message " + text);
    Messages.push_back(text);
}

std::vector<std::string> RecordingHost::SearchStarted() {
    Events.push_back("started");
    return m_rows;
}

void RecordingHost::StatusUpdate(const search::StatusReport& report) {
    Events.push_back("status " + std::to_string(report.Phase) + " " + report.StatusText);
    Statuses.push_back(report);
    if (OnStatus) {
        OnStatus(report);
    }
}

void RecordingHost::PostGroupRow(int groupIndex) {
    Events.push_back("post " + std::to_string(groupIndex));
    const search::ResultGroup& group = Results.Group(groupIndex);
    if (group.MemberCount < 2) {
        return;
    }
    std::vector<std::string> paths;
    for (const search::ResultMember& member : group.Members) {
        if (!member.IsFree()) {
            paths.push_back(member.FullPath());
        }
    }
    Groups.push_back(paths);
}

void RecordingHost::PostContentMatches(int groupIndex,
                                       const std::vector<search::ContentMatch>& matches) {
    Events.push_back("matches " + std::to_string(groupIndex));
    const std::vector<search::ResultMember>& members = Results.Group(groupIndex).Members;
    for (std::size_t slot = 0; slot < matches.size() && slot < members.size(); ++slot) {
        Matches[members[slot].FullPath()] = matches[slot];
    }
}

void RecordingHost::PathSkipped(const search::SkippedPath& skipped) {
    Events.push_back("skipped " + skipped.Path);
    Skipped.push_back(skipped);
}

void RecordingHost::SearchFinished() {
    Events.push_back("finished");
}

void RunSearch(RecordingHost& host, const SearchOptions& options) {
    auto* job = new search::SFileSearch(host, host.Results, host.Progress);
    job->SetMode(options.Mode);
    if (options.Gate) {
        job->SetAllocationGate(options.Gate);
    }
    job->SetContentComparison(options.Comparison);
    job->SetResultDates(options.ResultDates);
    job->SetContentMatches(options.ContentMatches);
    job->SetFilter(options.Filter);
    if (options.CodePage != nullptr) {
        job->SetCodePage(*options.CodePage);
    }
    const std::shared_ptr<search::SearchSignal> signal = job->Signal();
    job->Resume();
    signal->WaitForEnd();
}

std::vector<std::vector<std::string>> FindGroups(const std::vector<std::string>& folders,
                                                 int mode) {
    RecordingHost host(folders);
    RunSearch(host, {.Mode = mode});
    return host.Groups;
}

std::set<std::set<std::string>> AsSets(const std::vector<std::vector<std::string>>& groups) {
    std::set<std::set<std::string>> sets;
    for (const auto& group : groups) {
        sets.insert(std::set<std::string>(group.begin(), group.end()));
    }
    return sets;
}

}  // namespace testing_support
