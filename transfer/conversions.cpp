#include "conversions.h"

#include <climits>

namespace transfer {

namespace {

bool IsAtoiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int ParseCount(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsAtoiSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        return value > static_cast<long long>(INT_MAX) ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

int BytesToSend(int count)
{
    if (count < 0)
        return 0;
    return count > kFrameSize ? kFrameSize : count;
}

std::uint8_t HexPairToByte(char high, char low)
{
    // The characters take part as signed 8-bit values, and every sum is kept to 8 bits.
    const int c0 = static_cast<signed char>(high);
    const int c1 = static_cast<signed char>(low);
    const int highValue = c0 > '9' ? c0 - 7 : c0;
    const int lowValue = c1 > '9' ? c1 - 55 : c1 - 48;
    const auto highPart = static_cast<std::uint8_t>(static_cast<unsigned>(highValue) << 4);
    return static_cast<std::uint8_t>(highPart + static_cast<unsigned>(lowValue));
}

std::uint8_t FrameByte(std::string_view text)
{
    if (text.size() != 2)
        return 0x00;
    return HexPairToByte(text[0], text[1]);
}

std::string ResultLine(std::uint8_t byte)
{
    std::string line(8, '0');
    for (int bit = 0; bit < 8; ++bit) {
        if (byte & (1u << bit))
            line[static_cast<std::size_t>(7 - bit)] = '1';
    }
    return line + "\r\n";
}

}  // namespace transfer
