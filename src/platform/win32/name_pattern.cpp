#include "platform/name_pattern.h"

#include <string_view>

#include "platform/codepage.h"

namespace platform {

namespace {

// The character at `pos` of `text` (a whole UTF-8 character, or one byte that is not one).
std::string_view CharAt(std::string_view text, std::size_t pos) {
    return text.substr(pos, SystemCodePage().CharLength(text, pos));
}

char32_t CodeOf(std::string_view character) {
    char32_t code = 0;
    if (DecodeUtf8(character, 0, code) == character.size()) {
        return code;
    }
    return static_cast<unsigned char>(character[0]);
}

// Matches the set that starts after the "[" at `pos` of `pattern` against `character`; sets
// `end` to the position after its "]". False with `end` at npos when the set is not closed (the
// "[" is then an ordinary character).
bool MatchesSet(std::string_view pattern, std::size_t pos, std::string_view character,
                std::size_t& end) {
    const bool negate = pos < pattern.size() && (pattern[pos] == '!' || pattern[pos] == '^');
    if (negate) {
        ++pos;
    }
    const char32_t code = CodeOf(character);
    bool matched = false;
    bool first = true;
    while (pos < pattern.size() && (first || pattern[pos] != ']')) {
        first = false;
        const std::string_view low = CharAt(pattern, pos);
        pos += low.size();
        char32_t high = CodeOf(low);
        if (pos + 1 < pattern.size() && pattern[pos] == '-' && pattern[pos + 1] != ']') {
            const std::string_view upper = CharAt(pattern, pos + 1);
            pos += 1 + upper.size();
            high = CodeOf(upper);
        }
        matched = matched || (code >= CodeOf(low) && code <= high);
    }
    if (pos >= pattern.size()) {
        end = std::string_view::npos;
        return false;
    }
    end = pos + 1;
    return matched != negate;
}

bool Matches(std::string_view pattern, std::string_view text) {
    std::size_t p = 0;
    std::size_t t = 0;
    // Where the last "*" was, to try it again one character longer.
    std::size_t starPattern = std::string_view::npos;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starText = t;
            continue;
        }
        if (p < pattern.size()) {
            const std::string_view character = CharAt(text, t);
            if (pattern[p] == '?') {
                ++p;
                t += character.size();
                continue;
            }
            if (pattern[p] == '[') {
                std::size_t end = 0;
                if (MatchesSet(pattern, p + 1, character, end)) {
                    p = end;
                    t += character.size();
                    continue;
                }
                if (end == std::string_view::npos && text[t] == '[') {
                    ++p;
                    ++t;
                    continue;
                }
            } else {
                const std::string_view literal = CharAt(pattern, p);
                if (literal == character) {
                    p += literal.size();
                    t += character.size();
                    continue;
                }
            }
        }
        if (starPattern == std::string_view::npos) {
            return false;
        }
        p = starPattern;
        starText += CharAt(text, starText).size();
        t = starText;
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

bool MatchesNamePattern(const std::string& pattern, const std::string& text) {
    // A "\" is a separator here, never an escape as in the shell.
    return Matches(pattern, text);
}

}  // namespace platform
