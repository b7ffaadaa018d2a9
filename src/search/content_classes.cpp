#include "search/content_classes.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "platform/file_reader.h"
#include "platform/open_files.h"

namespace search {

namespace {

constexpr std::int64_t kHeadBytes = 4096;
constexpr std::int64_t kTailBytes = 4096;
// The middle is read in chunks that start at the first size and double with each step up to the
// largest, or smaller ones when the memory budget would not hold a chunk of each representative
// (each file of a small class, each distinct range seen last in a larger one): files that differ
// early cost little, and identical ones are read in long runs with few calls.
constexpr std::int64_t kFirstMiddleChunk = 32 * 1024;
constexpr std::int64_t kLargestMiddleChunk = 256 * 1024;
// Files from this size on are read with the system's read-ahead for sequential reading.
constexpr std::int64_t kSequentialAdviceSize = 1024 * 1024;
// Classes up to this size compare each range with every representative directly; larger ones
// bucket the ranges by hash first.
constexpr std::size_t kLinearCompareLimit = 8;
// How many files a classifier keeps open from range to range unless told otherwise.
constexpr std::size_t kDefaultKeepOpen = 256;
// When no file handle is free, opening a file is tried again after each step, for this many.
constexpr auto kHandleWaitStep = std::chrono::milliseconds(10);
constexpr int kHandleWaitSteps = 500;

std::uint64_t HashBytes(const unsigned char* bytes, std::size_t length) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ULL ^ length;
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDULL;
        hash ^= hash >> 32;
    }
    for (; i < length; ++i) {
        hash = (hash ^ bytes[i]) * 0x100000001B3ULL;
    }
    return hash;
}

}  // namespace

struct ContentClassifier::Step {
    enum class Stage { Start, Head, Tail, Middle } Stage = Stage::Start;
    Range Current;
    std::size_t Representatives = 1;  // the distinct bytes that the last range had
};

namespace {

constexpr std::size_t kNotHeld = static_cast<std::size_t>(-1);

// The bytes of one range as read from a class's first file with those bytes, and the files that
// share them.
struct Representative {
    std::uint64_t Hash = 0;
    std::size_t HeldAt = kNotHeld;  // where its bytes start among the held bytes
    int First = 0;                  // its members' positions in the run, in table order, linked
    int Last = 0;                   // from First to Last through the classifier's next-links
    int Count = 1;
};

// Representatives by the hash of their bytes: open addressing over their indices, so that a
// class of many files costs a few bytes per file.
class HashIndex {
  public:
    // The first representative with `hash` that `sameBytes` accepts; nullptr when there is none.
    template <typename SameBytes>
    Representative* Find(std::uint64_t hash, std::vector<Representative>& representatives,
                         const SameBytes& sameBytes) const {
        if (m_slots.empty()) {
            return nullptr;
        }
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask; m_slots[i] != kEmpty; i = (i + 1) & mask) {
            Representative& candidate = representatives[m_slots[i]];
            if (candidate.Hash == hash && sameBytes(candidate)) {
                return &candidate;
            }
        }
        return nullptr;
    }

    // Indexes the last of `representatives`.
    void AddLast(const std::vector<Representative>& representatives) {
        if (representatives.size() * 2 > m_slots.size()) {
            m_slots.assign(std::max<std::size_t>(16, m_slots.size() * 2), kEmpty);
            for (std::size_t i = 0; i + 1 < representatives.size(); ++i) {
                Place(representatives[i].Hash, i);
            }
        }
        Place(representatives.back().Hash, representatives.size() - 1);
    }

  private:
    static constexpr std::uint32_t kEmpty = static_cast<std::uint32_t>(-1);

    void Place(std::uint64_t hash, std::size_t index) {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = hash & mask;
        while (m_slots[i] != kEmpty) {
            i = (i + 1) & mask;
        }
        m_slots[i] = static_cast<std::uint32_t>(index);
    }

    std::vector<std::uint32_t> m_slots;
};

}  // namespace

ContentClassifier::ContentClassifier(std::function<std::string(int slot)> pathOf,
                                     std::function<bool()> shouldStop, std::size_t memoryBudget)
    : m_pathOf(std::move(pathOf)),
      m_shouldStop(std::move(shouldStop)),
      m_memoryBudget(memoryBudget),
      m_keepOpen(kDefaultKeepOpen),
      m_hash(HashBytes) {}

RunOutcome ContentClassifier::Classify(std::int64_t size, const std::vector<RunFile>& files) {
    m_size = size;
    m_files = &files;
    m_groups.clear();
    m_states.assign(files.size(), FileState{});
    if (files.size() >= 2) {
        m_next.assign(files.size(), 0);
        std::vector<int> all(files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            all[i] = static_cast<int>(i);
        }
        SplitClass(std::move(all), Step{});
    }
    std::sort(m_groups.begin(), m_groups.end(),
              [](const std::vector<int>& a, const std::vector<int>& b) { return a[0] < b[0]; });
    RunOutcome outcome{.Groups = std::move(m_groups), .Skipped = {}};
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (m_states[i].Failed) {
            outcome.Skipped.push_back(
                {m_pathOf(files[i].Slot), m_states[i].Reason, m_states[i].Error});
        }
    }
    return outcome;
}

bool ContentClassifier::NextStep(Step& step, std::size_t classSize) const {
    const std::int64_t tailBegin = std::max(kHeadBytes, m_size - kTailBytes);
    switch (step.Stage) {
        case Step::Stage::Start:
            step.Stage = Step::Stage::Head;
            step.Current = {0, std::min(m_size, kHeadBytes)};
            return true;
        case Step::Stage::Head:
            if (m_size <= kHeadBytes) {
                return false;
            }
            // The tail next: files that share a format's header often differ at their end.
            step.Stage = Step::Stage::Tail;
            step.Current = {tailBegin, m_size};
            return true;
        case Step::Stage::Tail:
        case Step::Stage::Middle: {
            const std::int64_t begin =
                step.Stage == Step::Stage::Tail ? kHeadBytes : step.Current.End;
            if (begin >= tailBegin) {
                return false;
            }
            // A small class holds a chunk of every file, as it compares each with all the others
            // that differ so far; a larger one one of every distinct range, and reads the others
            // again only to confirm a hash that matches.
            const std::size_t holders =
                classSize <= kLinearCompareLimit ? classSize : step.Representatives;
            const auto budgetChunk =
                static_cast<std::int64_t>(m_memoryBudget / std::max<std::size_t>(holders, 1));
            const std::int64_t grown = step.Stage == Step::Stage::Tail
                                           ? kFirstMiddleChunk
                                           : 2 * (step.Current.End - step.Current.Begin);
            const std::int64_t chunk =
                std::max(kHeadBytes, std::min({grown, kLargestMiddleChunk, budgetChunk}));
            step.Stage = Step::Stage::Middle;
            step.Current = {begin, std::min(tailBegin, begin + chunk)};
            return true;
        }
    }
    return false;
}

void ContentClassifier::LeaveOut(int position, SkipReason reason, std::error_code error) {
    FileState& state = m_states[static_cast<std::size_t>(position)];
    if (!state.Failed) {
        state.Failed = true;
        state.Reason = reason;
        state.Error = error;
    }
}

platform::FileReader ContentClassifier::Open(int position, OpenFiles& openFiles) {
    const std::string path = m_pathOf((*m_files)[static_cast<std::size_t>(position)].Slot);
    for (int waits = 0;;) {
        platform::FileReader reader(path);
        if (reader.IsOpen() || !platform::IsOutOfFileHandles(reader.Error())) {
            return reader;
        }
        // No handle is free: make room with the files kept open here, and keep fewer from now on;
        // when there are none, wait for other threads or programs to close some.
        if (!openFiles.empty()) {
            m_keepOpen = openFiles.size() / 2;
            openFiles.clear();
            continue;
        }
        if (waits++ == kHandleWaitSteps || m_shouldStop()) {
            return reader;
        }
        std::this_thread::sleep_for(kHandleWaitStep);
    }
}

bool ContentClassifier::ReadRange(int position, const Range& range,
                                  std::vector<unsigned char>& buffer, OpenFiles& openFiles) {
    const auto length = static_cast<std::size_t>(range.End - range.Begin);
    buffer.resize(std::max<std::size_t>(length, 1));
    platform::FileReader local;
    platform::FileReader* reader = &local;
    if (const auto open = openFiles.find(position); open != openFiles.end()) {
        reader = &open->second;
    } else {
        local = Open(position, openFiles);
        if (!local.IsOpen()) {
            // Without a system error the path no longer leads to a regular file.
            LeaveOut(position, local.Error() ? SkipReason::FileUnreadable : SkipReason::FileChanged,
                     local.Error());
            return false;
        }
        FileState& state = m_states[static_cast<std::size_t>(position)];
        if (!state.Opened) {
            // A file whose size changed since the walk must not pass for one that did not.
            if (local.Size() != m_size) {
                LeaveOut(position, SkipReason::FileChanged);
                return false;
            }
            state.Opened = true;
            state.Version = local.Stamp();
        } else if (local.Stamp() != state.Version) {
            LeaveOut(position, SkipReason::FileChanged);
            return false;
        }
        if (m_size >= kSequentialAdviceSize) {
            local.AdviseSequential();
        }
        if (openFiles.size() < m_keepOpen) {
            reader = &(openFiles[position] = std::move(local));
        }
    }
    const std::int64_t got = reader->ReadAt(range.Begin, buffer.data(), length);
    if (m_bytesRead != nullptr && got > 0) {
        m_bytesRead->fetch_add(got, std::memory_order_relaxed);
    }
    if (m_afterRead) {
        m_afterRead((*m_files)[static_cast<std::size_t>(position)].Slot, range.Begin);
    }
    buffer.resize(length);
    if (got == static_cast<std::int64_t>(length)) {
        return true;
    }
    // A read error, or a file that became shorter since it was opened: what the buffer holds
    // beyond the bytes read is another file's.
    if (got < 0) {
        LeaveOut(position, SkipReason::FileUnreadable, reader->Error());
    } else {
        LeaveOut(position, SkipReason::FileChanged);
    }
    openFiles.erase(position);
    return false;
}

void ContentClassifier::SplitClass(std::vector<int> members, Step step) {
    OpenFiles openFiles;
    while (NextStep(step, members.size())) {
        const Range range = step.Current;
        const auto length = static_cast<std::size_t>(range.End - range.Begin);
        const bool hashed = members.size() > kLinearCompareLimit;
        std::vector<Representative> representatives;
        representatives.reserve(members.size());
        HashIndex byHash;
        std::size_t recent = 0;  // the representative that the last file matched or started
        std::vector<unsigned char>& held = m_held;
        std::vector<unsigned char>& bytes = m_bytes;
        held.clear();
        held.reserve(std::min(m_memoryBudget, members.size() * length));

        for (int position : members) {
            if (m_shouldStop()) {
                return;
            }
            if (!ReadRange(position, range, bytes, openFiles)) {
                continue;  // It matches nothing.
            }
            const auto sameBytes = [&](const Representative& candidate) {
                if (length == 0) {
                    return true;
                }
                if (candidate.HeldAt != kNotHeld) {
                    return std::memcmp(held.data() + candidate.HeldAt, bytes.data(), length) == 0;
                }
                // The budget held no bytes for this representative: read them again to confirm.
                return !m_states[static_cast<std::size_t>(candidate.First)].Failed &&
                       ReadRange(candidate.First, range, m_confirm, openFiles) &&
                       std::memcmp(m_confirm.data(), bytes.data(), length) == 0;
            };
            Representative* match = nullptr;
            std::uint64_t hash = 0;
            if (hashed) {
                // Copies come together: the held bytes that the last file matched are tried
                // first, which spares hashing the range of each copy.
                if (recent < representatives.size() && representatives[recent].HeldAt != kNotHeld &&
                    sameBytes(representatives[recent])) {
                    match = &representatives[recent];
                } else {
                    hash = m_hash(bytes.data(), length);
                    match = byHash.Find(hash, representatives, sameBytes);
                }
            } else {
                for (Representative& candidate : representatives) {
                    if (sameBytes(candidate)) {
                        match = &candidate;
                        break;
                    }
                }
            }
            if (match != nullptr) {
                recent = static_cast<std::size_t>(match - representatives.data());
                m_next[static_cast<std::size_t>(match->Last)] = position;
                match->Last = position;
                ++match->Count;
                continue;
            }
            Representative fresh{.Hash = hash, .First = position, .Last = position};
            if (held.size() + length <= m_memoryBudget) {
                fresh.HeldAt = held.size();
                held.insert(held.end(), bytes.begin(), bytes.begin() + length);
            }
            representatives.push_back(fresh);
            if (hashed) {
                byHash.AddLast(representatives);
            }
            recent = representatives.size() - 1;
        }
        step.Representatives = representatives.size();

        std::vector<std::vector<int>> subclasses;
        for (const Representative& representative : representatives) {
            std::vector<int> subclass = MembersOf(representative.First, representative.Count);
            // A representative that could not be read again to confirm a match is left out.
            std::erase_if(subclass, [&](int position) {
                return m_states[static_cast<std::size_t>(position)].Failed;
            });
            if (subclass.size() >= 2) {
                subclasses.push_back(std::move(subclass));
            }
        }
        if (subclasses.empty()) {
            return;
        }
        if (subclasses.size() > 1) {
            openFiles.clear();
            for (std::vector<int>& subclass : subclasses) {
                SplitClass(std::move(subclass), step);
            }
            return;
        }
        members = std::move(subclasses.front());
        // The files that dropped out give their handles back.
        std::erase_if(openFiles, [&](const OpenFiles::value_type& open) {
            return !std::binary_search(members.begin(), members.end(), open.first);
        });
    }
    EmitIdenticalFiles(members);
}

std::vector<int> ContentClassifier::MembersOf(int first, int count) const {
    std::vector<int> members;
    members.reserve(static_cast<std::size_t>(count));
    for (int position = first; count-- > 0; position = m_next[static_cast<std::size_t>(position)]) {
        members.push_back(position);
    }
    return members;
}

void ContentClassifier::EmitIdenticalFiles(const std::vector<int>& members) {
    const std::vector<RunFile>& files = *m_files;
    // The bytes of these files are compared. One that changed since it was first opened may have
    // been read partly before and partly after the change: it is left out.
    std::vector<int> unchanged;
    for (int position : members) {
        const FileState& state = m_states[static_cast<std::size_t>(position)];
        const std::optional<platform::FileStamp> now =
            platform::ReadFileStamp(m_pathOf(files[static_cast<std::size_t>(position)].Slot));
        if (!now || *now != state.Version) {
            LeaveOut(position, SkipReason::FileChanged);
        } else {
            unchanged.push_back(position);
        }
    }
    std::vector<bool> grouped(unchanged.size(), false);
    for (std::size_t i = 0; i < unchanged.size(); ++i) {
        if (grouped[i]) {
            continue;
        }
        grouped[i] = true;
        std::vector<int> group = {files[static_cast<std::size_t>(unchanged[i])].Slot};
        std::unordered_set<platform::FileIdentity, platform::FileIdentityHash> identities = {
            files[static_cast<std::size_t>(unchanged[i])].Identity};
        for (std::size_t k = i + 1; k < unchanged.size(); ++k) {
            const RunFile& candidate = files[static_cast<std::size_t>(unchanged[k])];
            // Hard links are one file: it never forms a group with itself.
            if (!grouped[k] && identities.insert(candidate.Identity).second) {
                grouped[k] = true;
                group.push_back(candidate.Slot);
            }
        }
        if (group.size() >= 2) {
            m_groups.push_back(std::move(group));
        }
    }
}

}  // namespace search
