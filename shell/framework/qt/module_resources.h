// The module's compiled resources, embedded in the executable, and the icons made from them.
#pragma once

#include "icon_engine.h"
#include "resource_reader.h"
#include "win32_names.h"

#include <QIcon>

#include <optional>
#include <vector>

struct HICON__ {
    qtlayer::SharedIconImages images;  // the group's images, one of each size, decoded when drawn
    QIcon icon;                        // all of them: a painter takes the one made for its size and scale
};

namespace qtlayer {

const std::vector<res::Entry>& ModuleEntries();
std::optional<res::DialogTemplate> LoadDialogTemplate(UINT id);
// The 8-bit (UTF-8) text of a string resource; empty when absent.
std::string LoadStringUtf8(UINT id);

}  // namespace qtlayer
