#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "platform/file_reader.h"
#include "search/skipped_path.h"

namespace search {

// One file of a run of equal size, as the content pass hands it to the classifier.
struct RunFile {
    int Slot = 0;  // the file's slot in the file table
    platform::FileIdentity Identity;
};

// The groups of identical files in one run of equal size, each group's slots in table order,
// the groups ordered by their first slot.
using RunGroups = std::vector<std::vector<int>>;

// What classifying a run found: its groups, and the files that it left out because they could
// not be read as far as their size or changed while they were compared, in table order.
struct RunOutcome {
    RunGroups Groups;
    std::vector<SkippedPath> Skipped;
};

// Splits a run of files of one size into groups of identical contents.
//
// The files are read forward range by range (the head, then the tail, which tells apart files
// that differ only near their end, then the middle chunk by chunk); a file is dropped as soon
// as no other file shares its bytes so far, so every file is read at most once and only as far as
// it takes to tell it apart. Ranges are bucketed by a hash and always confirmed by comparing the
// bytes themselves. A file that cannot be opened or read exactly as far as its size never matches,
// nor does one that changed from its first opening to the end of its comparison; both are named
// in the outcome. A file that cannot be opened for want of a free file handle is opened again once
// one is free: the classifier closes the files it keeps open, then waits.
//
// Within a set of identical files the groups come out as a pairwise comparison in table order
// forms them: each file that is not yet grouped takes every later ungrouped file that is not the
// same file (a hard link) as one of its members.
class ContentClassifier {
  public:
    // `pathOf` gives the path of a slot's file when it is opened. `shouldStop` is polled between
    // files; once it returns true, Classify returns early with a result that must not be used.
    // `memoryBudget` bounds the bytes held for comparison.
    ContentClassifier(std::function<std::string(int slot)> pathOf, std::function<bool()> shouldStop,
                      std::size_t memoryBudget);

    // `files` are in table order and all have `size` bytes according to the walk.
    RunOutcome Classify(std::int64_t size, const std::vector<RunFile>& files);

    // How many files the classifier may keep open from range to range; the files of a class
    // beyond that are opened for every range.
    void KeepFilesOpen(std::size_t count) { m_keepOpen = count; }

    // The hash that buckets the ranges of large classes. Only the bytes decide whether two files
    // are the same; a test puts in a hash that collides for everything to show it.
    using RangeHash = std::uint64_t (*)(const unsigned char* bytes, std::size_t length);
    void UseRangeHash(RangeHash hash) { m_hash = hash; }

    // Counts the bytes that the classifier reads into `bytes`.
    void CountBytesIn(std::atomic<std::int64_t>& bytes) { m_bytesRead = &bytes; }

    // Calls `hook` after every read of a range of a file, with the file's slot and the range's
    // first byte; lets a test change files in the middle of a comparison.
    using ReadHook = std::function<void(int slot, std::int64_t offset)>;
    void AfterEachRead(ReadHook hook) { m_afterRead = std::move(hook); }

  private:
    struct Range {
        std::int64_t Begin = 0;
        std::int64_t End = 0;
    };
    struct Step;  // which range a class reads next
    // The files of the class at hand that are kept open, by position in the run.
    using OpenFiles = std::unordered_map<int, platform::FileReader>;
    // What became of a file of the run.
    struct FileState {
        bool Opened = false;  // Version holds the file as it was first opened
        bool Failed = false;  // left out for Reason and Error
        platform::FileStamp Version;
        SkipReason Reason = SkipReason::FileUnreadable;
        std::error_code Error;
    };

    void SplitClass(std::vector<int> members, Step step);
    void EmitIdenticalFiles(const std::vector<int>& members);
    // The `count` positions that next-links chain from `first`.
    std::vector<int> MembersOf(int first, int count) const;
    bool NextStep(Step& step, std::size_t classSize) const;
    // Reads `range` of the file at `position` into `buffer`; false, with the file left out, when
    // it cannot be read as far or is no longer the file that it was when first opened.
    bool ReadRange(int position, const Range& range, std::vector<unsigned char>& buffer,
                   OpenFiles& openFiles);
    // Opens the file at `position`, waiting for a free file handle when there is none.
    platform::FileReader Open(int position, OpenFiles& openFiles);
    void LeaveOut(int position, SkipReason reason, std::error_code error = {});

    std::function<std::string(int slot)> m_pathOf;
    std::function<bool()> m_shouldStop;
    std::size_t m_memoryBudget;  // bytes held for comparison
    std::size_t m_keepOpen;
    RangeHash m_hash;
    ReadHook m_afterRead;
    std::atomic<std::int64_t>* m_bytesRead = nullptr;
    std::int64_t m_size = 0;
    const std::vector<RunFile>* m_files = nullptr;
    RunGroups m_groups;
    std::vector<FileState> m_states;  // per position in the run
    // Per position in the run: the next member of its class in the range being compared.
    std::vector<int> m_next;
    // Kept from range to range and run to run, so that reading allocates once.
    std::vector<unsigned char> m_held;     // the representatives' bytes, as far as the budget goes
    std::vector<unsigned char> m_bytes;    // the range of the file at hand
    std::vector<unsigned char> m_confirm;  // a representative's range read again
};

}  // namespace search
