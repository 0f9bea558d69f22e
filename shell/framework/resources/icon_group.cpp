// Icon groups: a directory (reserved, type 1, count) of 14-byte entries, each describing one image
// and naming the RT_ICON entry that holds it in its last two bytes.
#include <algorithm>

#include "byte_cursor.h"
#include "icon_image.h"
#include "resource_reader.h"

namespace res {
namespace {

constexpr std::uint16_t kIconType = 3;        // RT_ICON
constexpr std::uint16_t kIconGroupType = 14;  // RT_GROUP_ICON
constexpr std::uint16_t kIconDirectoryType = 1;
constexpr std::size_t kEntryBytesBeforeId = 12;

// The RT_ICON ids the directory names, each once: a forged directory naming one small image over
// and over must not turn into as many decoded copies.
std::vector<std::uint16_t> ImageIds(Bytes group)
{
    detail::ByteCursor in(group);
    in.Skip(2);  // reserved
    const std::uint16_t type = in.U16();
    const std::uint16_t count = in.U16();
    std::vector<std::uint16_t> ids;
    std::vector<bool> seen(0x10000);
    for (std::uint16_t i = 0; i < count && in.Ok() && type == kIconDirectoryType; ++i) {
        in.Skip(kEntryBytesBeforeId);
        const std::uint16_t id = in.U16();
        if (in.Ok() && !seen[id]) {
            seen[id] = true;
            ids.push_back(id);
        }
    }
    return ids;
}

void SortLargestFirst(std::vector<StoredIconImage>& images)
{
    std::stable_sort(images.begin(), images.end(), [](const StoredIconImage& a, const StoredIconImage& b) {
        if (a.width * a.height != b.width * b.height)
            return a.width * a.height > b.width * b.height;
        return a.bitCount > b.bitCount;
    });
}

}  // namespace

std::vector<StoredIconImage> ListIconGroup(const std::vector<Entry>& entries, std::uint16_t id)
{
    const auto group = Find(entries, kIconGroupType, id);
    if (!group) {
        return {};
    }
    std::vector<StoredIconImage> images;
    for (const std::uint16_t imageId : ImageIds(*group)) {
        const auto data = Find(entries, kIconType, imageId);
        if (auto image = data ? detail::ReadIconImage(*data) : std::nullopt) {
            images.push_back(*image);
        }
    }
    SortLargestFirst(images);
    return images;
}

std::vector<IconImage> LoadIconGroup(const std::vector<Entry>& entries, std::uint16_t id)
{
    std::vector<IconImage> images;
    for (const StoredIconImage& stored : ListIconGroup(entries, id)) {
        if (auto image = DecodeIconImage(stored)) {
            images.push_back(std::move(*image));
        }
    }
    return images;
}

}  // namespace res
