#pragma once

#include <string>

#include "search/progress.h"

namespace cli {

// The progress line of dopplet-find: the phase, the files seen and the bytes compared so far, as
// "内容比較中  12,345 ファイル  1.2 GiB 比較".
std::string ProgressLine(const std::string& phase, const search::ProgressCounters& progress);

}  // namespace cli
