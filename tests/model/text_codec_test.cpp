// Code page 932 conversion: the characters Windows-written files need mapped their way, and
// characters that cannot be stored reported rather than dropped.
#include <gtest/gtest.h>

#include "model/TextCodec.h"

TEST(TextCodec, CharactersWindowsFilesNeed) {
    struct Case {
        const char* utf8;
        std::string cp932;
    };
    const Case cases[] = {
        {"〜", "\x81\x60"}, // wave dash
        {"～", "\x81\x60"}, // fullwidth tilde
        {"−", "\x81\x7C"},  // minus sign
        {"¥", "\x5C"},      // yen sign
        {"①", "\x87\x40"},  // NEC extension
        {"ソ", "\x83\x5C"}, // a trail byte that looks like a backslash
        {"abc", "abc"},
    };
    for (const Case& c : cases) {
        const CodecResult r = Utf8ToCp932(c.utf8);
        EXPECT_TRUE(r.ok()) << c.utf8;
        EXPECT_EQ(r.text, c.cp932) << c.utf8;
    }
}

TEST(TextCodec, CodePage932ToUtf8) {
    EXPECT_EQ(Cp932ToUtf8("\x81\x60"), "～");
    EXPECT_EQ(Cp932ToUtf8("\x87\x40"), "①");
    EXPECT_EQ(Cp932ToUtf8("\x83\x5C"), "ソ");
    EXPECT_EQ(Cp932ToUtf8("\x82\xB1\x82\xB1\x82\xC9"), "ここに");
    EXPECT_EQ(Cp932ToUtf8(""), "");
}

TEST(TextCodec, InvalidBytesBecomeReplacementCharacters) {
    // 0xA0 is no character; a lead byte at the very end has no trail byte.
    EXPECT_EQ(Cp932ToUtf8("a\xA0"
                          "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(Cp932ToUtf8("a\x82"), "a\xEF\xBF\xBD");
}

TEST(TextCodec, UnconvertibleCharactersAreReportedOnceInOrder) {
    const CodecResult r = Utf8ToCp932("a😀b🍣c😀");
    EXPECT_FALSE(r.ok());
    ASSERT_EQ(r.unconvertible.size(), 2u);
    EXPECT_EQ(r.unconvertible[0], "😀");
    EXPECT_EQ(r.unconvertible[1], "🍣");
    EXPECT_EQ(r.text, "abc");
    EXPECT_FALSE(Utf8ToCp932Exact("😀").has_value());
    EXPECT_EQ(Utf8ToCp932Exact("ソ①").value(), "\x83\x5C\x87\x40");
}

TEST(TextCodec, RoundTripOfStoredText) {
    const std::string stored = "\x82\xB1\x81\x60\x87\x40\x83\x5C\r\n";
    const CodecResult back = Utf8ToCp932(Cp932ToUtf8(stored));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.text, stored);
}

TEST(TextCodec, WideTextNarrowedWithQuestionMarks) {
    EXPECT_EQ(Utf16ToCp932Lossy({u'a', 0x301C, 0x2212}), "a\x81\x60\x81\x7C");
    EXPECT_EQ(Utf16ToCp932Lossy({0xD83D, 0xDE00, u'x'}), "?x");
    EXPECT_EQ(Utf16ToCp932Lossy({0xDE00, u'x', 0xD83D}), "?x?");
    EXPECT_EQ(Utf16ToCp932Lossy({}), "");
}
