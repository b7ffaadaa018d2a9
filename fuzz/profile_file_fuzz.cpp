// The settings file as the program reads it, changes it and writes it back. The input: one byte
// that picks the code page ('S' for Shift JIS, anything else for UTF-8), then the file's bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "func/no_del_list.h"
#include "func/profile_file.h"
#include "fuzz_support.h"
#include "platform/codepage.h"

namespace {

using func::ProfileFile;
using fuzz::IsUtf8;
using fuzz::Require;
using Keys = std::vector<std::pair<std::string, std::string>>;

constexpr std::string_view kNoDelSection = "DOPPLETD";
constexpr std::string_view kMissing = "\x01missing";

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Section names to look into: the program's own and whatever stands between brackets.
std::vector<std::string> SectionsToProbe(std::string_view text) {
    std::vector<std::string> sections{"DOPPLETF", std::string(kNoDelSection), ""};
    for (const std::string_view line : fuzz::Split(text, '\n')) {
        const std::size_t open = line.find('[');
        const std::size_t close = line.rfind(']');
        if (open != std::string_view::npos && close != std::string_view::npos && open < close) {
            sections.emplace_back(TrimBlanks(line.substr(open + 1, close - open - 1)));
        }
        if (sections.size() == 8) {
            break;
        }
    }
    return sections;
}

// Key names to look up: the program's own, the ones that the writes below add, and whatever
// stands before the "=" of a line (or is the whole line).
std::vector<std::string> KeysToProbe(std::string_view text) {
    std::vector<std::string> keys{"posX", "NODEL1", "Key", "Added Key", "Number"};
    for (const std::string_view line : fuzz::Split(text, '\n')) {
        keys.emplace_back(TrimBlanks(line.substr(0, line.find('='))));
        if (keys.size() == 24) {
            break;
        }
    }
    return keys;
}

// What a section reads as: each probed key's value and the values of every section of its name.
struct SectionReading {
    Keys Section;
    std::vector<std::string> Values;
    bool operator==(const SectionReading&) const = default;
};

Keys ReadKeys(const ProfileFile& profile, const std::string& section,
              const std::vector<std::string>& keys) {
    Keys values;
    for (const std::string& key : keys) {
        values.emplace_back(key, profile.ReadString(section, key, kMissing));
    }
    return values;
}

SectionReading Read(const ProfileFile& profile, const std::string& section,
                    const std::vector<std::string>& keys) {
    return {ReadKeys(profile, section, keys), profile.ValuesOfEverySection(section)};
}

// A key reads as the same number as its text.
void CheckReads(const ProfileFile& profile, const std::string& section,
                const std::vector<std::string>& keys) {
    for (const auto& [key, value] : ReadKeys(profile, section, keys)) {
        const std::int32_t number = profile.ReadInteger(section, key, -7);
        Require(
            number ==
                (value == kMissing ? -7 : func::ParseWholeNumber(value).value_or(std::int32_t{-7})),
            "a key's number is its value's");
    }
}

// `profile` written out and read back as the loader reads a file.
ProfileFile ReadBack(const ProfileFile& profile, const platform::CodePage& codePage) {
    const std::string text = profile.Text();
    Require(func::TextOfFile(text) == text && text.find('\0') == std::string::npos,
            "a written file is one that the loader takes as it is");
    ProfileFile again(codePage);
    again.Parse(text);
    Require(again.Text() == profile.Text(), "a file read back writes the same bytes");
    return again;
}

// The probed keys of a section as they should read after `key` was set to `value`.
Keys WithKey(Keys keys, const std::string& key, const std::string& value,
             const platform::CodePage& codePage) {
    for (auto& [name, old] : keys) {
        if (codePage.UpperAscii(name) == codePage.UpperAscii(key)) {
            old = value;
        }
    }
    return keys;
}

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\v' || ch == '\f';
}

// Any bytes as a value: refused when they would not come back, or read back as they were written,
// without the blanks at their ends.
void CheckAnyValue(const ProfileFile& original, std::string_view value,
                   const platform::CodePage& codePage) {
    ProfileFile profile = original;
    if (profile.WriteString("Fuzz", "Any", value)) {
        Require(value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos,
                "only a value with a line break or a NUL byte is refused");
        return;
    }
    while (!value.empty() && IsBlank(value.front())) {
        value.remove_prefix(1);
    }
    while (!value.empty() && IsBlank(value.back())) {
        value.remove_suffix(1);
    }
    Require(ReadBack(profile, codePage).ReadString("Fuzz", "Any", kMissing) == value,
            "a written value reads back");
}

// Writes change the key they name and nothing else, also once the file is written and read back.
void CheckWrites(const ProfileFile& original, const std::vector<std::string>& sections,
                 const std::vector<std::string>& keys, const platform::CodePage& codePage,
                 std::int32_t number) {
    ProfileFile profile = original;
    // A key the file has already (one starting with "[", which no program writes, is left out:
    // written back with a "]" in its value, it would read as a section), and one that it has not.
    std::string section = "Fuzz";
    std::string key = "Key";
    std::string value = "value";
    for (const std::string& probe : sections) {
        for (const auto& [name, old] : ReadKeys(profile, probe, keys)) {
            if (old != kMissing && !name.empty() && !name.starts_with('[') &&
                !name.starts_with(';')) {
                section = probe;
                key = name;
                value = old + "~more";
            }
        }
    }
    std::vector<SectionReading> before;
    for (const std::string& probe : sections) {
        before.push_back(Read(profile, probe, keys));
    }
    const Keys sectionBefore = ReadKeys(profile, section, keys);
    const std::string text = profile.Text();
    Require(profile.WriteString(section, key, "line\nbreak") == std::errc::invalid_argument &&
                profile.Text() == text,
            "a value with a line break is refused and changes nothing");

    Require(!profile.WriteString(section, key, value), "a write succeeds");
    Require(!profile.WriteString(section, "Added Key", "added"), "a write succeeds");
    profile.WriteInteger(section, "Number", number);
    Keys expected = WithKey(sectionBefore, key, value, codePage);
    expected = WithKey(expected, "Added Key", "added", codePage);
    expected = WithKey(expected, "Number", std::to_string(number), codePage);

    for (const ProfileFile& written : {profile, ReadBack(profile, codePage)}) {
        Require(ReadKeys(written, section, keys) == expected, "a written section reads as written");
        Require(written.ReadInteger(section, "Number", number ^ 1) == number,
                "a written number reads as written");
        for (std::size_t i = 0; i < sections.size(); ++i) {
            if (codePage.UpperAscii(sections[i]) != codePage.UpperAscii(section)) {
                Require(Read(written, sections[i], keys) == before[i],
                        "a write leaves other sections");
            }
        }
    }
}

// The must-not-delete list as the settings load it.
std::vector<std::string> NoDelList(const ProfileFile& profile, const platform::CodePage& codePage) {
    std::vector<std::string> entries;
    for (const std::string& value : profile.ValuesOfEverySection(kNoDelSection)) {
        if (!value.empty()) {
            entries.push_back(codePage.UpperAscii(value));
        }
    }
    func::TidyNoDelList(entries);
    return entries;
}

// The loaded list is tidy, protects what it names, and comes back whole once saved and loaded.
void CheckNoDelList(const ProfileFile& original, const platform::CodePage& codePage) {
    const std::vector<std::string> entries = NoDelList(original, codePage);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Require(!func::IsBlankEntry(entries[i]) &&
                    entries[i].find_first_of("\r\n") == std::string::npos,
                "the list holds no blank entry and no line break");
        Require(i == 0 || entries[i - 1] != entries[i], "the list holds every entry once");
        Require(func::IsProtected(entries[i], entries, codePage),
                "an entry protects a path that is the entry itself");
    }
    ProfileFile profile = original;
    Keys keys;
    for (const std::string& entry : entries) {
        keys.emplace_back("NODEL" + std::to_string(keys.size() + 1), entry);
    }
    Require(!profile.ReplaceSection(kNoDelSection, keys), "the list is written");
    Require(NoDelList(ReadBack(profile, codePage), codePage) == entries,
            "the list comes back as it was saved");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const platform::CodePage codePage(data[0] == 'S' ? platform::CodePage::Kind::ShiftJis
                                                     : platform::CodePage::Kind::Utf8);
    const std::string bytes(fuzz::Text(data + 1, size - 1));
    const std::string text = func::TextOfFile(bytes);
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        Require(IsUtf8(text), "UTF-16 text becomes UTF-8");
    }
    if (text.find('\0') != std::string::npos) {
        return 0;  // no settings file: the loader takes nothing of it
    }
    ProfileFile profile(codePage);
    profile.Parse(text);
    const std::vector<std::string> sections = SectionsToProbe(text);
    const std::vector<std::string> keys = KeysToProbe(text);
    const ProfileFile again = ReadBack(profile, codePage);
    for (const std::string& section : sections) {
        CheckReads(profile, section, keys);
        Require(Read(again, section, keys) == Read(profile, section, keys),
                "a file read back reads the same");
    }
    std::int32_t number = 0;
    std::memcpy(&number, bytes.data(), std::min(sizeof number, bytes.size()));
    CheckWrites(profile, sections, keys, codePage, number);
    CheckAnyValue(profile, std::string_view(bytes).substr(0, 16), codePage);
    CheckNoDelList(profile, codePage);
    return 0;
}
