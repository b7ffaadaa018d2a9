#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "search/search.h"

namespace testing_support {

// Records every hand-over of a search in order. Hand-overs run on the worker thread itself, one
// at a time, as dopplet-find runs them.
class RecordingHost : public search::SearchHost {
  public:
    explicit RecordingHost(std::vector<std::string> targetRows) : m_rows(std::move(targetRows)) {}

    void RunOnWindowThread(const std::function<void()>& procedure) override;
    void ShowMessage(const std::string& text) override;
    std::vector<std::string> SearchStarted() override;
    void StatusUpdate(const search::StatusReport& report) override;
    void PostGroupRow(int groupIndex) override;
    void PostContentMatches(int groupIndex,
                            const std::vector<search::ContentMatch>& matches) override;
    void PathSkipped(const search::SkippedPath& skipped) override;
    void SearchFinished() override;

    // Every hand-over and message in order: "started", "status <phase> <text>", "post <index>",
    // "matches <index>", "skipped <path>", "finished", "message <text>".
    std::vector<std::string> Events;
    std::vector<search::StatusReport> Statuses;
    // The groups of PostGroupRow with at least 2 members: their full paths in slot order.
    std::vector<std::vector<std::string>> Groups;
    std::vector<std::string> Messages;
    std::vector<search::SkippedPath> Skipped;
    // What PostContentMatches handed over: per member full path, its match.
    std::map<std::string, search::ContentMatch> Matches;

    // Runs inside StatusUpdate, on the window side; lets a test change the file system mid-search.
    std::function<void(const search::StatusReport&)> OnStatus;

    search::ResultTable Results;
    search::ProgressCounters Progress;

  private:
    std::mutex m_mutex;
    std::vector<std::string> m_rows;
};

struct SearchOptions {
    int Mode = search::kCompareContent;
    search::AllocationGate Gate{};
    const platform::CodePage* CodePage = nullptr;
    search::ContentComparison Comparison = search::ContentComparison::Classes;
    bool ResultDates = true;
    bool ContentMatches = false;
    search::SearchFilter Filter{};
};

// Runs one search job over `host`'s targets and waits for its end.
void RunSearch(RecordingHost& host, const SearchOptions& options = {});

// The groups that a search over `folders` finds, each a list of full paths in slot order.
std::vector<std::vector<std::string>> FindGroups(const std::vector<std::string>& folders,
                                                 int mode = search::kCompareContent);

// Groups and their members in a canonical order, to compare results whatever the member order.
std::set<std::set<std::string>> AsSets(const std::vector<std::vector<std::string>>& groups);

}  // namespace testing_support
