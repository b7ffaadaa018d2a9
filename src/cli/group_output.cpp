#include "cli/group_output.h"

#include "search/group_json.h"

namespace cli {

void GroupTally::Count(const search::ResultGroup& group) {
    bool first = true;
    for (const search::ResultMember& member : group.Members) {
        if (member.IsFree()) {
            continue;
        }
        if (first) {
            ++Groups;
        } else {
            SurplusBytes += static_cast<long long>(member.Stamp.Size);
        }
        first = false;
        ++Files;
    }
}

std::string SummaryLine(const GroupTally& tally, long long skipped) {
    return std::to_string(tally.Groups) + " groups, " + std::to_string(tally.Files) + " files, " +
           std::to_string(tally.SurplusBytes) + " bytes in surplus copies, " +
           std::to_string(skipped) + " skipped";
}

namespace {

void WritePath(std::FILE* out, const search::ResultMember& member, char end) {
    // The path's bytes as the file system gave them, valid UTF-8 or not.
    std::fwrite(member.Folder.data(), 1, member.Folder.size(), out);
    std::fwrite(member.Name.data(), 1, member.Name.size(), out);
    std::fputc(end, out);
}

}  // namespace

std::string SkippedLine(const search::SkippedPath& skipped) {
    std::string line;
    switch (skipped.Reason) {
        case search::SkipReason::FolderUnreadable:
            line = "cannot list folder ";
            break;
        case search::SkipReason::EntryUnreadable:
            line = "cannot look at ";
            break;
        case search::SkipReason::FileUnreadable:
            line = "cannot read ";
            break;
        case search::SkipReason::FileChanged:
            line = "left out, changed while being compared: ";
            break;
    }
    line += skipped.Path;
    if (skipped.Error) {
        line += ": " + skipped.Error.message();
    }
    return line;
}

void WriteGroup(std::FILE* out, const search::ResultGroup& group, OutputFormat format) {
    switch (format) {
        case OutputFormat::Lines:
        case OutputFormat::Null: {
            const char end = format == OutputFormat::Lines ? '\n' : '\0';
            for (const search::ResultMember& member : group.Members) {
                if (!member.IsFree()) {
                    WritePath(out, member, end);
                }
            }
            std::fputc(end, out);
            break;
        }
        case OutputFormat::Json: {
            const std::string line = search::GroupJsonLine(group);
            std::fwrite(line.data(), 1, line.size(), out);
            break;
        }
    }
}

}  // namespace cli
