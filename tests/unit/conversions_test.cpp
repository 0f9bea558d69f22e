// The conversions of a Send: count text, hex byte texts, and the result lines.
#include "conversions.h"
#include "cstring.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <climits>
#include <cstdio>
#include <string>

namespace {

using transfer::BytesToSend;
using transfer::FrameByte;
using transfer::ParseCount;
using transfer::ResultLine;

std::uint8_t ByteFromTypedText(const char* typed)
{
    CString text(typed);
    text.MakeUpper();
    return FrameByte(text.Str());
}

TEST(HexByteTest, EveryTwoDigitTextGivesItsValueInEitherCase)
{
    for (unsigned value = 0; value < 256; ++value) {
        char upper[3];
        char lower[3];
        std::snprintf(upper, sizeof upper, "%02X", value);
        std::snprintf(lower, sizeof lower, "%02x", value);
        EXPECT_EQ(ByteFromTypedText(upper), value) << upper;
        EXPECT_EQ(ByteFromTypedText(lower), value) << lower;
    }
}

TEST(HexByteTest, OtherCharactersGoThroughTheSameArithmetic)
{
    EXPECT_EQ(ByteFromTypedText("G0"), 0x00);  // ('G' - 7) << 4 keeps no bits
    EXPECT_EQ(ByteFromTypedText("0G"), 0x10);  // 'G' - 55 = 16 carries into the high digit
    EXPECT_EQ(ByteFromTypedText("  "), 0xF0);  // ' ' - 48 is negative
    EXPECT_EQ(ByteFromTypedText("g0"), 0x00) << "lower-case letters beyond f are upper-cased too";
    EXPECT_EQ(ByteFromTypedText("\xC3\xA9"), 0xA9) << "bytes above 0x7F count as negative";
    EXPECT_EQ(ByteFromTypedText("\xFF\xFF"), 0xBF);  // (-1 << 4) + (-1 - 48), kept to 8 bits
}

TEST(HexByteTest, OnlyATextOfExactlyTwoBytesSetsTheByte)
{
    for (const char* text : {"", "1", "A", "123", "7E ", " 7E", "FFFF"})
        EXPECT_EQ(ByteFromTypedText(text), 0x00) << '"' << text << '"';
    EXPECT_EQ(FrameByte(std::string(1 << 20, 'F')), 0x00);
}

TEST(CountTest, ConvertsLikeAtoi)
{
    EXPECT_EQ(ParseCount("2"), 2);
    EXPECT_EQ(ParseCount("3abc"), 3);
    EXPECT_EQ(ParseCount("abc"), 0);
    EXPECT_EQ(ParseCount(""), 0);
    EXPECT_EQ(ParseCount(" 2"), 2);
    EXPECT_EQ(ParseCount(" \t\n\v\f\r2"), 2);
    EXPECT_EQ(ParseCount("+3"), 3);
    EXPECT_EQ(ParseCount("-1"), -1);
    EXPECT_EQ(ParseCount("- 3"), 0);
    EXPECT_EQ(ParseCount("0x10"), 0);
    EXPECT_EQ(ParseCount("007"), 7);
}

TEST(CountTest, SaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(ParseCount("2147483647"), INT_MAX);
    EXPECT_EQ(ParseCount("2147483648"), INT_MAX);
    EXPECT_EQ(ParseCount("99999999999"), INT_MAX);
    EXPECT_EQ(ParseCount("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseCount("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(ParseCount(std::string(1 << 20, '9')), INT_MAX);
}

TEST(CountTest, BytesToSendStaysWithinTheFrame)
{
    EXPECT_EQ(BytesToSend(INT_MIN), 0);
    EXPECT_EQ(BytesToSend(-1), 0);
    EXPECT_EQ(BytesToSend(0), 0);
    EXPECT_EQ(BytesToSend(2), 2);
    EXPECT_EQ(BytesToSend(4), 4);
    EXPECT_EQ(BytesToSend(5), 4);
    EXPECT_EQ(BytesToSend(INT_MAX), 4);
}

TEST(ResultLineTest, EightBinaryDigitsMostSignificantFirstThenCrLf)
{
    EXPECT_EQ(ResultLine(0x41), "01000001\r\n");
    EXPECT_EQ(ResultLine(0x00), "00000000\r\n");
    EXPECT_EQ(ResultLine(0x80), "10000000\r\n");
    EXPECT_EQ(ResultLine(0xFF), "11111111\r\n");
    for (unsigned value = 0; value < 256; ++value) {
        const std::string line = ResultLine(static_cast<std::uint8_t>(value));
        ASSERT_EQ(line.size(), 10u);
        EXPECT_EQ(std::stoul(line.substr(0, 8), nullptr, 2), value);
    }
}

// In any code page: a to z become A to Z, the byte length never changes, and a byte that forms no
// character stays. On Linux nothing else changes; on Windows a letter of the code page with an
// upper case of its own length takes it.
TEST(CStringTest, UpperCasingKeepsTheLengthAndWhatFormsNoCharacter)
{
    CString text("a5z{\xFF" "b");
    text.MakeUpper();
    EXPECT_EQ(text, "A5Z{\xFF" "B");
#ifdef _WIN32
    char lower[8] = {};
    char upper[8] = {};
    if (::WideCharToMultiByte(CP_ACP, 0, L"\x03b1", -1, lower, sizeof lower, nullptr, nullptr) <= 1 ||
        ::WideCharToMultiByte(CP_ACP, 0, L"\x0391", -1, upper, sizeof upper, nullptr, nullptr) <= 1)
        GTEST_SKIP() << "this code page has no Greek letters";
    CString greek(lower);
    greek.MakeUpper();
    EXPECT_EQ(greek, upper);
#else
    CString accented("\xC3\xA9");
    accented.MakeUpper();
    EXPECT_EQ(accented, "\xC3\xA9");
#endif
}

}  // namespace
