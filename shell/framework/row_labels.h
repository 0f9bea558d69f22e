// Which label names a field that has no text of its own: the nearest label standing on the
// field's row to its left, as a reader of the dialog pairs them. Both platforms name their fields
// for assistive technology by this rule.
#pragma once

#include "win32_names.h"

#include <vector>

// The index in `labels` of the label that names `field`, or -1. Rectangles in dialog pixels.
int RowLabelOf(const std::vector<RECT>& labels, const RECT& field);
