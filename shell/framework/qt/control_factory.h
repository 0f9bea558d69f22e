// Qt widgets for the controls of a dialog template, placed and styled as the template says.
#pragma once

#include "dialog_font.h"
#include "window_handle.h"

namespace qtlayer {

struct MadeControl {
    QWidget* widget = nullptr;
    ControlKind kind = ControlKind::Other;
};

MadeControl MakeControl(const res::DialogItem& item, const DialogMetrics& metrics, QWidget* parent);

// Template text to Qt text: "&&" stays a literal ampersand, a single "&" marks a mnemonic.
QString StaticText(const res::DialogItem& item);

}  // namespace qtlayer
