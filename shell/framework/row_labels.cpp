#include "row_labels.h"

int RowLabelOf(const std::vector<RECT>& labels, const RECT& field)
{
    const LONG row = (field.top + field.bottom) / 2;
    int nearest = -1;
    for (int i = 0; i < static_cast<int>(labels.size()); ++i) {
        const RECT& label = labels[static_cast<std::size_t>(i)];
        // A label is shorter than its field: the row reaches one label height below it.
        const bool onRow = label.top <= row && row < label.bottom + (label.bottom - label.top);
        const bool toTheLeft = label.right <= field.left;
        if (onRow && toTheLeft && (nearest < 0 || label.right > labels[static_cast<std::size_t>(nearest)].right))
            nearest = i;
    }
    return nearest;
}
