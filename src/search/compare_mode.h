#pragma once

namespace search {

// What makes files the same: their contents, their names without the extension, or their names.
// Any other value walks the targets and groups nothing.
enum CompareMode : int { kCompareContent = 0, kCompareStem = 1, kCompareName = 2 };

}  // namespace search
