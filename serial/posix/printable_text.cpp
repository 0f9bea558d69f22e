#include "printable_text.h"

#include <cstdio>

namespace {

// The length of the UTF-8 sequence at the start of `text` and the character it encodes; 0 when
// it is no well-formed sequence (overlong forms, surrogates and cut-off sequences included).
std::size_t DecodeOne(std::string_view text, char32_t& character)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t lowest = 0;
    if (lead < 0x80) {
        character = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, lowest = 0x80, character = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, lowest = 0x800, character = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, lowest = 0x10000, character = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        character = (character << 6) | (byte(i) & 0x3F);
    }
    const bool surrogate = character >= 0xD800 && character <= 0xDFFF;
    return character < lowest || surrogate || character > 0x10FFFF ? 0 : length;
}

// Characters that move or hide what a terminal shows: controls, and the marks that reorder text.
bool Steers(char32_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x061C || (c >= 0x200E && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string Escaped(std::string_view bytes, char32_t character)
{
    char text[16];
    std::string escaped;
    if (character >= 0xA0) {
        std::snprintf(text, sizeof text, "\\u{%04x}", static_cast<unsigned>(character));
        return text;
    }
    for (const char c : bytes) {
        std::snprintf(text, sizeof text, "\\x%02x", static_cast<unsigned char>(c));
        escaped += text;
    }
    return escaped;
}

}  // namespace

std::string PrintableText(std::string_view text, std::size_t limit)
{
    std::string printable;
    while (!text.empty()) {
        char32_t character = 0;
        const std::size_t length = DecodeOne(text, character);
        const std::string_view taken = text.substr(0, length == 0 ? 1 : length);
        const std::string piece = length == 0 || Steers(character) ? Escaped(taken, length == 0 ? 0 : character)
                                                                    : std::string(taken);
        if (printable.size() + piece.size() > limit)
            return printable + "...";
        printable += piece;
        text.remove_prefix(taken.size());
    }
    return printable;
}
