#include "module_resources.h"

#include "afx_resources.h"
#include "embedded_resources.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace qtlayer {

namespace {

constexpr std::uint16_t kTypeDialog = 5;

// The one module of the process; its handle only has to be distinct from null.
HINSTANCE ModuleHandle()
{
    static int module;
    return reinterpret_cast<HINSTANCE>(&module);
}

std::unique_ptr<HICON__> MakeIcon(std::uint16_t id)
{
    auto images = std::make_shared<IconImages>(res::ListIconGroup(ModuleEntries(), id));
    if (images->IsEmpty())
        return nullptr;
    return std::make_unique<HICON__>(HICON__{images, AllSizesIcon(images)});
}

}  // namespace

const std::vector<res::Entry>& ModuleEntries()
{
    static const std::vector<res::Entry> entries = res::ParseResFile(res::EmbeddedImage());
    return entries;
}

std::optional<res::DialogTemplate> LoadDialogTemplate(UINT id)
{
    const auto data = res::Find(ModuleEntries(), kTypeDialog, static_cast<std::uint16_t>(id));
    if (!data)
        return std::nullopt;
    return res::ParseDialog(*data);
}

std::string LoadStringUtf8(UINT id)
{
    const auto text = res::FindString(ModuleEntries(), id);
    return text ? res::ToUtf8(*text) : std::string();
}

}  // namespace qtlayer

HINSTANCE AfxGetResourceHandle()
{
    return qtlayer::ModuleHandle();
}

HINSTANCE AfxFindResourceHandle(LPCTSTR, LPCTSTR)
{
    return qtlayer::ModuleHandle();
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name)
{
    // Icons are shared, as LoadIcon's are on Windows: made once, never destroyed.
    static std::map<std::uint16_t, std::unique_ptr<HICON__>> icons;
    if (instance != qtlayer::ModuleHandle() || !IS_INTRESOURCE(name))
        return nullptr;
    const auto id = static_cast<std::uint16_t>(reinterpret_cast<UINT_PTR>(name));
    auto found = icons.find(id);
    if (found == icons.end())
        found = icons.emplace(id, qtlayer::MakeIcon(id)).first;
    return found->second.get();
}

int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferSize)
{
    if (instance != qtlayer::ModuleHandle() || buffer == nullptr || bufferSize <= 0)
        return 0;
    const std::string text = qtlayer::LoadStringUtf8(id);
    const std::size_t copied = std::min(text.size(), static_cast<std::size_t>(bufferSize - 1));
    std::memcpy(buffer, text.data(), copied);
    buffer[copied] = '\0';
    return static_cast<int>(copied);
}
