// The .res image: a sequence of entries, each a header (sizes, type, name, language) followed by
// its data, every entry starting on a 4-byte boundary. The first, empty entry only marks the file
// as a 32-bit one and has type 0.
#include "byte_cursor.h"
#include "resource_reader.h"

namespace res {
namespace {

struct EntryHeader {
    std::uint32_t dataSize = 0;
    std::uint32_t headerSize = 0;
    detail::NameOrOrdinal type, name;
    std::uint16_t language = 0;
};

std::optional<EntryHeader> ReadEntryHeader(Bytes image, std::size_t offset)
{
    detail::ByteCursor in(image, offset);
    EntryHeader header;
    header.dataSize = in.U32();
    header.headerSize = in.U32();
    header.type = in.ReadNameOrOrdinal();
    header.name = in.ReadNameOrOrdinal();
    in.AlignTo4();
    in.Skip(4 + 2);  // data version, memory flags
    header.language = in.U16();
    in.Skip(4 + 4);  // version, characteristics
    const std::size_t available = image.size() - offset;
    if (!in.Ok() || header.headerSize < in.Offset() - offset || header.headerSize > available ||
        header.dataSize > available - header.headerSize) {
        return std::nullopt;
    }
    return header;
}

}  // namespace

std::vector<Entry> ParseResFile(Bytes image)
{
    std::vector<Entry> entries;
    std::size_t offset = 0;
    while (offset < image.size()) {
        const auto header = ReadEntryHeader(image, offset);
        if (!header) {
            break;
        }
        const std::size_t dataOffset = offset + header->headerSize;
        if (header->type.ordinal && header->name.ordinal && *header->type.ordinal != 0) {
            entries.push_back({*header->type.ordinal, *header->name.ordinal, header->language,
                               image.subspan(dataOffset, header->dataSize)});
        }
        offset = detail::AlignUp4(dataOffset + header->dataSize);
    }
    return entries;
}

std::optional<Bytes> Find(const std::vector<Entry>& entries, std::uint16_t type, std::uint16_t name)
{
    for (const auto& entry : entries) {
        if (entry.type == type && entry.name == name) {
            return entry.data;
        }
    }
    return std::nullopt;
}

}  // namespace res
