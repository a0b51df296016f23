// UTF-8 texts into UTF-16, and what becomes of bytes that are not UTF-8.
#include <gtest/gtest.h>

#include "wizard/win32/utf16_text.h"

namespace {

TEST(Utf16Text, WellFormedTextsAndEveryKindOfMalformedSequence) {
    struct Case {
        const char* what;
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"ASCII with line breaks", "Port:\r\r", u"Port:\r\r"},
        {"two bytes",
         "Schlie\xC3\x9F"
         "en",
         u"Schlie\u00DFen"},
        {"three bytes", "\xE2\x80\x9EWeiter\xE2\x80\x9C", u"\u201EWeiter\u201C"},
        {"four bytes: a surrogate pair", "\xF0\x9F\x93\xA0", u"\U0001F4E0"},
        {"the highest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"a lone continuation byte",
         "a\x80"
         "b",
         u"a\uFFFDb"},
        {"an overlong NUL", "\xC0\x80", u"\uFFFD\uFFFD"},
        {"an overlong three-byte form", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"a surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"a sequence cut short inside the text",
         "\xE2\x82"
         "x",
         u"\uFFFDx"},
        {"a sequence cut short at the end", "ab\xF0\x9F\x93", u"ab\uFFFD"},
        {"Latin-1 bytes", "K\xF6ln", u"K\uFFFDln"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::Utf16FromUtf8(c.utf8), c.utf16) << c.what;
    }
}

}  // namespace
