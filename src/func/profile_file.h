#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/codepage.h"

namespace func {

// A settings file in the Windows profile ("INI") format, held in memory: "[section]" headers and
// "key=value" lines. Section and key names compare without regard to the case of a to z; blanks
// around names and values are ignored; lines starting with ";" are comments. Lines that no write
// touches keep their text; every line ends in CR LF when written.
// Use: LoadProfileFile (or start empty), any reads and writes, then SaveProfileFile.
class ProfileFile {
  public:
    explicit ProfileFile(const platform::CodePage& codePage = platform::SystemCodePage());

    // Replaces the contents with the lines of `text` (CR LF, LF or CR line ends; a NUL byte, as
    // in a damaged file, ends a line as well).
    void Parse(std::string_view text);

    // The file's bytes: every line followed by CR LF.
    std::string Text() const;

    // The value of `key`, blanks around it removed; `defaultValue` when the section, the key or
    // its "=" is missing. With duplicate sections or keys, the first one counts.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // The value of `key` as a whole number: hexadecimal after "0x" or "0X" when the text is longer
    // than two characters, decimal otherwise; `defaultValue` when it is missing or not a number.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;

    // Sets `key` to `value`: an existing key keeps its place, a new key goes to the end of its
    // section, a new section to the end of the file. A value with a line break (it would add lines
    // of its own) or a NUL byte (the file would no longer load) cannot be stored:
    // invalid_argument, and nothing changes.
    std::error_code WriteString(std::string_view section, std::string_view key,
                                std::string_view value);

    // The values of every key line of every section named `section`, in file order, repeated
    // sections and repeated keys included; a key without "=" gives an empty value.
    std::vector<std::string> ValuesOfEverySection(std::string_view section) const;

    // Erases every section named `section` and, unless `keys` is empty, adds it anew at the end
    // of the file with `keys` in their order: what EraseSection and a WriteString per key give.
    // The names in `keys` must differ. A value with a line break or a NUL byte: invalid_argument,
    // no change.
    std::error_code ReplaceSection(std::string_view section,
                                   const std::vector<std::pair<std::string, std::string>>& keys);

    // Sets `key` to `value` as plain signed decimal text.
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

    // Removes every section named `section` with its header and all its lines.
    void EraseSection(std::string_view section);

  private:
    struct Line {
        enum class Kind { Other, Section, Key };
        Kind Type = Kind::Other;
        std::string Text;                  // as it stands in the file, without its line end
        std::string Name;                  // section or key name, blanks removed
        std::optional<std::string> Value;  // a key's value, blanks removed; none without "="
    };

    static Line ParseLine(std::string_view text);
    bool SameName(std::string_view a, std::string_view b) const;
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::size_t SectionEnd(std::size_t header) const;
    std::optional<std::size_t> FindKey(std::string_view section, std::string_view key) const;

    const platform::CodePage* m_codePage;
    std::vector<Line> m_lines;
    bool m_byteOrderMark = false;
};

// Parses `text` as a whole number under the settings file's rules; nullopt when it is none.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

// A file's bytes as text in the program's code page: UTF-16 with a byte-order mark is turned
// into UTF-8; anything else stays as it is.
std::string TextOfFile(std::string bytes);

// Reads the settings file at `path` into `profile`. A missing file gives an empty profile and no
// error; a file that exists but cannot be read gives its error and an empty profile. One that
// holds NUL bytes (damaged, or no text at all) gives illegal_byte_sequence, and the profile holds
// what can be read of it (see Parse).
std::error_code LoadProfileFile(const std::string& path, ProfileFile& profile);

// Writes `profile` to `path` atomically: a failed write leaves the old file as it was.
std::error_code SaveProfileFile(const std::string& path, const ProfileFile& profile);

}  // namespace func
