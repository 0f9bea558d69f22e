// The hicolor icons the package installs are the program's own icon group, pixel for pixel, at
// every size: the same images Windows shows.
#include "embedded_resources.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <algorithm>

namespace {

QImage AsImage(const res::IconImage& image)
{
    if (!image.png.empty()) {
        return QImage::fromData(image.png.data(), static_cast<int>(image.png.size()), "PNG")
            .convertToFormat(QImage::Format_ARGB32);
    }
    // In the form the reader gives: unpremultiplied 0xAARRGGBB.
    QImage converted(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x)
            converted.setPixel(x, y, image.argb[static_cast<std::size_t>(y * image.width + x)]);
    }
    return converted;
}

TEST(ThemeIconFiles, AreTheIconGroupsImagesPixelForPixelAtEverySize)
{
    const std::vector<res::IconImage> group =
        res::LoadIconGroup(res::ParseResFile(res::EmbeddedImage()), IDI_MAIN_ICON);
    for (const int size : {16, 20, 24, 32, 40, 48, 64, 128, 256}) {
        // The group lists the image with alpha before the 16-colour one of its size.
        const auto image = std::find_if(group.begin(), group.end(),
                                        [size](const res::IconImage& each) { return each.width == size; });
        ASSERT_NE(image, group.end()) << size;
        const QString path = QString("%1/%2x%2.png").arg(VORNIKAL_ICON_DIR).arg(size);
        const QImage file(path, "PNG");
        ASSERT_EQ(file.size(), QSize(size, size)) << path.toStdString();
        EXPECT_EQ(file.convertToFormat(QImage::Format_ARGB32), AsImage(*image)) << path.toStdString();
    }
}

}  // namespace
