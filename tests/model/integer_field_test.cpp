// How the numeric dialogs read an integer field and which message refuses it.
#include <gtest/gtest.h>

#include "model/IntegerField.h"

namespace {
bool Parses(std::string_view text, std::int32_t expected) {
    std::int32_t value = -12345;
    return ParseDialogInteger(text, value) && value == expected;
}
bool Refused(std::string_view text) {
    std::int32_t value = -12345;
    return !ParseDialogInteger(text, value) && value == -12345;
}
} // namespace

TEST(IntegerField, Accepted) {
    EXPECT_TRUE(Parses(" 250 ", 250));
    EXPECT_TRUE(Parses("\t250\t", 250));
    EXPECT_TRUE(Parses("0", 0));
    EXPECT_TRUE(Parses("00", 0));
    EXPECT_TRUE(Parses("  0", 0));
    EXPECT_TRUE(Parses("-5", -5));
    EXPECT_TRUE(Parses("+7", 7));
    EXPECT_TRUE(Parses("007", 7));
    EXPECT_TRUE(Parses("2147483647", 2147483647));
    EXPECT_TRUE(Parses("-2147483648", -2147483647 - 1));
}

TEST(IntegerField, Refused) {
    EXPECT_TRUE(Refused("-0"));
    EXPECT_TRUE(Refused("+0"));
    EXPECT_TRUE(Refused(" -00"));
    EXPECT_TRUE(Refused(""));
    EXPECT_TRUE(Refused("   "));
    EXPECT_TRUE(Refused("12abc"));
    EXPECT_TRUE(Refused("1 2"));
    EXPECT_TRUE(Refused("0x10"));
    EXPECT_TRUE(Refused("1.5"));
    EXPECT_TRUE(Refused("-"));
    EXPECT_TRUE(Refused("+-1"));
    EXPECT_TRUE(Refused("abc"));
    EXPECT_TRUE(Refused("2147483648"));
    EXPECT_TRUE(Refused("-2147483649"));
    EXPECT_TRUE(Refused("99999999999999999999999"));
    EXPECT_TRUE(Refused("1\n"));
}

TEST(IntegerField, RangeCheck) {
    std::int32_t value = 0;
    EXPECT_EQ(ReadIntegerField("9", value, 10, 1000), EIntegerField::OutOfRange);
    EXPECT_EQ(value, 9);
    EXPECT_EQ(ReadIntegerField(" 10", value, 10, 1000), EIntegerField::Ok);
    EXPECT_EQ(ReadIntegerField("1000", value, 10, 1000), EIntegerField::Ok);
    EXPECT_EQ(value, 1000);
    EXPECT_EQ(ReadIntegerField("1001", value, 10, 1000), EIntegerField::OutOfRange);
    EXPECT_EQ(ReadIntegerField("-0", value, 10, 1000), EIntegerField::NotAnInteger);
    EXPECT_EQ(ReadIntegerField("", value, 10, 1000), EIntegerField::NotAnInteger);
    EXPECT_EQ(ReadIntegerField("-5", value), EIntegerField::Ok);
    EXPECT_EQ(value, -5);
    EXPECT_EQ(ReadIntegerField("x", value), EIntegerField::NotAnInteger);
}

TEST(IntegerField, Messages) {
    EXPECT_STREQ(kMsgEnterInteger, "Please enter an integer.");
    EXPECT_EQ(EnterIntegerBetweenMessage(10, 1000), "Please enter an integer between 10 and 1000.");
    EXPECT_EQ(EnterIntegerBetweenMessage(100, 2000),
              "Please enter an integer between 100 and 2000.");
    EXPECT_EQ(EnterIntegerBetweenMessage(-5, 0), "Please enter an integer between -5 and 0.");
}
