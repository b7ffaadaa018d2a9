#include "platform/codepage.h"

namespace platform {

namespace {

bool IsShiftJisLead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsUtf8Continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length that a UTF-8 lead byte announces, or 1 for a byte that starts no multi-byte sequence.
std::size_t Utf8Announced(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF) {
        return 2;
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        return 3;
    }
    if (byte >= 0xF0 && byte <= 0xF4) {
        return 4;
    }
    return 1;
}

unsigned char UpperByte(unsigned char byte) {
    return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

}  // namespace

std::size_t CodePage::CharLength(std::string_view text, std::size_t pos) const {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (m_kind == Kind::ShiftJis) {
        // A lead byte right before the end counts as the end of the text, not as a character.
        return (IsShiftJisLead(lead) && pos + 1 < text.size() && text[pos + 1] != '\0') ? 2 : 1;
    }
    const std::size_t announced = Utf8Announced(lead);
    if (pos + announced > text.size()) {
        return 1;
    }
    for (std::size_t i = 1; i < announced; ++i) {
        if (!IsUtf8Continuation(static_cast<unsigned char>(text[pos + i]))) {
            return 1;  // A broken sequence: its bytes count one by one.
        }
    }
    return announced;
}

std::size_t CodePage::FindLast(std::string_view text, char ch) const {
    std::size_t found = std::string_view::npos;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
        if (text[pos] == ch) {
            found = pos;
        }
    }
    return found;
}

bool CodePage::EndsWithChar(std::string_view text, char ch) const {
    std::size_t last = std::string_view::npos;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
        last = pos;
    }
    return last != std::string_view::npos && last + 1 == text.size() && text[last] == ch;
}

std::string CodePage::UpperAscii(std::string_view text) const {
    std::string upper(text);
    for (std::size_t pos = 0; pos < upper.size();) {
        const std::size_t length = CharLength(upper, pos);
        if (length == 1) {
            upper[pos] = static_cast<char>(UpperByte(static_cast<unsigned char>(upper[pos])));
        }
        pos += length;
    }
    return upper;
}

int CodePage::CompareNames(std::string_view a, std::string_view b) const {
    // In Shift JIS a lead byte with nothing behind it ends the text.
    const auto textEnd = [this](std::string_view text) {
        if (m_kind != Kind::ShiftJis) {
            return text.size();
        }
        std::size_t pos = 0;
        while (pos < text.size() && pos + CharLength(text, pos) < text.size()) {
            pos += CharLength(text, pos);
        }
        const bool dangling =
            pos + 1 == text.size() && IsShiftJisLead(static_cast<unsigned char>(text[pos]));
        return dangling ? pos : text.size();
    };
    const std::size_t endOfA = textEnd(a);
    const std::size_t endOfB = textEnd(b);
    std::size_t pa = 0;
    std::size_t pb = 0;
    for (;;) {
        const bool endA = pa >= endOfA;
        const bool endB = pb >= endOfB;
        if (endA || endB) {
            return endA == endB ? 0 : (endA ? -1 : 1);
        }
        const std::size_t la = CharLength(a, pa);
        const std::size_t lb = CharLength(b, pb);
        if (la == 1 && lb == 1) {
            const int diff = UpperByte(static_cast<unsigned char>(a[pa])) -
                             UpperByte(static_cast<unsigned char>(b[pb]));
            if (diff != 0) {
                return diff;
            }
        } else if (la == 1 || lb == 1) {
            return la == 1 ? -1 : 1;  // Single-byte characters come first.
        } else {
            // Multi-byte characters: byte order is the code order in both code pages.
            const int diff = a.substr(pa, la).compare(b.substr(pb, lb));
            if (diff != 0) {
                return diff;
            }
        }
        pa += la;
        pb += lb;
    }
}

const CodePage& SystemCodePage() {
    static const CodePage system(CodePage::Kind::Utf8);
    return system;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

static bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 character at `pos` and its code point; 0 when none starts there.
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (pos + length > text.size() || byte(1) < low || byte(1) > high) {
        return 0;
    }
    codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(byte(i))) {
            return 0;
        }
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    return length;
}

}  // namespace platform
