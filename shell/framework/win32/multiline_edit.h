// The multi-line edits of a dialog (the result box): never cut, always showing their newest line,
// and cheap to grow by appends.
#pragma once

#include <windows.h>

namespace win32layer {

// Lifts the text limit of one multi-line edit and takes over its WM_SETTEXT.
void PrepareMultiLineEdit(HWND edit);
// The same for every multi-line edit among the dialog's controls.
void PrepareMultiLineEdits(HWND dialog);

}  // namespace win32layer
