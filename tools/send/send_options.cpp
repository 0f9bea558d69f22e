#include "send_options.h"

#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

// From the slowest rate a UART was ever run at to the fastest USB adapters: a rate outside is a
// typing slip, refused before any device is asked.
constexpr unsigned long kMinRate = 50;
constexpr unsigned long kMaxRate = 12'000'000;
constexpr unsigned long kMaxRepeat = 1'000'000'000;
constexpr unsigned long kMaxEveryMs = 86'400'000;
constexpr unsigned kMaxPort = 255;

ParsedSend Refuse(std::string error)
{
    return {std::nullopt, std::move(error)};
}

// Decimal digits and nothing else: no sign, no spaces, no suffix, no overflow.
std::optional<unsigned long> Number(std::string_view text, unsigned long low, unsigned long high)
{
    unsigned long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<int> HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

std::optional<std::uint8_t> HexByte(std::string_view text)
{
    if (text.size() != 2)
        return std::nullopt;
    const auto high = HexDigit(text[0]);
    const auto low = HexDigit(text[1]);
    if (!high || !low)
        return std::nullopt;
    return static_cast<std::uint8_t>(*high * 16 + *low);
}

// comN, N from 1 to 255, in any case.
std::optional<unsigned> PortNumber(std::string_view text)
{
    if (text.size() < 4)
        return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i) {
        if ((text[i] | 0x20) != "com"[i])
            return std::nullopt;
    }
    const auto number = Number(text.substr(3), 1, kMaxPort);
    if (!number || text[3] == '0')
        return std::nullopt;
    return static_cast<unsigned>(*number);
}

struct Given {
    std::optional<std::string_view> port, baud, count, repeat, every;
    std::vector<std::string_view> bytes;
};

// "'TEXT' is not WHAT", built by appending (GCC 12 sees overlapping copies in literal + string).
std::string NotA(std::string_view text, const char* what)
{
    std::string error = "'";
    error.append(text).append("' is not ").append(what);
    return error;
}

// The value of an option given as a number from `low` to `high`, into `target`; what is wrong, if anything.
template <typename Target>
std::string TakeNumber(const std::optional<std::string_view>& text, unsigned long low, unsigned long high,
                       const char* what, Target& target)
{
    if (!text)
        return {};
    const auto value = Number(*text, low, high);
    if (!value)
        return NotA(*text, what);
    target = static_cast<Target>(*value);
    return {};
}

std::string TakePort(const std::optional<std::string_view>& text, unsigned& port)
{
    if (!text)
        return {};
    const auto number = PortNumber(*text);
    if (!number)
        return NotA(*text, "a port name: com1 to com255");
    port = *number;
    return {};
}

// The bytes into the frame, and their number as the count a --count may change.
std::string TakeBytes(const std::vector<std::string_view>& texts, SendCommand& command)
{
    if (texts.size() > transfer::kFrameSize)
        return "at most 4 bytes can be sent, " + std::to_string(texts.size()) + " were given";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto byte = HexByte(texts[i]);
        if (!byte)
            return NotA(texts[i], "a byte: two hex digits, 00 to FF");
        command.frame[i] = *byte;
    }
    command.count = static_cast<int>(texts.size());
    return {};
}

ParsedSend Resolve(const Given& given, bool hex)
{
    if (!given.baud)
        return Refuse("--baud RATE is required");
    SendCommand command;
    command.hex = hex;
    std::string error = TakePort(given.port, command.port);
    if (error.empty())
        error = TakeNumber(given.baud, kMinRate, kMaxRate, "a baud rate: a whole number from 50 to 12000000",
                           command.rate);
    if (error.empty())
        error = TakeBytes(given.bytes, command);
    if (error.empty())
        error = TakeNumber(given.count, 0, transfer::kFrameSize, "a count: 0 to 4", command.count);
    if (error.empty())
        error = TakeNumber(given.repeat, 0, kMaxRepeat, "a number of exchanges: 0 to 1000000000", command.repeat);
    if (error.empty())
        error = TakeNumber(given.every, 0, kMaxEveryMs, "a time in milliseconds: 0 to 86400000", command.everyMs);
    if (!error.empty())
        return Refuse(std::move(error));
    return {command, {}};
}

// The option a value belongs to; null for an argument that is no valued option.
std::optional<std::string_view>* ValueSlot(Given& given, std::string_view option)
{
    if (option == "--port")
        return &given.port;
    if (option == "--baud")
        return &given.baud;
    if (option == "--count")
        return &given.count;
    if (option == "--repeat")
        return &given.repeat;
    if (option == "--every")
        return &given.every;
    return nullptr;
}

}  // namespace

ParsedSend ParseSendCommand(int argc, char** argv)
{
    Given given;
    bool hex = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (optionsEnded || !argument.starts_with("-")) {
            given.bytes.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "--version") {
            SendCommand command;
            command.action = argument == "--help" ? SendCommand::Action::Help : SendCommand::Action::Version;
            return {command, {}};
        } else if (argument == "--hex") {
            hex = true;
        } else if (auto* slot = ValueSlot(given, argument)) {
            if (*slot)
                return Refuse(std::string(argument).append(" is given twice"));
            if (++i == argc)
                return Refuse(std::string(argument).append(" needs a value"));
            *slot = std::string_view(argv[i]);
        } else {
            return Refuse(std::string("unknown option '").append(argument).append("'"));
        }
    }
    return Resolve(given, hex);
}

void PrintSendUsage(std::ostream& out)
{
    out << "usage: vornikal-send [--port comN] --baud RATE [--count N] [--hex]\n"
           "                     [--repeat N] [--every MS] [BYTE...]\n"
           "       vornikal-send --help | --version\n"
           "\n"
           "Opens the port (8N1, no flow control, DTR and RTS low), sends the bytes, reads the\n"
           "answer for about 100 ms (at most 100 bytes), releases the port, and prints each byte\n"
           "received as eight binary digits, bit 7 first.\n"
           "\n"
           "  BYTE         two hex digits (00 to FF); up to four\n"
           "  --port comN  the port (com1 to com255; default com1)\n"
           "  --baud RATE  the line rate: 14400, 19200, 38400, 56000, 57600 or any other the\n"
           "               device takes\n"
           "  --count N    send the first N bytes (0 to 4; default: as many as given; bytes not\n"
           "               given are 00)\n"
           "  --hex        print the answer as hex bytes on one line\n"
           "  --repeat N   run N exchanges (0: until interrupted), one block of output each\n"
           "  --every MS   start them MS milliseconds apart (default 1000)\n"
           "\n"
           "Exit status: 0 an answer came, 1 no answer came, 2 usage error, 3 the port could not\n"
           "be used. With --repeat: 0 when any exchange was answered.\n";
}
