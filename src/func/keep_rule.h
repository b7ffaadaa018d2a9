#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "search/result_table.h"

namespace func {

// Which file of a group stays when the must-not-delete list protects none of them. The numbers
// are the values kept in the settings file.
enum class KeepRule : std::int32_t {
    FirstFound = 0,    // the first present member, in the order the search found them
    Oldest = 1,        // the earliest modification time
    Newest = 2,        // the latest modification time
    ShortestPath = 3,  // the fewest characters in the full path
};

// The rule that a stored number stands for; an unknown number is the first-found rule.
KeepRule KeepRuleOf(std::int64_t stored);

// Per slot of `members`: true for the present members that stay. Every member whose upper-cased
// full path is protected by `noDelList` stays; when none is, exactly one present member stays,
// chosen by `rule`, and on a tie the one found first. Free slots are false.
std::vector<bool> ChooseKeptMembers(const std::vector<search::ResultMember>& members, KeepRule rule,
                                    const std::vector<std::string>& noDelList,
                                    const platform::CodePage& codePage);

}  // namespace func
