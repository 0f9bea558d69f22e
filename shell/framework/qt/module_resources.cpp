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

QImage ToQImage(const res::IconImage& image)
{
    if (!image.png.empty())
        return QImage::fromData(image.png.data(), static_cast<int>(image.png.size()), "PNG");
    if (image.width <= 0 || image.height <= 0 ||
        image.argb.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
        return {};
    QImage result(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(result.scanLine(y));
        std::copy_n(image.argb.begin() + static_cast<std::ptrdiff_t>(y) * image.width, image.width, row);
    }
    return result;
}

std::unique_ptr<HICON__> MakeIcon(std::uint16_t id)
{
    auto icon = std::make_unique<HICON__>();
    // The group lists the deepest image of a size first; the others of that size are for screens
    // of few colours.
    for (const res::IconImage& image : res::LoadIconGroup(ModuleEntries(), id)) {
        const QImage converted = ToQImage(image);
        if (converted.isNull() ||
            (!icon->images.empty() && icon->images.back().size() == converted.size()))
            continue;
        icon->images.push_back(converted);
        icon->icon.addPixmap(QPixmap::fromImage(converted));
    }
    if (icon->images.empty())
        return nullptr;
    return icon;
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
