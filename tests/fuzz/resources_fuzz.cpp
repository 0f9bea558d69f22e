// The reader of the embedded resources on mutated input: the input as a whole .res image (every
// entry handed to the parser of its type) and as a bare dialog template and version block. Besides
// what the sanitizers catch, results stay within what the input can hold.
#include "fuzz_check.h"
#include "resource_reader.h"

#include <cstdint>
#include <string>

namespace {

constexpr std::uint16_t kStringType = 6;      // RT_STRING
constexpr std::uint16_t kDialogType = 5;      // RT_DIALOG
constexpr std::uint16_t kIconGroupType = 14;  // RT_GROUP_ICON
constexpr std::uint16_t kVersionType = 16;    // RT_VERSION
constexpr std::size_t kSmallestItem = 24;     // fixed part, empty class and title, creation count
constexpr std::size_t kPixelsPerByte = 4;     // a 1-bit image and its mask: two bits a pixel at best

bool IsValidUtf8(const std::string& text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || lead > 0xF4 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

bool Within(res::Bytes part, res::Bytes whole)
{
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

void CheckText(const std::u16string& text, res::Bytes source)
{
    FUZZ_CHECK(2 * text.size() <= source.size());
    FUZZ_CHECK(IsValidUtf8(res::ToUtf8(text)));
}

void CheckDialog(res::Bytes data)
{
    const auto dialog = res::ParseDialog(data);
    if (!dialog)
        return;
    FUZZ_CHECK(dialog->items.size() * kSmallestItem <= data.size());
    CheckText(dialog->caption, data);
    CheckText(dialog->faceName, data);
    for (const auto& item : dialog->items)
        CheckText(item.text, data);
}

void CheckVersion(res::Bytes data)
{
    const auto version = res::ParseVersion(data);
    if (!version)
        return;
    CheckText(version->stringTableKey, data);
    for (const auto& [key, value] : version->strings) {
        CheckText(key, data);
        CheckText(value, data);
    }
    FUZZ_CHECK(4 * version->translations.size() <= data.size());
}

void CheckStrings(const std::vector<res::Entry>& entries, const res::Entry& block, res::Bytes image)
{
    const std::uint32_t first = (std::uint32_t{block.name} - 1) * 16;
    for (std::uint32_t id = first; id < first + 16; ++id) {
        if (const auto text = res::FindString(entries, id))
            CheckText(*text, image);
    }
}

void CheckIcons(const std::vector<res::Entry>& entries, std::uint16_t group, res::Bytes image)
{
    std::size_t pixels = 0;
    for (const auto& icon : res::LoadIconGroup(entries, group)) {
        FUZZ_CHECK(icon.width >= 1 && icon.width <= 256 && icon.height >= 1 && icon.height <= 256);
        // A PNG image is kept as its bytes, which come from the input.
        const std::size_t decoded = icon.png.empty() ? static_cast<std::size_t>(icon.width) * static_cast<std::size_t>(icon.height) : 0;
        FUZZ_CHECK(icon.argb.size() == decoded && icon.png.size() <= image.size());
        pixels += icon.argb.size();
    }
    FUZZ_CHECK(pixels <= kPixelsPerByte * image.size());
}

void CheckImage(res::Bytes image)
{
    const auto entries = res::ParseResFile(image);
    for (const auto& entry : entries) {
        FUZZ_CHECK(Within(entry.data, image));
        if (entry.type == kDialogType)
            CheckDialog(entry.data);
        else if (entry.type == kVersionType)
            CheckVersion(entry.data);
        else if (entry.type == kStringType)
            CheckStrings(entries, entry, image);
        else if (entry.type == kIconGroupType)
            CheckIcons(entries, entry.name, image);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const res::Bytes input(data, size);
    CheckImage(input);
    CheckDialog(input);
    CheckVersion(input);
    return 0;
}
