// Code page 932 conversion: the characters Windows-written files need mapped their way, and
// characters that cannot be stored reported rather than dropped.
#include <gtest/gtest.h>

#include <iconv.h>
#include <random>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "model/Archive.h"
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

namespace {

// Reference conversions straight through iconv, one character at a time.
std::string ReferenceCp932ToUtf8(const std::string& in) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    std::string out;
    for (std::size_t pos = 0; pos < in.size();) {
        std::size_t used = 0;
        for (std::size_t len = 1; len <= 2 && pos + len <= in.size() && used == 0; ++len) {
            char* inPtr = const_cast<char*>(in.data() + pos);
            std::size_t inLeft = len;
            char buffer[16];
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) {
                out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
                used = len;
            } else if (errno != EINVAL) {
                break; // invalid, not merely incomplete
            }
        }
        if (used == 0) {
            out += "\xEF\xBF\xBD";
            used = 1;
        }
        pos += used;
    }
    iconv_close(cd);
    return out;
}

std::string ReferenceUtf16ToCp932(const std::u16string& units) {
    iconv_t cd = iconv_open("CP932", "UTF-16LE");
    std::string out;
    for (char16_t unit : units) {
        char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        char* inPtr = in;
        std::size_t inLeft = 2;
        char buffer[16];
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            out.push_back('?');
        } else if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) {
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        } else {
            out.push_back('?');
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

// The decoding table is built a lead byte at a time as texts need it: threads decoding texts of
// different lead bytes at once, each row's first use racing with others, all get iconv's
// result. (Declared before the test below, which builds every row.)
TEST(TextCodec, RowsBuiltOnFirstUseAgreeAcrossThreads) {
    std::vector<std::string> texts;
    std::vector<std::string> expected;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        std::string text = "name.jpg ";
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            text += static_cast<char>(lead);
            text += static_cast<char>(trail);
        }
        expected.push_back(ReferenceCp932ToUtf8(text));
        texts.push_back(std::move(text));
    }
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            // Each thread walks the rows from a different start, so first uses collide.
            for (std::size_t i = 0; i < texts.size(); ++i) {
                const std::size_t k = (i + static_cast<std::size_t>(t) * 31) % texts.size();
                if (Cp932ToUtf8(texts[k]) != expected[k]) {
                    ++mismatches[static_cast<std::size_t>(t)];
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

// Every byte pair and every character of the basic plane converts as iconv converts it alone.
TEST(TextCodec, TablesAgreeWithIconvOnEveryCharacter) {
    std::string allPairs;
    for (int lead = 0; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 0x100; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            // Each pair on its own, and each byte alone at the very end.
            ASSERT_EQ(Cp932ToUtf8(pair), ReferenceCp932ToUtf8(pair)) << lead << " " << trail;
        }
        const std::string single(1, static_cast<char>(lead));
        ASSERT_EQ(Cp932ToUtf8(single), ReferenceCp932ToUtf8(single)) << lead;
    }
    for (char32_t c = 0; c < 0x10000; ++c) {
        const char16_t unit = static_cast<char16_t>(c);
        ASSERT_EQ(Utf16ToCp932Lossy({unit}), ReferenceUtf16ToCp932(std::u16string(1, unit)))
            << std::hex << static_cast<unsigned>(c);
    }
}

TEST(TextCodec, RandomBytesConvertAsIconvConvertsThem) {
    std::mt19937 rng(932);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(rng() % 40, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(rng() % 4 == 0 ? 0x81 + rng() % 0x7C : rng() % 0x100);
        }
        ASSERT_EQ(Cp932ToUtf8(bytes), ReferenceCp932ToUtf8(bytes)) << round;
    }
}

TEST(TextCodec, MalformedUtf8IsReportedAsBefore) {
    struct Case {
        std::string utf8;
        std::string text;
        std::vector<std::string> bad;
    };
    const Case cases[] = {
        {"a\x80z", "az", {"\x80"}},
        {"a\xE3\x41\x42z", "az", {"\xE3\x41\x42"}}, // a lead whose continuation is missing
        {"a\xE0\x80\x80z", "az", {"\xE0\x80\x80"}}, // an overlong form
        {"a\xED\xA0\x80z", "az", {"\xED\xA0\x80"}}, // a surrogate
        {"a\xE3\x81", "a", {"\xE3\x81"}},           // cut short
        {"\xE2\x98\x83\xE2\x98\x83x", "x", {"\xE2\x98\x83"}},
    };
    for (const Case& c : cases) {
        const CodecResult r = Utf8ToCp932(c.utf8);
        EXPECT_EQ(r.text, c.text) << c.utf8;
        EXPECT_EQ(r.unconvertible, c.bad) << c.utf8;
    }
}

// 20 MB of wide text that code page 932 cannot hold (ten million snowmen) is read as a string
// of question marks (the time this takes is measured by the benchmark).
TEST(TextCodec, TwentyMegabytesOfUnconvertibleWideText) {
    constexpr std::uint32_t kUnits = 10'000'000;
    Bytes bytes = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF};
    PutInt32(bytes, static_cast<std::int32_t>(kUnits + 1));
    for (std::uint32_t i = 0; i < kUnits; ++i) {
        bytes.push_back(0x03);
        bytes.push_back(0x26);
    }
    bytes.push_back('a');
    bytes.push_back(0);
    CArchive ar = CArchive::ForLoading(bytes, "wide.vlm");
    std::string text;
    ar.Exchange(text);
    ASSERT_EQ(text.size(), kUnits + 1);
    EXPECT_EQ(text.find_first_not_of('?'), kUnits);
    EXPECT_EQ(text.back(), 'a');
}
