// An icon group's image as a QImage, so the desktop theme's icon files come from the same icon the
// program shows in its caption.
#pragma once

#include "resource_reader.h"

#include <QImage>

#include <cstdint>
#include <optional>
#include <vector>

namespace packaging {

// The square image of `size` pixels in icon group `group`, transparency included; nullopt when the
// group holds no image of that size (a scaled stand-in would not be the icon that was drawn).
std::optional<QImage> IconGroupImage(const std::vector<res::Entry>& entries, std::uint16_t group, int size);

}  // namespace packaging
