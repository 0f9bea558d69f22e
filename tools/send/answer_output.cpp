#include "answer_output.h"

#include "conversions.h"

std::string HexText(const std::vector<std::uint8_t>& bytes, const char* separator)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (!text.empty())
            text += separator;
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

void PrintAnswer(std::ostream& out, const std::vector<std::uint8_t>& answer, bool hex)
{
    if (hex) {
        out << HexText(answer, " ") << '\n';
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
