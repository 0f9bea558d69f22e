// Replacing a window's procedure while keeping the one it had, so the replacement can hand any
// message on to the original (for a dialog, the dialog manager's own handling).
#pragma once

#include <windows.h>

namespace win32layer {

// Installs `procedure` on `window` and remembers the procedure it replaces.
void Subclass(HWND window, WNDPROC procedure);
// The remembered procedure's handling of a message; forgets it once the window is destroyed.
LRESULT CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win32layer
