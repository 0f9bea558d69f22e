#include "icon_png.h"

#include <algorithm>

namespace packaging {

std::optional<QImage> IconGroupImage(const std::vector<res::Entry>& entries, std::uint16_t group, int size)
{
    const std::vector<res::IconImage> images = res::LoadIconGroup(entries, group);
    const auto match = std::find_if(images.begin(), images.end(), [size](const res::IconImage& image) {
        return image.width == size && image.height == size &&
               image.argb.size() == static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    });
    if (match == images.end())
        return std::nullopt;
    // Format_ARGB32 holds each pixel as the native 0xAARRGGBB word the reader produces; copy() lets
    // the image outlive the reader's vector.
    const QImage view(reinterpret_cast<const uchar*>(match->argb.data()), size, size,
                      static_cast<qsizetype>(size) * 4, QImage::Format_ARGB32);
    return view.copy();
}

}  // namespace packaging
