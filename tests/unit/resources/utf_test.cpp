#include <gtest/gtest.h>

#include "resource_reader.h"

namespace {

TEST(ToUtf8, EncodesEveryLength)
{
    EXPECT_EQ(res::ToUtf8(u""), "");
    EXPECT_EQ(res::ToUtf8(u"Send"), "Send");
    EXPECT_EQ(res::ToUtf8(u"\u00e9"), "\xC3\xA9");
    EXPECT_EQ(res::ToUtf8(u"關於"), "\xE9\x97\x9C\xE6\x96\xBC");
    EXPECT_EQ(res::ToUtf8(u"\U0001F50C"), "\xF0\x9F\x94\x8C");
    EXPECT_EQ(res::ToUtf8(std::u16string_view(u"a\0b", 3)), std::string("a\0b", 3));
}

TEST(ToUtf8, LoneSurrogatesBecomeReplacementCharacters)
{
    const std::string replacement = "\xEF\xBF\xBD";
    const char16_t high = 0xD83D, low = 0xDD0C;
    EXPECT_EQ(res::ToUtf8(std::u16string{high}), replacement);
    EXPECT_EQ(res::ToUtf8(std::u16string{low}), replacement);
    EXPECT_EQ(res::ToUtf8(std::u16string{high, u'x'}), replacement + "x");
    EXPECT_EQ(res::ToUtf8(std::u16string{low, high}), replacement + replacement);
    EXPECT_EQ(res::ToUtf8(std::u16string{high, high, low}), replacement + "\xF0\x9F\x94\x8C");
}

}  // namespace
