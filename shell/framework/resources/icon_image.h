// Decoding of one icon image (an RT_ICON entry) to 32-bit pixels.
#pragma once

#include <optional>

#include "resource_reader.h"

namespace res::detail {

// A bottom-up BI_RGB DIB of 1, 4, 8, 24 or 32 bits per pixel, its height doubled, followed by the
// 1-bit AND mask. Transparency comes from the alpha channel of a 32-bit image that has one and from
// the mask otherwise. A PNG image is kept as its bytes with the size its header gives. nullopt for
// anything else or for missing bytes.
std::optional<IconImage> DecodeIconImage(Bytes data);

}  // namespace res::detail
