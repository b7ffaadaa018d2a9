#include "func/name_edit.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ShownName, ShowsValidUtf8AsItsCharactersAndEveryOtherByteAsAReplacement) {
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string shown;
    };
    const Case cases[] = {
        {"ASCII", "a.txt", u"a.txt"},
        {"Japanese", "写真.jpg", u"写真.jpg"},
        {"outside the basic plane", "\xF0\x9F\x93\xB7", u"\U0001F4F7"},
        {"two stray bytes", "bad\xFF\xFE.txt", u"bad\uFFFD\uFFFD.txt"},
        {"a character cut short", "x\xE5\x86", u"x\uFFFD\uFFFD"},
        {"an encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"an overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(func::ShownName(c.bytes), c.shown);
    }
}

TEST(EditedName, KeepsTheBytesOfTheCharactersThatTheEditLeftAlone) {
    struct Case {
        const char* name;
        std::string oldName;
        std::u16string edited;
        std::string expected;
    };
    const std::string odd = "bad\xFF\xFE";  // shown as bad + two replacements
    const Case cases[] = {
        {"nothing changed", odd + ".txt", u"bad\uFFFD\uFFFD.txt", odd + ".txt"},
        {"new extension", odd + ".txt", u"bad\uFFFD\uFFFD.jpg", odd + ".jpg"},
        {"new start", odd + ".txt", u"good\uFFFD\uFFFD.txt", "good\xFF\xFE.txt"},
        {"odd bytes replaced", odd + ".txt", u"bad-ok.txt", "bad-ok.txt"},
        {"one of two odd bytes removed", odd, u"bad\uFFFD", "bad\xFF"},
        {"text between odd bytes", "\xFF-\xFE", u"\uFFFD+\uFFFD", "\xFF+\xFE"},
        {"all new", odd, u"写真.jpg", "写真.jpg"},
        {"valid UTF-8 as before", "写真.jpg", u"写真2.jpg", "写真2.jpg"},
        {"a character outside the basic plane", "a\xF0\x9F\x93\xB7", u"a\U0001F4F8",
         "a\xF0\x9F\x93\xB8"},
        {"a lone surrogate typed", "a", u"a\xD800", "a\xEF\xBF\xBD"},
        {"emptied", odd, u"", ""},
        {"a repeated character grown", "aa", u"aaa", "aaa"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(func::EditedName(c.oldName, c.edited), c.expected);
    }
}

}  // namespace
