#include "func/profile_file.h"

#include <cerrno>
#include <limits>

#include "platform/file_system.h"

namespace func {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\v' || ch == '\f';
}

// True for a value that no file can hold: a line break would add lines of its own, and a NUL byte
// makes the whole file one that LoadProfileFile refuses.
bool CannotBeStored(std::string_view value) {
    return value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char UpperLetter(char ch) {
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') {
        return ch - '0';
    }
    if (ch >= 'a' && ch <= 'f') {
        return ch - 'a' + 10;
    }
    if (ch >= 'A' && ch <= 'F') {
        return ch - 'A' + 10;
    }
    return -1;
}

std::optional<std::int32_t> ParseHex(std::string_view digits) {
    std::uint64_t value = 0;
    for (const char ch : digits) {
        const int digit = HexDigit(ch);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFULL) {
            return std::nullopt;
        }
    }
    // Eight hex digits fill the 32 bits: 0xFFFFFFFF is -1, as the Windows reader gives it.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9') {
            return std::nullopt;
        }
        value = value * 10 + (ch - '0');
        if (value > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

// UTF-16 text after its byte-order mark, as UTF-8; a unit that is no character becomes U+FFFD.
std::string Utf8OfUtf16(std::string_view bytes, bool bigEndian) {
    const auto unit = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    std::string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t high = unit(i);
        if (high >= 0xD800 && high <= 0xDBFF && i + 3 < bytes.size()) {
            const char16_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                platform::AppendUtf8(text,
                                     0x10000 + ((char32_t{high} - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        platform::AppendUtf8(text, high >= 0xD800 && high <= 0xDFFF ? 0xFFFD : char32_t{high});
    }
    return text;
}

}  // namespace

std::string TextOfFile(std::string bytes) {
    if (bytes.starts_with("\xFF\xFE")) {
        return Utf8OfUtf16(std::string_view(bytes).substr(2), false);
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return Utf8OfUtf16(std::string_view(bytes).substr(2), true);
    }
    return bytes;
}

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return ParseHex(text.substr(2));
    }
    return ParseDecimal(text);
}

ProfileFile::ProfileFile(const platform::CodePage& codePage) : m_codePage(&codePage) {}

ProfileFile::Line ProfileFile::ParseLine(std::string_view text) {
    Line line;
    line.Text = std::string(text);
    const std::string_view content = TrimBlanks(text);
    if (content.empty() || content.front() == ';') {
        return line;
    }
    if (content.front() == '[') {
        const std::size_t close = content.rfind(']');
        if (close != std::string_view::npos) {
            line.Type = Line::Kind::Section;
            line.Name = std::string(TrimBlanks(content.substr(1, close - 1)));
            return line;
        }
    }
    line.Type = Line::Kind::Key;
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) {
        line.Name = std::string(content);
    } else {
        line.Name = std::string(TrimBlanks(content.substr(0, equals)));
        line.Value = std::string(TrimBlanks(content.substr(equals + 1)));
    }
    return line;
}

void ProfileFile::Parse(std::string_view text) {
    m_lines.clear();
    m_byteOrderMark = text.starts_with(kByteOrderMark);
    if (m_byteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    // Lines end in CR LF, LF or a lone CR. A NUL byte, which no text holds, ends a line too:
    // in a damaged file, what stands on either side of the damage is read.
    static constexpr std::string_view kLineEnds("\r\n\0", 3);
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(kLineEnds);
        m_lines.push_back(ParseLine(text.substr(0, end)));
        if (end == std::string_view::npos) {
            break;
        }
        const bool crLf = text.compare(end, 2, "\r\n") == 0;
        text.remove_prefix(end + (crLf ? 2 : 1));
    }
}

std::string ProfileFile::Text() const {
    std::string text(m_byteOrderMark ? kByteOrderMark : std::string_view());
    for (const Line& line : m_lines) {
        text += line.Text;
        text += "\r\n";
    }
    return text;
}

bool ProfileFile::SameName(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) {
        return false;
    }
    // Character by character, so that the trail byte of a double-byte character is never folded.
    for (std::size_t pos = 0; pos < a.size();) {
        const std::size_t length = m_codePage->CharLength(a, pos);
        if (length != m_codePage->CharLength(b, pos)) {
            return false;
        }
        if (length == 1) {
            if (UpperLetter(a[pos]) != UpperLetter(b[pos])) {
                return false;
            }
        } else if (a.substr(pos, length) != b.substr(pos, length)) {
            return false;
        }
        pos += length;
    }
    return true;
}

std::optional<std::size_t> ProfileFile::FindSection(std::string_view section) const {
    for (std::size_t index = 0; index < m_lines.size(); ++index) {
        if (m_lines[index].Type == Line::Kind::Section && SameName(m_lines[index].Name, section)) {
            return index;
        }
    }
    return std::nullopt;
}

std::size_t ProfileFile::SectionEnd(std::size_t header) const {
    std::size_t index = header + 1;
    while (index < m_lines.size() && m_lines[index].Type != Line::Kind::Section) {
        ++index;
    }
    return index;
}

std::optional<std::size_t> ProfileFile::FindKey(std::string_view section,
                                                std::string_view key) const {
    const std::optional<std::size_t> header = FindSection(section);
    if (!header) {
        return std::nullopt;
    }
    const std::size_t end = SectionEnd(*header);
    for (std::size_t index = *header + 1; index < end; ++index) {
        if (m_lines[index].Type == Line::Kind::Key && SameName(m_lines[index].Name, key)) {
            return index;
        }
    }
    return std::nullopt;
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    const std::optional<std::size_t> index = FindKey(section, key);
    if (!index || !m_lines[*index].Value) {
        return std::string(defaultValue);
    }
    return *m_lines[*index].Value;
}

std::int32_t ProfileFile::ReadInteger(std::string_view section, std::string_view key,
                                      std::int32_t defaultValue) const {
    const std::optional<std::size_t> index = FindKey(section, key);
    if (!index || !m_lines[*index].Value) {
        return defaultValue;
    }
    return ParseWholeNumber(*m_lines[*index].Value).value_or(defaultValue);
}

std::error_code ProfileFile::WriteString(std::string_view section, std::string_view key,
                                         std::string_view value) {
    if (CannotBeStored(value)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    if (const std::optional<std::size_t> index = FindKey(section, key)) {
        Line& line = m_lines[*index];
        line.Value = std::string(value);
        line.Text = line.Name + "=" + *line.Value;
        return {};
    }

    Line line;
    line.Type = Line::Kind::Key;
    line.Name = std::string(key);
    line.Value = std::string(value);
    line.Text = line.Name + "=" + *line.Value;

    const std::optional<std::size_t> header = FindSection(section);
    if (!header) {
        Line sectionLine;
        sectionLine.Type = Line::Kind::Section;
        sectionLine.Name = std::string(section);
        sectionLine.Text = "[" + sectionLine.Name + "]";
        m_lines.push_back(std::move(sectionLine));
        m_lines.push_back(std::move(line));
        return {};
    }
    // After the section's last line that carries anything, so that empty lines that separate it
    // from the next section stay where they are.
    std::size_t insertAt = *header + 1;
    const std::size_t end = SectionEnd(*header);
    for (std::size_t index = *header + 1; index < end; ++index) {
        if (!TrimBlanks(m_lines[index].Text).empty()) {
            insertAt = index + 1;
        }
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
    return {};
}

std::vector<std::string> ProfileFile::ValuesOfEverySection(std::string_view section) const {
    std::vector<std::string> values;
    bool inSection = false;
    for (const Line& line : m_lines) {
        if (line.Type == Line::Kind::Section) {
            inSection = SameName(line.Name, section);
        } else if (inSection && line.Type == Line::Kind::Key) {
            values.push_back(line.Value.value_or(std::string()));
        }
    }
    return values;
}

std::error_code ProfileFile::ReplaceSection(
    std::string_view section, const std::vector<std::pair<std::string, std::string>>& keys) {
    for (const auto& [key, value] : keys) {
        if (CannotBeStored(value)) {
            return std::make_error_code(std::errc::invalid_argument);
        }
    }
    EraseSection(section);
    if (keys.empty()) {
        return {};
    }
    Line header;
    header.Type = Line::Kind::Section;
    header.Name = std::string(section);
    header.Text = "[" + header.Name + "]";
    m_lines.push_back(std::move(header));
    for (const auto& [key, value] : keys) {
        Line line;
        line.Type = Line::Kind::Key;
        line.Name = key;
        line.Value = value;
        line.Text = key + "=" + value;
        m_lines.push_back(std::move(line));
    }
    return {};
}

void ProfileFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void ProfileFile::EraseSection(std::string_view section) {
    while (const std::optional<std::size_t> header = FindSection(section)) {
        const std::size_t end = SectionEnd(*header);
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*header),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(end));
    }
}

std::error_code LoadProfileFile(const std::string& path, ProfileFile& profile) {
    std::string contents;
    std::error_code error = platform::ReadWholeFile(path, contents);
    if (error == std::errc::no_such_file_or_directory) {
        error.clear();
        contents.clear();
    }
    if (!error) {
        contents = TextOfFile(std::move(contents));
        // NUL bytes stand in no text file: the file is damaged (or no settings file at all),
        // and the caller is told so; what can be read of it is read all the same.
        if (contents.find('\0') != std::string::npos) {
            error = std::make_error_code(std::errc::illegal_byte_sequence);
        }
    }
    const bool readable = !error || error == std::errc::illegal_byte_sequence;
    profile.Parse(readable ? std::string_view(contents) : std::string_view());
    return error;
}

std::error_code SaveProfileFile(const std::string& path, const ProfileFile& profile) {
    return platform::WriteFileAtomically(path, profile.Text());
}

}  // namespace func
