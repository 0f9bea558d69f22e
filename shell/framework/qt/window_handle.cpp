#include "window_handle.h"

#include <memory>
#include <unordered_map>

namespace qtlayer {

namespace {

std::unordered_map<HWND, std::unique_ptr<HWND__>>& Registry()
{
    static std::unordered_map<HWND, std::unique_ptr<HWND__>> registry;
    return registry;
}

}  // namespace

HWND RegisterWindow(HWND__ record)
{
    auto owned = std::make_unique<HWND__>(std::move(record));
    HWND handle = owned.get();
    Registry().emplace(handle, std::move(owned));
    return handle;
}

void UnregisterWindow(HWND window)
{
    Registry().erase(window);
}

HWND__* Lookup(HWND window)
{
    auto found = Registry().find(window);
    if (found == Registry().end() || found->second->widget.isNull())
        return nullptr;
    return found->second.get();
}

HWND FindHandle(const QWidget* widget)
{
    for (const auto& [handle, record] : Registry()) {
        if (record->widget == widget)
            return handle;
    }
    return nullptr;
}

HWND FindChild(HWND dialog, int id)
{
    if (Lookup(dialog) == nullptr)
        return nullptr;
    for (const auto& [handle, record] : Registry()) {
        if (record->parent == dialog && record->id == id && !record->widget.isNull())
            return handle;
    }
    return nullptr;
}

}  // namespace qtlayer
