#pragma once

#include <string>
#include <string_view>

namespace func {

// How a file name's bytes are shown for editing: valid UTF-8 as its characters, every byte that is
// not part of a valid UTF-8 character as U+FFFD.
std::u16string ShownName(std::string_view bytes);

// The bytes of the name that the user made by editing ShownName(oldName) into `edited`. The
// characters that stand unchanged at its start and at its end keep their bytes, so that bytes
// that could not be shown survive an edit elsewhere in the name; the edited part between them is
// written as UTF-8 (a lone surrogate as U+FFFD).
std::string EditedName(std::string_view oldName, std::u16string_view edited);

}  // namespace func
