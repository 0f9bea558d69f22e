// Dialog templates in both forms. The standard form (DLGTEMPLATE) starts with the style; the
// extended form (DLGTEMPLATEEX) starts with version 1 and the signature 0xFFFF, and adds help ids,
// 32-bit control ids and the font's weight, italic flag and character set. Each control starts on
// a 4-byte boundary and ends with a count of creation-data bytes that follow it.
#include "byte_cursor.h"
#include "resource_reader.h"

namespace res {
namespace {

constexpr std::uint32_t kSetFontStyle = 0x40;  // DS_SETFONT: a font follows the caption
constexpr std::uint16_t kStandardNoId = 0xFFFF;

bool IsExtended(Bytes data)
{
    detail::ByteCursor in(data);
    const std::uint16_t version = in.U16();
    const std::uint16_t signature = in.U16();
    return in.Ok() && version == 1 && signature == 0xFFFF;
}

// Reads the fixed header and returns the number of controls announced.
std::uint16_t ReadHeader(detail::ByteCursor& in, DialogTemplate& dialog)
{
    if (dialog.extended) {
        in.Skip(2 + 2 + 4);  // version, signature, help id
        dialog.exStyle = in.U32();
        dialog.style = in.U32();
    } else {
        dialog.style = in.U32();
        dialog.exStyle = in.U32();
    }
    const std::uint16_t count = in.U16();
    dialog.x = in.I16();
    dialog.y = in.I16();
    dialog.cx = in.I16();
    dialog.cy = in.I16();
    return count;
}

void ReadMenuClassCaptionFont(detail::ByteCursor& in, DialogTemplate& dialog)
{
    in.ReadNameOrOrdinal();  // menu
    in.ReadNameOrOrdinal();  // window class
    dialog.caption = in.Sz();
    if ((dialog.style & kSetFontStyle) == 0) {
        return;
    }
    dialog.pointSize = in.U16();
    if (dialog.extended) {
        dialog.weight = in.U16();
        dialog.italic = in.U8() != 0;
        dialog.charset = in.U8();
    }
    dialog.faceName = in.Sz();
}

void ReadItemPlacement(detail::ByteCursor& in, DialogItem& item)
{
    item.x = in.I16();
    item.y = in.I16();
    item.cx = in.I16();
    item.cy = in.I16();
}

void ReadItemFixedPart(detail::ByteCursor& in, bool extended, DialogItem& item)
{
    if (extended) {
        in.Skip(4);  // help id
        item.exStyle = in.U32();
        item.style = in.U32();
        ReadItemPlacement(in, item);
        item.id = static_cast<std::int32_t>(in.U32());
        return;
    }
    item.style = in.U32();
    item.exStyle = in.U32();
    ReadItemPlacement(in, item);
    const std::uint16_t id = in.U16();
    item.id = id == kStandardNoId ? -1 : id;
}

DialogItem ReadItem(detail::ByteCursor& in, bool extended)
{
    DialogItem item;
    in.AlignTo4();
    ReadItemFixedPart(in, extended, item);
    auto windowClass = in.ReadNameOrOrdinal();
    item.classAtom = windowClass.ordinal.value_or(0);
    item.className = std::move(windowClass.name);
    auto title = in.ReadNameOrOrdinal();
    item.textOrdinal = title.ordinal;
    item.text = std::move(title.name);
    in.Skip(in.U16());  // creation data
    return item;
}

}  // namespace

std::optional<DialogTemplate> ParseDialog(Bytes data)
{
    detail::ByteCursor in(data);
    DialogTemplate dialog;
    dialog.extended = IsExtended(data);
    const std::uint16_t count = ReadHeader(in, dialog);
    ReadMenuClassCaptionFont(in, dialog);
    for (std::uint16_t i = 0; i < count && in.Ok(); ++i) {
        dialog.items.push_back(ReadItem(in, dialog.extended));
    }
    if (!in.Ok()) {
        return std::nullopt;
    }
    return dialog;
}

}  // namespace res
