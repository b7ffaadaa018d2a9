#include "search/first_contents.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/file_reader.h"

namespace search {

namespace {

// Bytes read from each file in turn, and files open at once beside the first.
constexpr std::size_t kChunk = 128 * 1024;
constexpr std::size_t kBatch = 16;

struct OpenFile {
    std::size_t Index;
    platform::FileReader Reader;
};

// The file at `file.Path` when it is still the one the search found.
std::optional<platform::FileReader> OpenAsFound(const FoundFile& file) {
    platform::FileReader reader(file.Path);
    if (!reader.IsOpen() || reader.Identity() != file.Identity || reader.Size() != file.Size) {
        return std::nullopt;
    }
    return reader;
}

// Reads the first file and the batch chunk by chunk at the same offsets and settles each file of
// the batch as Same or Different, or leaves it Unknown. False when the first could not be read
// to its end (nothing of the batch is settled then).
bool CompareBatch(const platform::FileReader& first, std::vector<OpenFile>& batch,
                  std::vector<ContentMatch>& matches, const std::function<bool()>& stop,
                  std::atomic<std::int64_t>& bytesRead) {
    const auto buffers = std::make_unique<unsigned char[]>(2 * kChunk);
    unsigned char* const reference = buffers.get();
    unsigned char* const other = reference + kChunk;
    for (std::int64_t offset = 0; !batch.empty();) {
        if (stop()) {
            return true;
        }
        const std::int64_t got = first.ReadAt(offset, reference, kChunk);
        if (got < 0 || (got == 0 && offset != first.Size())) {
            return false;
        }
        std::erase_if(batch, [&](OpenFile& file) {
            const std::int64_t read = file.Reader.ReadAt(offset, other, kChunk);
            if (read != got) {
                // A read error, or a file that changed its length since it was opened.
                return true;
            }
            if (got == 0) {
                matches[file.Index] = ContentMatch::Same;
                return true;
            }
            if (std::memcmp(reference, other, static_cast<std::size_t>(got)) != 0) {
                matches[file.Index] = ContentMatch::Different;
                return true;
            }
            return false;
        });
        bytesRead.fetch_add(got * static_cast<std::int64_t>(1 + batch.size()),
                            std::memory_order_relaxed);
        offset += got;
    }
    return true;
}

}  // namespace

std::vector<ContentMatch> MatchFirstContents(const std::vector<FoundFile>& files,
                                             const std::function<bool()>& stop,
                                             std::atomic<std::int64_t>& bytesRead) {
    std::vector<ContentMatch> matches(files.size(), ContentMatch::Unknown);
    if (files.empty()) {
        return matches;
    }
    std::vector<std::size_t> sameSize;
    for (std::size_t i = 1; i < files.size(); ++i) {
        if (files[i].Size == files[0].Size) {
            sameSize.push_back(i);
        } else {
            matches[i] = ContentMatch::Different;
        }
    }
    const std::optional<platform::FileReader> first = OpenAsFound(files[0]);
    if (!first) {
        return matches;
    }
    for (std::size_t start = 0; start < sameSize.size(); start += kBatch) {
        if (stop()) {
            return matches;
        }
        std::vector<OpenFile> batch;
        for (std::size_t i = start; i < std::min(start + kBatch, sameSize.size()); ++i) {
            if (std::optional<platform::FileReader> reader = OpenAsFound(files[sameSize[i]])) {
                batch.push_back({sameSize[i], std::move(*reader)});
            }
        }
        if (!CompareBatch(*first, batch, matches, stop, bytesRead)) {
            for (std::size_t i = start; i < std::min(start + kBatch, sameSize.size()); ++i) {
                matches[sameSize[i]] = ContentMatch::Unknown;
            }
            return matches;
        }
    }
    // The first holds bytes of its own unless another member holds them too; while a member of
    // its size is unknown, so is the first.
    const auto others = matches.begin() + 1;
    if (std::find(others, matches.end(), ContentMatch::Same) != matches.end()) {
        matches[0] = ContentMatch::Same;
    } else if (std::find(others, matches.end(), ContentMatch::Unknown) == matches.end()) {
        matches[0] = ContentMatch::Different;
    }
    return matches;
}

}  // namespace search
