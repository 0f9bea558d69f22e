// The icons a dialog shows, each the image made for its size at the DPI of the monitor the window
// is on: the caption's small and big icon (caption, task bar, Alt+Tab) and every icon static.
#pragma once

#include <windows.h>

namespace win32layer {

// The DPI the window is shown at; the system's DPI where Windows has no DPI per window.
UINT WindowDpi(HWND window);
// System metric `index` (an icon size) at `dpi`.
int MetricForDpi(int index, UINT dpi);
// Gives the window's caption icons and its icon statics the images of the same icon resources made
// for the window's DPI. Run when a dialog starts and whenever its DPI changes.
void FitIconsToDpi(HWND dialog);

}  // namespace win32layer
