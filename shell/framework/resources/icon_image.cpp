#include "icon_image.h"

#include "byte_cursor.h"

#include <algorithm>
#include <iterator>

namespace res::detail {
namespace {

constexpr int kMaxSide = 256;  // the largest icon the format can describe
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB
constexpr std::size_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER

struct DibLayout {
    int width = 0, height = 0;
    std::uint16_t bitCount = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    Bytes colour, mask;                  // the rows, bottom row first
    std::size_t colourStride = 0, maskStride = 0;
};

std::size_t Stride(int width, int bitCount)
{
    return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
}

bool IsSupportedDepth(std::uint16_t bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
}

struct InfoHeader {
    std::uint32_t size = 0;
    std::int32_t width = 0, doubledHeight = 0;
    std::uint16_t planes = 0, bitCount = 0;
    std::uint32_t compression = 0, coloursUsed = 0;
};

InfoHeader ReadInfoHeaderFields(ByteCursor& in)
{
    InfoHeader header;
    header.size = in.U32();
    header.width = static_cast<std::int32_t>(in.U32());
    header.doubledHeight = static_cast<std::int32_t>(in.U32());
    header.planes = in.U16();
    header.bitCount = in.U16();
    header.compression = in.U32();
    in.Skip(12);  // image size, resolution
    header.coloursUsed = in.U32();
    in.Skip(4);  // colours important
    return header;
}

bool IsDecodable(const InfoHeader& header)
{
    const std::int32_t height = header.doubledHeight / 2;
    return header.size >= kInfoHeaderSize && header.planes == 1 && header.compression == kUncompressed &&
           IsSupportedDepth(header.bitCount) && header.width >= 1 && header.width <= kMaxSide && height >= 1 &&
           height <= kMaxSide && header.doubledHeight % 2 == 0;
}

// The palette size the header gives: all colours of the depth unless it names fewer.
std::optional<std::size_t> PaletteSize(const InfoHeader& header)
{
    if (header.bitCount > 8) {
        return 0;
    }
    const std::size_t maxColours = std::size_t{1} << header.bitCount;
    if (header.coloursUsed > maxColours) {
        return std::nullopt;
    }
    return header.coloursUsed != 0 ? header.coloursUsed : maxColours;
}

std::optional<DibLayout> ReadInfoHeader(ByteCursor& in)
{
    const InfoHeader header = ReadInfoHeaderFields(in);
    const auto paletteSize = PaletteSize(header);
    if (!in.Ok() || !IsDecodable(header) || !paletteSize) {
        return std::nullopt;
    }
    in.Skip(header.size - kInfoHeaderSize);
    DibLayout dib;
    dib.width = header.width;
    dib.height = header.doubledHeight / 2;
    dib.bitCount = header.bitCount;
    dib.palette.resize(*paletteSize);
    return dib;
}

bool ReadPaletteAndRows(ByteCursor& in, DibLayout& dib)
{
    for (auto& colour : dib.palette) {
        colour = in.U32() & 0x00FFFFFF;
    }
    dib.colourStride = Stride(dib.width, dib.bitCount);
    dib.maskStride = Stride(dib.width, 1);
    dib.colour = in.Take(dib.colourStride * dib.height);
    dib.mask = in.Take(dib.maskStride * dib.height);
    return in.Ok();
}

std::uint32_t PaletteColour(const DibLayout& dib, std::size_t index)
{
    return index < dib.palette.size() ? dib.palette[index] : 0;
}

// 0xAARRGGBB with the alpha the pixel itself holds (only 32-bit pixels hold one).
std::uint32_t ColourAt(const DibLayout& dib, Bytes row, int x)
{
    const auto column = static_cast<std::size_t>(x);
    switch (dib.bitCount) {
    case 1:
        return PaletteColour(dib, (row[column / 8] >> (7 - column % 8)) & 0x1);
    case 4:
        return PaletteColour(dib, (row[column / 2] >> (column % 2 == 0 ? 4 : 0)) & 0xF);
    case 8:
        return PaletteColour(dib, row[column]);
    case 24:
        return row[3 * column] | (row[3 * column + 1] << 8) | (row[3 * column + 2] << 16);
    default:
        return row[4 * column] | (row[4 * column + 1] << 8) | (row[4 * column + 2] << 16) |
               (static_cast<std::uint32_t>(row[4 * column + 3]) << 24);
    }
}

bool MaskHidesPixel(Bytes maskRow, int x)
{
    const auto column = static_cast<std::size_t>(x);
    return ((maskRow[column / 8] >> (7 - column % 8)) & 0x1) != 0;
}

bool HasAlphaChannel(const DibLayout& dib)
{
    if (dib.bitCount != 32) {
        return false;
    }
    for (std::size_t offset = 3; offset < dib.colour.size(); offset += 4) {
        if (dib.colour[offset] != 0) {
            return true;
        }
    }
    return false;
}

IconImage ToArgb(const DibLayout& dib)
{
    IconImage image{dib.width, dib.height, dib.bitCount, {}, {}};
    image.argb.reserve(static_cast<std::size_t>(dib.width) * dib.height);
    const bool alphaChannel = HasAlphaChannel(dib);
    for (int y = 0; y < dib.height; ++y) {
        const auto sourceRow = static_cast<std::size_t>(dib.height - 1 - y);
        const Bytes row = dib.colour.subspan(sourceRow * dib.colourStride, dib.colourStride);
        const Bytes maskRow = dib.mask.subspan(sourceRow * dib.maskStride, dib.maskStride);
        for (int x = 0; x < dib.width; ++x) {
            const std::uint32_t colour = ColourAt(dib, row, x);
            if (alphaChannel) {
                image.argb.push_back(colour);
            } else {
                image.argb.push_back(MaskHidesPixel(maskRow, x) ? 0 : 0xFF000000 | colour);
            }
        }
    }
    return image;
}

constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t BigEndian32(Bytes bytes)
{
    return (static_cast<std::uint32_t>(bytes[0]) << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

bool IsPng(Bytes data)
{
    return data.size() >= std::size(kPngSignature) &&
           std::equal(std::begin(kPngSignature), std::end(kPngSignature), data.begin());
}

// The signature, then the IHDR chunk: length, type, width and height (big-endian).
std::optional<StoredIconImage> PngHeader(Bytes data)
{
    constexpr std::size_t kWidthAt = 16, kHeightAt = 20;
    if (data.size() < kHeightAt + 4) {
        return std::nullopt;
    }
    const std::uint32_t width = BigEndian32(data.subspan(kWidthAt, 4));
    const std::uint32_t height = BigEndian32(data.subspan(kHeightAt, 4));
    if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide) {
        return std::nullopt;
    }
    return StoredIconImage{static_cast<int>(width), static_cast<int>(height), 32, data};
}

std::optional<DibLayout> ReadDib(Bytes data)
{
    ByteCursor in(data);
    auto dib = ReadInfoHeader(in);
    if (!dib || !ReadPaletteAndRows(in, *dib)) {
        return std::nullopt;
    }
    return dib;
}

}  // namespace

std::optional<StoredIconImage> ReadIconImage(Bytes data)
{
    if (IsPng(data)) {
        return PngHeader(data);
    }
    const auto dib = ReadDib(data);
    if (!dib) {
        return std::nullopt;
    }
    return StoredIconImage{dib->width, dib->height, dib->bitCount, data};
}

}  // namespace res::detail

namespace res {

std::optional<IconImage> DecodeIconImage(const StoredIconImage& image)
{
    if (detail::IsPng(image.data)) {
        return IconImage{image.width, image.height, image.bitCount, {}, {image.data.begin(), image.data.end()}};
    }
    const auto dib = detail::ReadDib(image.data);
    if (!dib) {
        return std::nullopt;
    }
    return detail::ToArgb(*dib);
}

}  // namespace res
