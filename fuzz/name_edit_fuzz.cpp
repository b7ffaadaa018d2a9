// A name edited as the rename dialog edits it. The input: the place of the edit (a byte, in
// UTF-16 units of the shown name), the count of units it removes (a byte), the old name's bytes,
// a line feed, and the text that the edit puts in: its valid UTF-8 characters as they are, every
// other byte as a lone surrogate, which a text field can hold too.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "func/name_edit.h"
#include "fuzz_support.h"
#include "platform/codepage.h"

namespace {

using fuzz::IsUtf8;
using fuzz::Require;

constexpr char16_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out += static_cast<char16_t>(codePoint);
    } else {
        out += static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    }
}

std::u16string Utf16Of(std::string_view bytes) {
    std::u16string text;
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t codePoint = 0;
        const std::size_t length = platform::DecodeUtf8(bytes, pos, codePoint);
        if (length == 0) {
            const auto byte = static_cast<unsigned char>(bytes[pos]);
            text += static_cast<char16_t>(((byte & 0x40) ? 0xDC00 : 0xD800) + (byte & 0x3F));
            ++pos;
        } else {
            AppendUtf16(text, codePoint);
            pos += length;
        }
    }
    return text;
}

// `text` with every surrogate that is not half of a pair turned into U+FFFD.
std::u16string WithoutLoneSurrogates(std::u16string text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
        const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            text[i] = kReplacement;
        }
    }
    return text;
}

// The bytes of the characters of `name` that are shown whole in the first `units` units.
std::size_t BytesShownWithin(std::string_view name, std::size_t units) {
    std::size_t bytes = 0;
    std::size_t shown = 0;
    while (bytes < name.size()) {
        char32_t codePoint = 0;
        const std::size_t length =
            std::max<std::size_t>(platform::DecodeUtf8(name, bytes, codePoint), 1);
        const std::size_t width = length == 4 ? 2 : 1;
        if (shown + width > units) {
            break;
        }
        shown += width;
        bytes += length;
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::string_view rest = fuzz::Text(data + 2, size - 2);
    const std::size_t lineEnd = std::min(rest.find('\n'), rest.size());
    const std::string_view oldName = rest.substr(0, lineEnd);
    const std::u16string inserted = Utf16Of(rest.substr(std::min(lineEnd + 1, rest.size())));

    const std::u16string shown = func::ShownName(oldName);
    Require(func::EditedName(oldName, shown) == oldName, "a name left as shown keeps its bytes");

    const std::size_t place = std::min<std::size_t>(data[0], shown.size());
    const std::size_t removed = std::min<std::size_t>(data[1], shown.size() - place);
    const std::u16string edited = shown.substr(0, place) + inserted + shown.substr(place + removed);
    const std::string name = func::EditedName(oldName, edited);

    Require(name.starts_with(oldName.substr(0, BytesShownWithin(oldName, place))),
            "the characters before the edit keep their bytes");
    if (IsUtf8(oldName)) {
        Require(IsUtf8(name), "an edited UTF-8 name stays UTF-8");
        Require(func::ShownName(name) == WithoutLoneSurrogates(edited),
                "an edited UTF-8 name is shown as it was edited");
    }
    return 0;
}
