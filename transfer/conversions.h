// The conversions of one Send: the typed count and hex texts to bytes, and received bytes to lines.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace transfer {

constexpr int kFrameSize = 4;
using Frame = std::array<std::uint8_t, kFrameSize>;

// Converts as atoi does (leading white space, an optional sign, digits up to the first other
// character; no digits give 0), except that a value beyond int saturates instead of overflowing.
int ParseCount(std::string_view text);

// How many frame bytes a count sends: none below 0, all four above 4.
int BytesToSend(int count);

// A byte from its upper-cased two-character text by the tool's hex arithmetic, which accepts any
// character: "7E" gives 0x7E; other characters go through the same sums.
std::uint8_t HexPairToByte(char high, char low);

// The frame byte an upper-cased text gives: the value of a two-byte text, 0x00 for a text of any
// other length (the frame starts zeroed for each Send).
std::uint8_t FrameByte(std::string_view text);

// Eight binary digits, bit 7 first, then a carriage return and a line feed.
std::string ResultLine(std::uint8_t byte);

}  // namespace transfer
