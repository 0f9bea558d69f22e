// The text of a control as the 8-bit Win32 calls see it.
#pragma once

#include "window_handle.h"

namespace qtlayer {

std::string GetText(const HWND__& control);
void SetText(HWND__& control, const std::string& text);

}  // namespace qtlayer
