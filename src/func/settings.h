#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "platform/codepage.h"

namespace func {

// Everything the program keeps between runs.
struct Settings {
    std::int32_t PosX = 0;  // main window's left edge
    std::int32_t PosY = 0;  // main window's top edge
    std::int32_t Width = 640;
    std::int32_t Height = 480;
    std::int32_t PriorityClass = 32;      // "Priority": 256, 128, 32 or 64
    std::int32_t CompareModeSetting = 0;  // "Compare_Mode": 0, 1 or 2
    std::vector<std::string> NoDelList;   // upper-cased must-not-delete entries
};

struct SaveResult {
    std::error_code Error;
    std::string Message;  // "<path> に書き込めません" when Error is set
};

// Reads the settings file at `path`. Whatever is missing or not a whole number takes its
// default; the must-not-delete entries come back upper-cased and tidied. Never fails.
Settings LoadSettings(const std::string& path,
                      const platform::CodePage& codePage = platform::SystemCodePage());

// Writes `settings` into the settings file at `path`, keeping the file's other sections, and
// replaces the whole must-not-delete section with the tidied list. All or nothing: on failure
// the old file stays as it was. A missing folder is created.
SaveResult SaveSettings(const std::string& path, const Settings& settings,
                        const platform::CodePage& codePage = platform::SystemCodePage());

}  // namespace func
