#include <gtest/gtest.h>

#include "blob.h"
#include "resource_reader.h"

namespace {

using restest::Blob;
using restest::ResEntry;
using restest::ResSignature;

TEST(ResFile, ReadsOrdinalEntriesWithLanguageAndPaddedData)
{
    const Blob odd = Blob{}.U8(1).U8(2).U8(3);
    const Blob image = ResSignature().Append(ResEntry(5, 100, 0x0404, odd)).Append(ResEntry(6, 7, 0x0409, Blob{}.U16(9)));
    const auto entries = res::ParseResFile(image.Span());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].type, 5);
    EXPECT_EQ(entries[0].name, 100);
    EXPECT_EQ(entries[0].language, 0x0404);
    EXPECT_EQ(std::vector(entries[0].data.begin(), entries[0].data.end()), odd.bytes);
    EXPECT_EQ(entries[1].type, 6);
    EXPECT_EQ(entries[1].language, 0x0409);
    EXPECT_EQ(entries[1].data.size(), 2u);
}

TEST(ResFile, SkipsStringNamedEntriesAndReadsOn)
{
    Blob named;
    named.U32(4).U32(0).Sz(u"PNG").Ordinal(1).Align4().U32(0).U16(0).U16(0x0404).U32(0).U32(0);
    named.PatchU16(4, static_cast<std::uint16_t>(named.Size()));  // the header size, known only now
    named.U32(0xAABBCCDD);
    const Blob image = ResSignature().Append(named).Append(ResEntry(14, 128, 0x0404, Blob{}.U16(0)));
    const auto entries = res::ParseResFile(image.Span());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].type, 14);
    EXPECT_EQ(entries[0].name, 128);
}

TEST(ResFile, FindTakesTheFirstOfTypeAndName)
{
    const Blob image = ResSignature()
                           .Append(ResEntry(5, 100, 0x0409, Blob{}.U8(1)))
                           .Append(ResEntry(5, 100, 0x0404, Blob{}.U8(2)))
                           .Append(ResEntry(5, 102, 0x0404, Blob{}.U8(3)));
    const auto entries = res::ParseResFile(image.Span());
    ASSERT_TRUE(res::Find(entries, 5, 100).has_value());
    EXPECT_EQ(res::Find(entries, 5, 100)->front(), 1);
    EXPECT_EQ(res::Find(entries, 5, 102)->front(), 3);
    EXPECT_FALSE(res::Find(entries, 5, 101).has_value());
    EXPECT_FALSE(res::Find(entries, 6, 100).has_value());
}

// A forged size in one header ends the list there; the entries before it stay.
TEST(ResFileForged, ABadHeaderEndsTheList)
{
    const Blob good = ResEntry(5, 100, 0x0404, Blob{}.U32(7));
    const auto withForgedField = [&good](std::size_t offset, std::uint32_t value) {
        Blob bad = ResEntry(6, 7, 0x0404, Blob{}.U32(8));
        for (int i = 0; i < 4; ++i) {
            bad.bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return ResSignature().Append(good).Append(bad).Append(ResEntry(16, 1, 0x0404, Blob{}.U32(9)));
    };
    for (const auto& [offset, value] : {std::pair<std::size_t, std::uint32_t>{0, 0xFFFFFFFF},
                                        {0, 0x7FFFFFFF}, {4, 0xFFFFFFFF}, {4, 8}, {4, 0}}) {
        const Blob image = withForgedField(offset, value);
        const auto entries = res::ParseResFile(image.Span());
        ASSERT_EQ(entries.size(), 1u) << "field at " << offset << " = " << value;
        EXPECT_EQ(entries[0].type, 5);
    }
}

TEST(ResFileForged, ANameWithoutTerminatorEndsTheList)
{
    Blob image = ResSignature();
    image.U32(0).U32(0xFFFF);
    while (image.Size() < 200) {
        image.U16(u'A');
    }
    EXPECT_TRUE(res::ParseResFile(image.Span()).empty());
}

}  // namespace
