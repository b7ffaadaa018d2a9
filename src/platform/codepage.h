#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The multi-byte code page that paths and names are written in. Every search for a separator or
// a ".", every upper-casing and every name comparison steps over multi-byte characters through
// this one type, so that the same code serves UTF-8 (the system's here) and Shift JIS (932).
class CodePage {
  public:
    enum class Kind { Utf8, ShiftJis };

    explicit constexpr CodePage(Kind kind) : m_kind(kind) {}

    // Length in bytes of the character that starts at `pos` (1 for a single-byte character, and
    // for a lead byte that the text ends after).
    std::size_t CharLength(std::string_view text, std::size_t pos) const;

    // Position of the last `ch` that is a character of its own, never the trail byte of a
    // multi-byte character; npos if there is none. `ch` must be an ASCII character.
    std::size_t FindLast(std::string_view text, char ch) const;

    // True when the last character of `text` is `ch` itself (not a trail byte that equals it).
    bool EndsWithChar(std::string_view text, char ch) const;

    // `text` with the ASCII letters a to z turned into A to Z; multi-byte characters stay.
    std::string UpperAscii(std::string_view text) const;

    // Compares two names character by character: ASCII letters without regard to case, multi-byte
    // characters only when identical, every single-byte character before every multi-byte one.
    // Negative, zero or positive.
    int CompareNames(std::string_view a, std::string_view b) const;

  private:
    Kind m_kind;
};

// The length of the valid UTF-8 character that starts at `pos` of `text`, with its code point in
// `codePoint`; 0 when no valid UTF-8 character starts there.
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& codePoint);

// Appends `codePoint` to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

// The code page of this system.
const CodePage& SystemCodePage();

// The separator between the parts of a path.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

}  // namespace platform
