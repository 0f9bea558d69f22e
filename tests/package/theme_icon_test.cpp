// The hicolor icons the build writes are the program's own icon group, pixel for pixel.
#include "embedded_resources.h"
#include "icon_png.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

const std::vector<res::Entry>& Entries()
{
    static const std::vector<res::Entry> entries = res::ParseResFile(res::EmbeddedImage());
    return entries;
}

const res::IconImage* GroupImageOfSize(int size)
{
    static const std::vector<res::IconImage> images = res::LoadIconGroup(Entries(), IDI_MAIN_ICON);
    for (const res::IconImage& image : images) {
        if (image.width == size && image.height == size)
            return &image;
    }
    return nullptr;
}

// How many pixels of the PNG at `path` differ from the group's image of `size` pixels; -1 when the
// file is not such a PNG.
int DifferingPixels(const char* path, int size)
{
    const res::IconImage* expected = GroupImageOfSize(size);
    QImage written(QString::fromUtf8(path), "PNG");
    if (!expected || written.size() != QSize(size, size) || !written.hasAlphaChannel())
        return -1;
    // In the form the reader gives: unpremultiplied 0xAARRGGBB.
    written.convertTo(QImage::Format_ARGB32);
    int differing = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            differing += written.pixel(x, y) != expected->argb[static_cast<std::size_t>(y * size + x)];
    }
    return differing;
}

TEST(ThemeIconFiles, AreTheIconGroupsImagesPixelForPixel)
{
    EXPECT_EQ(DifferingPixels(VORNIKAL_THEME_ICON_16, 16), 0) << VORNIKAL_THEME_ICON_16;
    EXPECT_EQ(DifferingPixels(VORNIKAL_THEME_ICON_32, 32), 0) << VORNIKAL_THEME_ICON_32;
}

TEST(IconGroupImage, GivesEachSizeTheGroupHoldsAndNoStandInForOthers)
{
    for (const int size : {16, 32}) {
        const auto image = packaging::IconGroupImage(Entries(), IDI_MAIN_ICON, size);
        ASSERT_TRUE(image.has_value()) << size;
        EXPECT_EQ(image->size(), QSize(size, size));
    }
    EXPECT_FALSE(packaging::IconGroupImage(Entries(), IDI_MAIN_ICON, 48).has_value());
    EXPECT_FALSE(packaging::IconGroupImage(Entries(), IDI_MAIN_ICON + 1, 32).has_value());
}

}  // namespace
