// The resources compiled from resources/vornikal.rc and built into the program (Linux build; on
// Windows they are in the module and the system reads them).
#pragma once

#include "resource_reader.h"

namespace res {

// The whole .res image, ready for ParseResFile.
Bytes EmbeddedImage();

}  // namespace res
