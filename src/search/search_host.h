#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "search/result_table.h"
#include "search/skipped_path.h"

namespace search {

// What a status refresh shows: the phase text and the path at hand. The progress bar reads the
// ProgressCounters instead.
struct StatusReport {
    std::int32_t Phase = 0;
    std::string PhaseText;
    std::string StatusText;
};

// The one way a search job reaches the program that started it (the main window, dopplet-find,
// a test). The job runs SearchStarted and SearchFinished through RunOnWindowThread, so they run on
// the window thread while the worker waits; StatusUpdate and PostGroupRow go through
// PostToWindowThread, which need not wait; ShowMessage is called on the worker thread itself.
//
// Order in one search: SearchStarted once; StatusUpdate, PathSkipped and PostGroupRow any number of
// times, and PostContentMatches for a group after its PostGroupRow; StatusUpdate with phase 0 and
// an empty text; SearchFinished; ShowMessage with the end message. A host whose PostToWindowThread
// does not wait may see fewer StatusUpdate calls (a report that was overtaken by a newer one before
// the window thread came to it is skipped), never fewer PostGroupRow calls, and everything in this
// order.
class SearchHost {
  public:
    virtual ~SearchHost() = default;

    // Runs `procedure` on the window thread and returns when it has run.
    virtual void RunOnWindowThread(const std::function<void()>& procedure) = 0;

    // Runs `procedure` on the window thread after every procedure handed over before it, and
    // before any handed over after it; it may return before `procedure` has run. `procedure`
    // owns what it uses. The default waits, as RunOnWindowThread does.
    virtual void PostToWindowThread(std::function<void()> procedure) {
        RunOnWindowThread(procedure);
    }

    // Shows a message box titled "Dopplet" with an OK button and returns when the user has
    // dismissed it. The window stays usable meanwhile.
    virtual void ShowMessage(const std::string& text) = 0;

    // Returns the rows of the target list, in row order, and switches to the searching state.
    virtual std::vector<std::string> SearchStarted() = 0;
    virtual void StatusUpdate(const StatusReport& report) = 0;
    // Result group `groupIndex` is complete; the window may read and change it from now on.
    virtual void PostGroupRow(int groupIndex) = 0;
    // In the name modes, when the search was asked for it: per member slot of result group
    // `groupIndex`, whether that member holds the bytes of the group's first member. Goes through
    // PostToWindowThread; the group belongs to the window by then, so the host writes it.
    virtual void PostContentMatches(int /*groupIndex*/,
                                    const std::vector<ContentMatch>& /*matches*/) {}
    // The search left out a file or a folder that it could not look at (each path once). Goes
    // through PostToWindowThread, in the order the search met them.
    virtual void PathSkipped(const SkippedPath& /*skipped*/) {}
    // Back to the idle state; the end message follows.
    virtual void SearchFinished() = 0;
};

}  // namespace search
