// The code-page helpers on any bytes. The input: one byte that picks the code page ('S' for
// Shift JIS, anything else for UTF-8), then names separated by line feeds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "platform/codepage.h"

namespace {

using fuzz::Require;
using platform::CodePage;

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// Every valid UTF-8 character decodes to a code point that encodes to the same bytes, and every
// code point encodes to bytes that decode to it.
void CheckUtf8RoundTrip(std::string_view text) {
    const CodePage utf8(CodePage::Kind::Utf8);
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        char32_t codePoint = 0;
        const std::size_t length = platform::DecodeUtf8(text, pos, codePoint);
        if (length == 0) {
            continue;
        }
        Require(length <= 4 && pos + length <= text.size(), "a character lies inside the text");
        Require(codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF),
                "a decoded code point is a character");
        std::string encoded;
        platform::AppendUtf8(encoded, codePoint);
        Require(encoded == text.substr(pos, length), "decoding and encoding give the same bytes");
        Require(utf8.CharLength(text, pos) == length, "a valid character is stepped over whole");
    }
    for (std::size_t pos = 0; pos + 3 <= text.size(); pos += 3) {
        const auto byte = [&](std::size_t i) {
            return char32_t{static_cast<unsigned char>(text[pos + i])};
        };
        const char32_t codePoint = ((byte(0) << 16) | (byte(1) << 8) | byte(2)) % 0x110000;
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            continue;
        }
        std::string encoded;
        platform::AppendUtf8(encoded, codePoint);
        char32_t decoded = 0;
        Require(platform::DecodeUtf8(encoded, 0, decoded) == encoded.size() && decoded == codePoint,
                "an encoded code point decodes to itself");
    }
}

// The starts of the characters of `text` in `codePage`, which is of `kind`.
std::vector<std::size_t> CharStarts(const CodePage& codePage, CodePage::Kind kind,
                                    std::string_view text) {
    const std::size_t longest = kind == CodePage::Kind::ShiftJis ? 2 : 4;
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = codePage.CharLength(text, pos);
        Require(length >= 1 && length <= longest && pos + length <= text.size(),
                "a character lies inside the text");
        starts.push_back(pos);
        pos += length;
    }
    return starts;
}

// Searching and upper-casing never look at the trail bytes of a multi-byte character.
void CheckCharacters(const CodePage& codePage, CodePage::Kind kind, std::string_view text) {
    const std::vector<std::size_t> starts = CharStarts(codePage, kind, text);
    const std::string upper = codePage.UpperAscii(text);
    Require(upper.size() == text.size(), "upper-casing keeps the length");
    Require(CharStarts(codePage, kind, upper) == starts, "upper-casing keeps the characters");
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::size_t begin = starts[i];
        const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
        if (end - begin > 1) {
            Require(upper.compare(begin, end - begin, text.substr(begin, end - begin)) == 0,
                    "upper-casing leaves a multi-byte character alone");
        } else {
            const char ch = text[begin];
            Require(upper[begin] == (ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch),
                    "upper-casing turns only a to z into A to Z");
        }
    }
    for (const char ch : {'/', '\\', '.', '[', ']', '=', 'a', '\0'}) {
        std::size_t last = std::string_view::npos;
        for (const std::size_t start : starts) {
            if (text[start] == ch) {
                last = start;
            }
        }
        Require(codePage.FindLast(text, ch) == last, "the last search finds the last character");
        Require(codePage.EndsWithChar(text, ch) ==
                    (!starts.empty() && starts.back() + 1 == text.size() && text.back() == ch),
                "the end test looks at the last character");
    }
}

// The name order is an order: reversed, it turns round; equal names fall together; it is
// transitive; it ignores the case of a to z.
void CheckNameOrder(const CodePage& codePage, CodePage::Kind kind,
                    const std::vector<std::string_view>& names) {
    for (const std::string_view a : names) {
        Require(codePage.CompareNames(a, a) == 0, "a name equals itself");
        Require(codePage.CompareNames(a, codePage.UpperAscii(a)) == 0,
                "a name equals its upper case");
        for (const std::string_view b : names) {
            const int ab = Sign(codePage.CompareNames(a, b));
            Require(ab == -Sign(codePage.CompareNames(b, a)), "reversed names order reversed");
            if (codePage.UpperAscii(a) == codePage.UpperAscii(b)) {
                Require(ab == 0, "names that differ in case only are equal");
            } else if (kind == CodePage::Kind::Utf8) {
                Require(ab != 0, "names that differ in more than case differ");
            }
            for (const std::string_view c : names) {
                const int bc = Sign(codePage.CompareNames(b, c));
                const int ac = Sign(codePage.CompareNames(a, c));
                if (ab <= 0 && bc <= 0) {
                    Require(ac <= 0 && (ac < 0 || (ab == 0 && bc == 0)),
                            "the name order is transitive");
                }
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const CodePage::Kind kind = data[0] == 'S' ? CodePage::Kind::ShiftJis : CodePage::Kind::Utf8;
    const CodePage codePage(kind);
    const std::string_view text = fuzz::Text(data + 1, size - 1);
    CheckUtf8RoundTrip(text);
    CheckCharacters(codePage, kind, text);
    std::vector<std::string_view> names = fuzz::Split(text, '\n');
    if (names.size() > 8) {
        names.resize(8);  // the order's checks take the cube of the count
    }
    CheckNameOrder(codePage, kind, names);
    return 0;
}
