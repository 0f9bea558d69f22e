// Names the entry fields of a dialog by the labels on their rows. The platform's accessibility
// names a field by the static text just before it among the dialog's controls, while a template
// may list all its labels first; moving each row's label right before its field gives every field
// its own name. Labels are no tab stops, so the tab order stays the template's; the arrow keys'
// groups stay the template's too.
#pragma once

#include <windows.h>

namespace win32layer {

void PlaceRowLabelsBeforeTheirFields(HWND dialog);

}  // namespace win32layer
