// The module's compiled resources, embedded in the executable, and the icons made from them.
#pragma once

#include "resource_reader.h"
#include "win32_names.h"

#include <QIcon>
#include <QImage>

#include <optional>
#include <vector>

struct HICON__ {
    std::vector<QImage> images;  // the group's images, one of each size (the deepest), largest first
    QIcon icon;                  // all of them: Qt takes the one made for each size and scale
};

namespace qtlayer {

const std::vector<res::Entry>& ModuleEntries();
std::optional<res::DialogTemplate> LoadDialogTemplate(UINT id);
// The 8-bit (UTF-8) text of a string resource; empty when absent.
std::string LoadStringUtf8(UINT id);

}  // namespace qtlayer
