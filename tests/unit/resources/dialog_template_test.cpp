// The template forms beyond what vornikal.rc uses: named classes, ordinal titles, creation data,
// templates without a font, and forged control counts.
#include <gtest/gtest.h>

#include <array>

#include "blob.h"
#include "resource_reader.h"

namespace {

using restest::Blob;

constexpr std::uint32_t kSetFont = 0x40;

Blob StandardHeader(std::uint32_t style, std::uint16_t count)
{
    Blob blob;
    blob.U32(style).U32(0x100).U16(count).U16(1).U16(2).U16(300).U16(0xFFF0);
    return blob;
}

Blob ExtendedHeader(std::uint32_t style, std::uint16_t count)
{
    Blob blob;
    blob.U16(1).U16(0xFFFF).U32(77).U32(0x100).U32(style).U16(count).U16(1).U16(2).U16(300).U16(0xFFF0);
    return blob;
}

TEST(DialogTemplate, StandardFormWithoutFontNamedClassAndCreationData)
{
    Blob blob = StandardHeader(0x80000000, 2);
    blob.Ordinal(9).Sz(u"MyDialogClass").Sz(u"Title");  // menu, class, caption; no font
    blob.Align4().U32(0x50000000).U32(0x200).U16(1).U16(2).U16(3).U16(4).U16(42);
    blob.Sz(u"msctls_progress32").Sz(u"").U16(3).U8(0xA).U8(0xB).U8(0xC);
    blob.Align4().U32(0x50000001).U32(0).U16(5).U16(6).U16(7).U16(8).U16(0x8000);
    blob.Ordinal(0x80).Ordinal(300).U16(0);
    const auto dialog = res::ParseDialog(blob.Span());
    ASSERT_TRUE(dialog.has_value());
    EXPECT_FALSE(dialog->extended);
    EXPECT_EQ(dialog->style, 0x80000000u);
    EXPECT_EQ(dialog->exStyle, 0x100u);
    EXPECT_EQ(dialog->cy, -16);
    EXPECT_EQ(dialog->caption, u"Title");
    EXPECT_TRUE(dialog->faceName.empty());
    EXPECT_EQ(dialog->pointSize, 0);
    ASSERT_EQ(dialog->items.size(), 2u);
    EXPECT_EQ(dialog->items[0].classAtom, 0);
    EXPECT_EQ(dialog->items[0].className, u"msctls_progress32");
    EXPECT_EQ(dialog->items[0].id, 42);
    EXPECT_EQ(dialog->items[0].exStyle, 0x200u);
    EXPECT_EQ(dialog->items[1].classAtom, 0x80);
    EXPECT_EQ(dialog->items[1].id, 0x8000);  // only 0xFFFF means "no identifier"
    EXPECT_EQ(dialog->items[1].textOrdinal, std::optional<std::uint16_t>{300});
    EXPECT_EQ((std::array{dialog->items[1].x, dialog->items[1].y, dialog->items[1].cx, dialog->items[1].cy}),
              (std::array<std::int16_t, 4>{5, 6, 7, 8}));
}

TEST(DialogTemplate, ExtendedFormWithItalicFontAndCreationData)
{
    Blob blob = ExtendedHeader(kSetFont, 1);
    blob.U16(0).U16(0).Sz(u"T");                     // menu, class, caption
    blob.U16(12).U16(700).U8(1).U8(136).Sz(u"Face");  // font
    blob.Align4().U32(5).U32(0x4).U32(0x50010000).U16(1).U16(2).U16(3).U16(4).U32(0xFFFFFFFE);
    blob.Ordinal(0x85).Sz(u"x").U16(2).U16(0xBEEF);
    const auto dialog = res::ParseDialog(blob.Span());
    ASSERT_TRUE(dialog.has_value());
    EXPECT_TRUE(dialog->extended);
    EXPECT_EQ(dialog->style, kSetFont);
    EXPECT_EQ(dialog->exStyle, 0x100u);
    EXPECT_EQ(dialog->pointSize, 12);
    EXPECT_EQ(dialog->weight, 700);
    EXPECT_TRUE(dialog->italic);
    EXPECT_EQ(dialog->charset, 136);
    EXPECT_EQ(dialog->faceName, u"Face");
    ASSERT_EQ(dialog->items.size(), 1u);
    EXPECT_EQ(dialog->items[0].exStyle, 0x4u);
    EXPECT_EQ(dialog->items[0].style, 0x50010000u);
    EXPECT_EQ(dialog->items[0].id, -2);
    EXPECT_EQ(dialog->items[0].classAtom, 0x85);
    EXPECT_EQ(dialog->items[0].text, u"x");
}

TEST(DialogTemplateForged, MoreControlsAnnouncedThanPresent)
{
    for (const Blob& header : {StandardHeader(0, 0xFFFF), ExtendedHeader(0, 0xFFFF)}) {
        Blob blob = header;
        blob.U16(0).U16(0).U16(0);
        EXPECT_FALSE(res::ParseDialog(blob.Span()).has_value());
    }
}

TEST(DialogTemplateForged, CreationDataLongerThanTheTemplate)
{
    Blob blob = StandardHeader(0, 1);
    blob.U16(0).U16(0).U16(0);
    blob.Align4().U32(0).U32(0).U16(0).U16(0).U16(0).U16(0).U16(1).Ordinal(0x80).U16(0).U16(0xFFFF).U32(0);
    EXPECT_FALSE(res::ParseDialog(blob.Span()).has_value());
}

TEST(DialogTemplateForged, CaptionWithoutTerminator)
{
    Blob blob = StandardHeader(0, 0);
    blob.U16(0).U16(0).U16(u'A').U16(u'B');
    EXPECT_FALSE(res::ParseDialog(blob.Span()).has_value());
}

}  // namespace
