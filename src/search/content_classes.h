#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/folder_listing.h"

namespace search {

// One file of a run of equal size, as the content pass hands it to the classifier.
struct RunFile {
    int Slot = 0;  // the file's slot in the file table
    platform::FileIdentity Identity;
};

// The groups of identical files in one run of equal size, each group's slots in table order,
// the groups ordered by their first slot.
using RunGroups = std::vector<std::vector<int>>;

// Splits a run of files of one size into groups of identical contents.
//
// The files are read forward range by range (the head, then the tail, which tells apart files
// that differ only near their end, then the middle chunk by chunk); a file is dropped as soon
// as no other file shares its bytes so far, so every file is read at most once and only as far as
// it takes to tell it apart. Ranges are bucketed by a hash and always confirmed by comparing the
// bytes themselves. A file that cannot be opened or read exactly as far as its size never matches.
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
    RunGroups Classify(std::int64_t size, const std::vector<RunFile>& files);

    // The hash that buckets the ranges of large classes. Only the bytes decide whether two files
    // are the same; a test puts in a hash that collides for everything to show it.
    using RangeHash = std::uint64_t (*)(const unsigned char* bytes, std::size_t length);
    void UseRangeHash(RangeHash hash) { m_hash = hash; }

    // Counts the bytes that the classifier reads into `bytes`.
    void CountBytesIn(std::atomic<std::int64_t>& bytes) { m_bytesRead = &bytes; }

  private:
    struct Range {
        std::int64_t Begin = 0;
        std::int64_t End = 0;
    };
    struct Step;  // which range a class reads next

    void SplitClass(std::vector<int> members, Step step);
    void EmitIdenticalFiles(const std::vector<int>& members);
    // The `count` positions that next-links chain from `first`.
    std::vector<int> MembersOf(int first, int count) const;
    bool NextStep(Step& step, std::size_t classSize) const;
    // The bytes that a class of `classSize` files may hold for its representatives.
    std::size_t HeldBudget(std::size_t classSize) const;

    std::function<std::string(int slot)> m_pathOf;
    std::function<bool()> m_shouldStop;
    std::size_t m_memoryBudget;
    RangeHash m_hash;
    std::atomic<std::int64_t>* m_bytesRead = nullptr;
    std::int64_t m_size = 0;
    const std::vector<RunFile>* m_files = nullptr;
    RunGroups m_groups;
    // Per position in the run: the next member of its class in the range being compared.
    std::vector<int> m_next;
    // Kept from range to range and run to run, so that reading allocates once.
    std::vector<unsigned char> m_held;     // the representatives' bytes, as far as the budget goes
    std::vector<unsigned char> m_bytes;    // the range of the file at hand
    std::vector<unsigned char> m_confirm;  // a representative's range read again
};

}  // namespace search
