// The text of a control as the 8-bit Win32 calls see it.
#pragma once

#include "window_handle.h"

#include <string_view>

namespace qtlayer {

std::string GetText(const HWND__& control);
void SetText(HWND__& control, std::string_view text);

}  // namespace qtlayer
