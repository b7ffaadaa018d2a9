#pragma once

#include <cstdint>

#include "func/keep_rule.h"
#include "func/settings.h"

// What the options dialog chooses and the settings file keeps: how the next search runs and
// compares, which files it leaves out, and which copy the bulk delete keeps.
struct WindowOptions {
    std::int32_t PriorityClass = 32;
    std::int32_t CompareMode = 0;
    func::SearchFilterSettings Filter;
    // Where the must-not-delete list protects no copy.
    func::KeepRule Keep = func::KeepRule::FirstFound;
};
