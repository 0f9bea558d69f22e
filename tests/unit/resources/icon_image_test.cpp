// Icon images of every depth the reader decodes, written out byte by byte: 3 x 2 pixels, so each
// row needs padding and the bottom-up order shows.
#include <gtest/gtest.h>

#include "blob.h"
#include "resource_reader.h"

#include <tuple>

namespace {

using restest::Blob;

constexpr std::uint16_t kIcon = 3, kIconGroup = 14;

Blob InfoHeader(std::uint16_t bitCount, std::uint32_t coloursUsed, std::int32_t width = 3, std::int32_t height = 2)
{
    Blob blob;
    blob.U32(40).U32(static_cast<std::uint32_t>(width)).U32(static_cast<std::uint32_t>(2 * height));
    blob.U16(1).U16(bitCount).U32(0).U32(0).U32(0).U32(0).U32(coloursUsed).U32(0);
    return blob;
}

// Bottom row: right pixel hidden; top row: all shown. Each row is one byte padded to four.
Blob Mask()
{
    return Blob{}.U32(0x00000020).U32(0x00000000);
}

Blob Group(std::initializer_list<std::uint16_t> imageIds)
{
    Blob blob;
    blob.U16(0).U16(1).U16(static_cast<std::uint16_t>(imageIds.size()));
    for (const std::uint16_t id : imageIds) {
        blob.U8(3).U8(2).U8(0).U8(0).U16(1).U16(4).U32(0).U16(id);
    }
    return blob;
}

std::vector<res::IconImage> Load(const Blob& image)
{
    const Blob group = Group({1});
    return res::LoadIconGroup({{kIconGroup, 9, 0, group.Span()}, {kIcon, 1, 0, image.Span()}}, 9);
}

// Pixels top row first.
std::vector<std::uint32_t> Pixels(const Blob& image)
{
    const auto images = Load(image);
    EXPECT_EQ(images.size(), 1u);
    if (images.size() != 1) {
        return {};
    }
    EXPECT_EQ(images[0].width, 3);
    EXPECT_EQ(images[0].height, 2);
    return images[0].argb;
}

TEST(IconImage, OneBitPerPixel)
{
    Blob image = InfoHeader(1, 2);
    image.U32(0x112233).U32(0x445566);  // palette
    image.U8(0b10100000).U8(0).U8(0).U8(0);  // bottom row: 1 0 1
    image.U8(0b01100000).U8(0).U8(0).U8(0);  // top row: 0 1 1
    image.Append(Mask());
    EXPECT_EQ(Pixels(image), (std::vector<std::uint32_t>{0xFF112233, 0xFF445566, 0xFF445566,  //
                                                        0xFF445566, 0xFF112233, 0}));
}

TEST(IconImage, FourBitsPerPixelWithTheFullPalette)
{
    Blob image = InfoHeader(4, 0);
    for (std::uint32_t i = 0; i < 16; ++i) {
        image.U32(i * 0x010101);
    }
    image.U8(0x30).U8(0x40).U8(0).U8(0);  // bottom row: 3 0 4
    image.U8(0x12).U8(0xF0).U8(0).U8(0);  // top row: 1 2 15
    image.Append(Mask());
    EXPECT_EQ(Pixels(image), (std::vector<std::uint32_t>{0xFF010101, 0xFF020202, 0xFF0F0F0F,  //
                                                        0xFF030303, 0xFF000000, 0}));
}

TEST(IconImage, EightBitsPerPixelWithAShortPalette)
{
    Blob image = InfoHeader(8, 2);
    image.U32(0xFF0000).U32(0x00FF00);
    image.U8(1).U8(200).U8(0).U8(0);  // bottom row; 200 lies beyond the palette
    image.U8(0).U8(1).U8(1).U8(0);    // top row
    image.Append(Mask());
    EXPECT_EQ(Pixels(image), (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF00FF00,  //
                                                        0xFF00FF00, 0xFF000000, 0}));
}

TEST(IconImage, TwentyFourBitsPerPixelInBlueGreenRedOrder)
{
    Blob image = InfoHeader(24, 0);
    image.U8(0x01).U8(0x02).U8(0x03).U8(0x04).U8(0x05).U8(0x06).U8(0x07).U8(0x08).U8(0x09).U8(0).U8(0).U8(0);
    image.U8(0x0A).U8(0x0B).U8(0x0C).U8(0x0D).U8(0x0E).U8(0x0F).U8(0x10).U8(0x11).U8(0x12).U8(0).U8(0).U8(0);
    image.Append(Mask());
    EXPECT_EQ(Pixels(image), (std::vector<std::uint32_t>{0xFF0C0B0A, 0xFF0F0E0D, 0xFF121110,  //
                                                        0xFF030201, 0xFF060504, 0}));
}

TEST(IconImage, ThirtyTwoBitsPerPixelTakeTheirOwnAlpha)
{
    Blob image = InfoHeader(32, 0);
    image.U32(0x80112233).U32(0x00000000).U32(0xFF445566);  // bottom row
    image.U32(0x01000000).U32(0x20FFFFFF).U32(0xFFABCDEF);  // top row
    image.Append(Mask());                                   // overruled by the alpha channel
    EXPECT_EQ(Pixels(image), (std::vector<std::uint32_t>{0x01000000, 0x20FFFFFF, 0xFFABCDEF,  //
                                                        0x80112233, 0x00000000, 0xFF445566}));
}

TEST(IconImage, ThirtyTwoBitsPerPixelWithoutAlphaUseTheMask)
{
    Blob image = InfoHeader(32, 0);
    image.U32(0x00112233).U32(0x00000000).U32(0x00445566);
    image.U32(0x00000001).U32(0x00FFFFFF).U32(0x00ABCDEF);
    image.Append(Mask());
    EXPECT_EQ(Pixels(image), (std::vector<std::uint32_t>{0xFF000001, 0xFFFFFFFF, 0xFFABCDEF,  //
                                                        0xFF112233, 0xFF000000, 0}));
}

Blob SolidImage(int side)
{
    Blob image = InfoHeader(32, 0, side, side);
    for (int i = 0; i < side * side; ++i) {
        image.U32(0xFF000000);
    }
    for (int i = 0; i < side * ((side + 31) / 32); ++i) {
        image.U32(0);
    }
    return image;
}

TEST(IconGroup, LargestImageFirstAndUnknownIdsLeftOut)
{
    const Blob small = SolidImage(16), large = SolidImage(48), middle = SolidImage(32);
    const Blob group = Group({1, 5, 2, 3});
    const std::vector<res::Entry> entries{{kIconGroup, 128, 0, group.Span()}, {kIcon, 1, 0, small.Span()},
                                          {kIcon, 2, 0, large.Span()}, {kIcon, 3, 0, middle.Span()}};
    const auto images = res::LoadIconGroup(entries, 128);
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].width, 48);
    EXPECT_EQ(images[1].width, 32);
    EXPECT_EQ(images[2].width, 16);
    EXPECT_TRUE(res::LoadIconGroup(entries, 129).empty());
}

TEST(IconGroupForged, EachImageIsDecodedOnceAndCountsBeyondTheDirectoryStop)
{
    const Blob image = SolidImage(32);
    Blob repeating;
    repeating.U16(0).U16(1).U16(0xFFFF);
    for (int i = 0; i < 1000; ++i) {
        repeating.U8(32).U8(32).U8(0).U8(0).U16(1).U16(32).U32(0).U16(1);
    }
    const std::vector<res::Entry> entries{{kIconGroup, 1, 0, repeating.Span()}, {kIcon, 1, 0, image.Span()}};
    EXPECT_EQ(res::LoadIconGroup(entries, 1).size(), 1u);
}

TEST(IconGroupForged, NotAnIconDirectory)
{
    const Blob image = SolidImage(16);
    Blob cursors = Group({1});
    cursors.PatchU16(2, 2);
    const std::vector<res::Entry> entries{{kIconGroup, 1, 0, cursors.Span()}, {kIcon, 1, 0, image.Span()}};
    EXPECT_TRUE(res::LoadIconGroup(entries, 1).empty());
}

TEST(IconImageForged, HeadersTheDecoderRefuses)
{
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
    };
    for (const Case& forged : {Case{"header size beyond the data", 0, 0xFFFFFFF0}, Case{"header size too small", 0, 12},
                               Case{"huge width", 4, 0x7FFFFFFF}, Case{"zero width", 4, 0},
                               Case{"negative width", 4, 0xFFFFFFFD}, Case{"huge height", 8, 0x7FFFFFFE},
                               Case{"odd doubled height", 8, 3}, Case{"top-down rows", 8, 0xFFFFFFFC},
                               Case{"two planes", 12, 0x00040002}, Case{"compressed", 16, 1},
                               Case{"more colours than the depth", 32, 17}, Case{"huge colour count", 32, 0xFFFFFFFF},
                               Case{"two bits per pixel", 12, 0x00020001}}) {
        Blob image = InfoHeader(4, 0);
        for (int i = 0; i < 16; ++i) {
            image.U32(0);
        }
        image.U32(0).U32(0).Append(Mask());
        ASSERT_EQ(Load(image).size(), 1u) << "the image before forging " << forged.what;
        for (int i = 0; i < 4; ++i) {
            image.bytes[forged.offset + i] = static_cast<std::uint8_t>(forged.value >> (8 * i));
        }
        EXPECT_TRUE(Load(image).empty()) << forged.what;
    }
}

// PNG images are the platform's to decode: kept whole, with the size their header gives, and
// placed before a smaller-depth image of their size.
TEST(IconGroup, PngImagesAreKeptWholeAndTheDeepestImageOfASizeComesFirst)
{
    Blob png;
    png.U8(0x89).U8('P').U8('N').U8('G').U8('\r').U8('\n').U8(0x1A).U8('\n').U32(0x0D000000).U32(0x52444849);
    png.U32(0x30000000).U32(0x30000000);  // 48 x 48, big-endian
    Blob paletted = InfoHeader(4, 0, 48, 48);
    for (int i = 0; i < 16 + 48 * 24 + 48 * 8; ++i) {
        paletted.U32(0);
    }
    const Blob group = Group({1, 2});
    const std::vector<res::Entry> entries{{kIconGroup, 9, 0, group.Span()}, {kIcon, 1, 0, paletted.Span()},
                                          {kIcon, 2, 0, png.Span()}};
    const auto images = res::LoadIconGroup(entries, 9);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(std::tuple(images[0].width, images[0].height, images[0].bitCount, images[0].argb.size()),
              std::tuple(48, 48, 32, std::size_t{0}));
    EXPECT_EQ(images[0].png, png.bytes);
    EXPECT_EQ(std::tuple(images[1].width, images[1].bitCount, images[1].argb.size()), std::tuple(48, 4, std::size_t{48 * 48}));

    Blob empty = png, tooWide = png;
    empty.bytes[19] = 0;    // 0 x 48
    tooWide.bytes[17] = 1;  // 65584 x 48
    EXPECT_TRUE(Load(empty).empty());
    EXPECT_TRUE(Load(tooWide).empty());
}

}  // namespace
