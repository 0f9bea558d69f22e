// The conversions of a Send on arbitrary bytes: the count text as atoi reads it (held to int),
// upper-casing through CString, the hex arithmetic on every pair, and the result lines.
#include "conversions.h"
#include "cstring.h"
#include "fuzz_check.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr std::size_t kPairsChecked = 64;

// The C library's reading of a decimal text (it stops at a NUL as the dialog's text does), held
// to the range of int.
int LibraryCount(const std::string& text)
{
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

void CheckCount(const std::string& text)
{
    const int count = transfer::ParseCount(text);
    FUZZ_CHECK(count == LibraryCount(text));
    FUZZ_CHECK(transfer::BytesToSend(count) == std::clamp(count, 0, transfer::kFrameSize));
}

// Only a to z change, each to its capital; the length in bytes stays.
std::string CheckUpperCase(const std::string& text)
{
    CString upper(text);
    upper.MakeUpper();
    const std::string& result = upper.Str();
    FUZZ_CHECK(result.size() == text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        FUZZ_CHECK(result[i] == (c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c));
    }
    return result;
}

void CheckPairs(const std::string& upper)
{
    const std::size_t pairs = std::min(kPairsChecked, upper.size() / 2);
    for (std::size_t i = 0; i < pairs; ++i) {
        const std::string pair = upper.substr(2 * i, 2);
        const std::uint8_t byte = transfer::FrameByte(pair);
        if (IsHexDigit(pair[0]) && IsHexDigit(pair[1]))
            FUZZ_CHECK(byte == std::strtoul(pair.c_str(), nullptr, 16));
    }
    // Only a text of exactly two bytes sets its frame byte.
    if (upper.size() != 2)
        FUZZ_CHECK(transfer::FrameByte(upper) == 0x00);
}

void CheckResultLine(std::uint8_t byte)
{
    const std::string line = transfer::ResultLine(byte);
    FUZZ_CHECK(line.size() == 10 && line[8] == '\r' && line[9] == '\n');
    FUZZ_CHECK(line.find_first_not_of("01") == 8);
    FUZZ_CHECK(std::strtoul(line.substr(0, 8).c_str(), nullptr, 2) == byte);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckCount(text);
    CheckPairs(CheckUpperCase(text));
    for (std::size_t i = 0; i < std::min(size, kPairsChecked); ++i)
        CheckResultLine(data[i]);
    return 0;
}
