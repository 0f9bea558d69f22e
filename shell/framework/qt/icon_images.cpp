#include "icon_images.h"

#include <QImage>

#include <algorithm>

namespace qtlayer {

namespace {

QSize SizeOf(const res::StoredIconImage& image)
{
    return QSize(image.width, image.height);
}

bool Covers(const res::StoredIconImage& image, QSize wanted)
{
    return image.width >= wanted.width() && image.height >= wanted.height();
}

QImage ToQImage(const res::IconImage& image)
{
    if (!image.png.empty())
        return QImage::fromData(image.png.data(), static_cast<int>(image.png.size()), "PNG");
    return QImage(reinterpret_cast<const uchar*>(image.argb.data()), image.width, image.height, QImage::Format_ARGB32).copy();
}

QPixmap Decode(const res::StoredIconImage& stored)
{
    const auto image = res::DecodeIconImage(stored);
    return image ? QPixmap::fromImage(ToQImage(*image)) : QPixmap();
}

QPixmap ShrunkTo(const QPixmap& image, QSize wanted)
{
    if (image.width() <= wanted.width() && image.height() <= wanted.height())
        return image;
    return image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

IconImages::IconImages(const std::vector<res::StoredIconImage>& stored)
{
    for (const res::StoredIconImage& image : stored) {
        if (!Holds(SizeOf(image)))
            m_images.push_back({image, {}});
    }
}

QList<QSize> IconImages::Sizes() const
{
    QList<QSize> sizes;
    for (const Slot& slot : m_images)
        sizes.append(SizeOf(slot.stored));
    return sizes;
}

bool IconImages::Holds(QSize size) const
{
    return std::any_of(m_images.begin(), m_images.end(), [size](const Slot& slot) { return SizeOf(slot.stored) == size; });
}

// The smallest image that covers `wanted`; the largest when none does.
std::size_t IconImages::Closest(QSize wanted) const
{
    for (std::size_t i = m_images.size(); i-- > 0;) {
        if (Covers(m_images[i].stored, wanted))
            return i;
    }
    return 0;
}

QSize IconImages::SizeFor(QSize wanted) const
{
    if (m_images.empty())
        return {};
    const res::StoredIconImage& image = m_images[Closest(wanted)].stored;
    return Covers(image, wanted) ? wanted : SizeOf(image);
}

QPixmap IconImages::Image(QSize wanted)
{
    while (!m_images.empty()) {
        const std::size_t i = Closest(wanted);
        if (m_images[i].decoded.isNull())
            m_images[i].decoded = Decode(m_images[i].stored);
        if (!m_images[i].decoded.isNull())
            return ShrunkTo(m_images[i].decoded, wanted);
        m_images.erase(m_images.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return {};
}

}  // namespace qtlayer
