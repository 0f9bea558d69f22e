// The header of one icon image (an RT_ICON entry); its decoding to 32-bit pixels is
// res::DecodeIconImage.
#pragma once

#include <optional>

#include "resource_reader.h"

namespace res::detail {

// A bottom-up BI_RGB DIB of 1, 4, 8, 24 or 32 bits per pixel, its height doubled, followed by the
// 1-bit AND mask: its size and depth, once every byte of its rows and mask is there. A PNG image:
// the size its header gives. nullopt for anything else or for missing bytes.
std::optional<StoredIconImage> ReadIconImage(Bytes data);

}  // namespace res::detail
