#include <gtest/gtest.h>

#include "blob.h"
#include "resource_reader.h"

namespace {

using restest::Blob;

constexpr std::uint16_t kString = 6;

// A block of 16 slots with `texts` placed at their index and the others empty.
Blob Block(const std::vector<std::pair<int, std::u16string>>& texts)
{
    Blob blob;
    for (int slot = 0; slot < 16; ++slot) {
        std::u16string text;
        for (const auto& [index, value] : texts) {
            text = index == slot ? value : text;
        }
        blob.U16(static_cast<std::uint16_t>(text.size()));
        for (const char16_t unit : text) {
            blob.U16(unit);
        }
    }
    return blob;
}

TEST(StringTable, BlockAndSlotFollowFromTheId)
{
    const Blob first = Block({{0, u"zero"}, {15, u"fifteen"}});
    const Blob seventh = Block({{5, u"one hundred one"}});
    const std::vector<res::Entry> entries{{kString, 1, 0x0404, first.Span()}, {kString, 7, 0x0404, seventh.Span()}};
    EXPECT_EQ(res::FindString(entries, 0), std::optional<std::u16string>{u"zero"});
    EXPECT_EQ(res::FindString(entries, 15), std::optional<std::u16string>{u"fifteen"});
    EXPECT_EQ(res::FindString(entries, 101), std::optional<std::u16string>{u"one hundred one"});
    EXPECT_FALSE(res::FindString(entries, 1).has_value());    // empty slot
    EXPECT_FALSE(res::FindString(entries, 16).has_value());   // no block 2
    EXPECT_FALSE(res::FindString(entries, 0xFFFFFFFF).has_value());
}

TEST(StringTableForged, LengthsBeyondTheBlock)
{
    Blob longSlot;
    longSlot.U16(0xFFFF).U16(u'a');
    Blob longSkip;
    longSkip.U16(0xFFFF).U16(3).U16(u'a').U16(u'b').U16(u'c');
    const std::vector<res::Entry> entries{{kString, 1, 0, longSlot.Span()}, {kString, 2, 0, longSkip.Span()}};
    EXPECT_FALSE(res::FindString(entries, 0).has_value());
    EXPECT_FALSE(res::FindString(entries, 17).has_value());
}

}  // namespace
