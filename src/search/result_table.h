#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/file_stamp.h"

namespace search {

// Whether a member of a name group holds the same bytes as the group's first member.
enum class ContentMatch : std::int8_t { Unknown, Same, Different };

// One file of a result group, with the texts that the window shows for it.
struct ResultMember {
    std::string Name;    // file name; empty marks a free slot
    std::string Folder;  // folder path with its final separator; Folder + Name is the full path
    std::string Date;    // local modification time as "year/month/day hour:minute:second"
    std::int32_t DeleteMark = 0;  // the bulk delete's mark; the search neither sets nor reads it
    platform::FileStamp Stamp;    // the file as the search found it, to recognise it later
    // In the name modes: its contents beside the first member's, once the search knows.
    ContentMatch Content = ContentMatch::Unknown;

    bool IsFree() const { return Name.empty(); }
    std::string FullPath() const { return Folder + Name; }
};

// A group of matching files. Members keeps every member in the order the search filled them.
struct ResultGroup {
    std::int32_t MemberCount = 0;
    std::vector<ResultMember> Members;
};

// The result groups that searches found, known by their index. Shared by the search's worker
// thread, which writes new groups, and the window thread, which reads and changes groups that
// were handed over to it. Growth never moves a record, so a group stays where it is while the
// other thread works on it; only the directory of records is guarded.
class ResultTable {
  public:
    static constexpr int kGrowthStep = 128;

    ResultTable();

    int Capacity() const;

    // The record at `index`, below Capacity(). The reference stays valid across growth.
    ResultGroup& Group(int index);
    const ResultGroup& Group(int index) const;

    // Adds kGrowthStep records; false when there is no memory (the table keeps its old size).
    bool Grow();

  private:
    mutable std::mutex m_mutex;
    std::deque<ResultGroup> m_records;  // a deque never moves its elements when it grows at the end
};

}  // namespace search
