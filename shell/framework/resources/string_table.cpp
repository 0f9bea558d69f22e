// String tables: strings are stored in blocks of 16, block n holding ids (n - 1) * 16 to n * 16 - 1,
// each string as a 16-bit length followed by that many UTF-16 units, without a terminator.
#include "byte_cursor.h"
#include "resource_reader.h"

namespace res {
namespace {

constexpr std::uint16_t kStringType = 6;  // RT_STRING
constexpr std::uint32_t kStringsPerBlock = 16;

}  // namespace

std::optional<std::u16string> FindString(const std::vector<Entry>& entries, std::uint32_t id)
{
    const std::uint32_t block = id / kStringsPerBlock + 1;
    if (block > 0xFFFF) {
        return std::nullopt;
    }
    const auto data = Find(entries, kStringType, static_cast<std::uint16_t>(block));
    if (!data) {
        return std::nullopt;
    }
    detail::ByteCursor in(*data);
    for (std::uint32_t index = 0; index < id % kStringsPerBlock; ++index) {
        in.Skip(2 * std::size_t{in.U16()});
    }
    auto text = in.Chars(in.U16());
    if (!in.Ok() || text.empty()) {
        return std::nullopt;
    }
    return text;
}

}  // namespace res
