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

ParsedSend Resolve(const Given& given, bool hex)
{
    SendCommand command;
    command.hex = hex;
    if (given.port) {
        const auto port = PortNumber(*given.port);
        if (!port)
            return Refuse("'" + std::string(*given.port) + "' is not a port name: com1 to com255");
        command.port = *port;
    }
    if (!given.baud)
        return Refuse("--baud RATE is required");
    const auto rate = Number(*given.baud, kMinRate, kMaxRate);
    if (!rate)
        return Refuse("'" + std::string(*given.baud) + "' is not a baud rate: a whole number from 50 to 12000000");
    command.rate = *rate;

    if (given.bytes.size() > transfer::kFrameSize)
        return Refuse("at most 4 bytes can be sent, " + std::to_string(given.bytes.size()) + " were given");
    for (std::size_t i = 0; i < given.bytes.size(); ++i) {
        const auto byte = HexByte(given.bytes[i]);
        if (!byte)
            return Refuse("'" + std::string(given.bytes[i]) + "' is not a byte: two hex digits, 00 to FF");
        command.frame[i] = *byte;
    }
    command.count = static_cast<int>(given.bytes.size());
    if (given.count) {
        const auto count = Number(*given.count, 0, transfer::kFrameSize);
        if (!count)
            return Refuse("'" + std::string(*given.count) + "' is not a count: 0 to 4");
        command.count = static_cast<int>(*count);
    }
    if (given.repeat) {
        const auto repeat = Number(*given.repeat, 0, kMaxRepeat);
        if (!repeat)
            return Refuse("'" + std::string(*given.repeat) + "' is not a number of exchanges: 0 to 1000000000");
        command.repeat = *repeat;
    }
    if (given.every) {
        const auto every = Number(*given.every, 0, kMaxEveryMs);
        if (!every)
            return Refuse("'" + std::string(*given.every) + "' is not a time in milliseconds: 0 to 86400000");
        command.everyMs = *every;
    }
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
                return Refuse(std::string(argument) + " is given twice");
            if (++i == argc)
                return Refuse(std::string(argument) + " needs a value");
            *slot = std::string_view(argv[i]);
        } else {
            return Refuse("unknown option '" + std::string(argument) + "'");
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
