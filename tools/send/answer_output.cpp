#include "answer_output.h"

#include "conversions.h"

#include <string>

namespace {

std::string HexByte(std::uint8_t byte)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0xF]};
}

}  // namespace

void PrintAnswer(std::ostream& out, const std::vector<std::uint8_t>& answer, bool hex)
{
    if (hex) {
        std::string line;
        for (const std::uint8_t byte : answer) {
            if (!line.empty())
                line += ' ';
            line += HexByte(byte);
        }
        out << line << '\n';
        return;
    }
    for (const std::uint8_t byte : answer) {
        std::string line = transfer::ResultLine(byte);
        // The dialog's lines end in CR LF for its edit box; here the stream adds the platform's own.
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        out << line << '\n';
    }
}
