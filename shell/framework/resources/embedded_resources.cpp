#include "embedded_resources.h"

#include <cstddef>

// Generated from the compiled resource file at build time (resources/embed_res.cmake).
extern const unsigned char kEmbeddedRes[];
extern const std::size_t kEmbeddedResSize;

namespace res {

Bytes EmbeddedImage()
{
    return {kEmbeddedRes, kEmbeddedResSize};
}

}  // namespace res
