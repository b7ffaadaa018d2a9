#include "func/name_edit.h"

#include <cstddef>
#include <vector>

#include "platform/codepage.h"

namespace func {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// One character of a name: the bytes it stands for and how it is shown.
struct Piece {
    std::size_t ByteBegin = 0;
    std::size_t ByteEnd = 0;
    std::u16string Shown;
};

void AppendUtf16(std::u16string& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out += static_cast<char16_t>(codePoint);
    } else {
        codePoint -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
        out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    }
}

std::string Utf8Of(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            platform::AppendUtf8(
                out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            platform::AppendUtf8(out, high || low ? kReplacement : char32_t{unit});
        }
    }
    return out;
}

std::vector<Piece> PiecesOf(std::string_view bytes) {
    std::vector<Piece> pieces;
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t codePoint = 0;
        std::size_t length = platform::DecodeUtf8(bytes, pos, codePoint);
        if (length == 0) {
            length = 1;
            codePoint = kReplacement;
        }
        Piece piece{pos, pos + length, {}};
        AppendUtf16(piece.Shown, codePoint);
        pieces.push_back(std::move(piece));
        pos += length;
    }
    return pieces;
}

}  // namespace

std::u16string ShownName(std::string_view bytes) {
    std::u16string shown;
    for (const Piece& piece : PiecesOf(bytes)) {
        shown += piece.Shown;
    }
    return shown;
}

std::string EditedName(std::string_view oldName, std::u16string_view edited) {
    const std::vector<Piece> pieces = PiecesOf(oldName);
    // Whole characters that stand unchanged at the start...
    std::size_t head = 0;       // pieces
    std::size_t headUnits = 0;  // UTF-16 units of `edited`
    while (head < pieces.size() && edited.substr(headUnits).starts_with(pieces[head].Shown)) {
        headUnits += pieces[head].Shown.size();
        ++head;
    }
    // ...and at the end, without reaching into the start.
    std::size_t tail = pieces.size();
    std::size_t tailUnits = edited.size();
    while (tail > head) {
        const std::u16string& shown = pieces[tail - 1].Shown;
        if (tailUnits < headUnits + shown.size() ||
            edited.substr(tailUnits - shown.size(), shown.size()) != shown) {
            break;
        }
        tailUnits -= shown.size();
        --tail;
    }
    const std::size_t headBytes = head == 0 ? 0 : pieces[head - 1].ByteEnd;
    const std::size_t tailBytes = tail == pieces.size() ? oldName.size() : pieces[tail].ByteBegin;
    return std::string(oldName.substr(0, headBytes)) +
           Utf8Of(edited.substr(headUnits, tailUnits - headUnits)) +
           std::string(oldName.substr(tailBytes));
}

}  // namespace func
