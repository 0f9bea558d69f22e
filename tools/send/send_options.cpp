#include "send_options.h"

#include "port_name.h"

#include <charconv>
#include <string_view>

namespace {

// From the slowest rate a UART was ever run at to the fastest USB adapters: a rate outside is a
// typing slip, refused before any device is asked.
constexpr unsigned long kMinRate = 50;
constexpr unsigned long kMaxRate = 12'000'000;
constexpr unsigned long kMaxRepeat = 1'000'000'000;
constexpr unsigned long kMaxEveryMs = 86'400'000;
// A probe that waits longer for an answer has another problem than a slow device.
constexpr unsigned long kMaxWaitMs = 60'000;

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

// Pairs of hex digits: "7E81000A", "7e 81 00 0a"; blanks only between whole bytes.
std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view text)
{
    std::vector<std::uint8_t> bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        const auto high = HexDigit(text[i]);
        const auto low = i + 1 < text.size() ? HexDigit(text[i + 1]) : std::nullopt;
        if (!high || !low)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(*high * 16 + *low));
        i += 2;
    }
    if (bytes.empty())
        return std::nullopt;
    return bytes;
}

struct Given {
    std::optional<std::string_view> port, baud, count, frame, max, wait, expect, repeat, every;
    std::vector<std::string_view> bytes;
    bool hex = false;
    bool json = false;
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

std::string TakePortOption(const std::optional<std::string_view>& text, SendCommand& command)
{
    if (!text)
        return {};
    std::string problem = PortProblem(*text);
    if (problem.empty())
        command.port = std::string(*text);
    return problem;
}

const char* const kHexBytes = "hex bytes: pairs of hex digits such as 7E81000A or '7e 81 00 0a'";

// The frame from BYTE... or --frame, then cut or padded with 00 to --count.
std::string TakeFrame(const Given& given, SendCommand& command)
{
    if (given.frame && !given.bytes.empty())
        return "give the bytes either as BYTE... or with --frame, not both";
    if (given.frame) {
        const auto bytes = HexBytes(*given.frame);
        if (!bytes)
            return NotA(*given.frame, kHexBytes);
        command.frame = *bytes;
    }
    for (const std::string_view text : given.bytes) {
        const auto byte = text.size() == 2 ? HexBytes(text) : std::nullopt;
        if (!byte)
            return NotA(text, "a byte: two hex digits, 00 to FF");
        command.frame.push_back(byte->front());
    }
    if (command.frame.size() > static_cast<std::size_t>(kMostBytes))
        return "at most 4096 bytes can be sent, " + std::to_string(command.frame.size()) + " were given";
    std::size_t count = command.frame.size();
    std::string error = TakeNumber(given.count, 0, kMostBytes, "a count: 0 to 4096", count);
    command.frame.resize(count, 0x00);
    return error;
}

std::string TakeWindow(const Given& given, SendCommand& command)
{
    std::string error = TakeNumber(given.max, 1, kMostBytes, "a number of bytes: 1 to 4096", command.window.most);
    if (error.empty())
        error = TakeNumber(given.wait, 1, kMaxWaitMs, "a time in milliseconds: 1 to 60000", command.window.waitMs);
    if (!error.empty() || !given.expect)
        return error;
    command.expect = HexBytes(*given.expect);
    if (!command.expect)
        return NotA(*given.expect, kHexBytes);
    if (command.expect->size() > static_cast<std::size_t>(command.window.most))
        return "--expect gives " + std::to_string(command.expect->size()) + " bytes, more than the " +
               std::to_string(command.window.most) + " the answer keeps (--max)";
    return {};
}

ParsedSend Resolve(const Given& given)
{
    if (!given.baud)
        return Refuse("--baud RATE is required");
    if (given.hex && given.json)
        return Refuse("--hex and --json choose two outputs: give one");
    SendCommand command;
    command.hex = given.hex;
    command.json = given.json;
    std::string error = TakeNumber(given.baud, kMinRate, kMaxRate, "a baud rate: a whole number from 50 to 12000000",
                                   command.rate);
    if (error.empty())
        error = TakeFrame(given, command);
    if (error.empty())
        error = TakeWindow(given, command);
    if (error.empty())
        error = TakeNumber(given.repeat, 0, kMaxRepeat, "a number of exchanges: 0 to 1000000000", command.repeat);
    if (error.empty())
        error = TakeNumber(given.every, 0, kMaxEveryMs, "a time in milliseconds: 0 to 86400000", command.everyMs);
    // Last: on Linux a path is looked at, and nothing is looked at while anything else is wrong.
    if (error.empty())
        error = TakePortOption(given.port, command);
    if (!error.empty())
        return Refuse(std::move(error));
    return {command, {}};
}

// The option a value belongs to; null for an argument that is no valued option.
std::optional<std::string_view>* ValueSlot(Given& given, std::string_view option)
{
    struct Slot {
        std::string_view name;
        std::optional<std::string_view> Given::*value;
    };
    static constexpr Slot kSlots[] = {
        {"--port", &Given::port},     {"--baud", &Given::baud},     {"--count", &Given::count},
        {"--frame", &Given::frame},   {"--max", &Given::max},       {"--wait", &Given::wait},
        {"--expect", &Given::expect}, {"--repeat", &Given::repeat}, {"--every", &Given::every},
    };
    for (const Slot& slot : kSlots) {
        if (slot.name == option)
            return &(given.*slot.value);
    }
    return nullptr;
}

}  // namespace

ParsedSend ParseSendCommand(int argc, char** argv)
{
    Given given;
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
        } else if (argument == "--hex" || argument == "--json") {
            (argument == "--hex" ? given.hex : given.json) = true;
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
    return Resolve(given);
}

void PrintSendUsage(std::ostream& out)
{
    const transfer::AnswerWindow send;
    out << "usage: vornikal-send [--port PORT] --baud RATE [BYTE... | --frame HEX] [--count N]\n"
           "                     [--wait MS] [--max N] [--expect HEX] [--hex | --json]\n"
           "                     [--repeat N] [--every MS]\n"
           "       vornikal-send --help | --version\n"
           "\n"
           "Opens the port (8N1, no flow control, DTR and RTS low), sends the bytes, reads the\n"
           "answer (by default for "
        << send.waitMs << " ms, at most " << send.most
        << " bytes), releases the port, and prints each\n"
           "byte received as eight binary digits, bit 7 first.\n"
           "\n"
           "  BYTE          two hex digits (00 to FF); up to 4096 of them\n"
           "  --frame HEX   the bytes as one argument: 7E81000A or '7e 81 00 0a'\n"
           "  --port PORT   "
        << PortValuesText()
        << "\n"
           "  --baud RATE   the line rate: 14400, 19200, 38400, 56000, 57600 or any other the\n"
           "                device takes\n"
           "  --count N     send the first N bytes of the frame (0 to 4096; default: all of them;\n"
           "                bytes past its end are 00)\n"
           "  --wait MS     listen for the answer at most MS milliseconds (1 to 60000; default "
        << send.waitMs
        << ")\n"
           "  --max N       keep at most N bytes of it (1 to 4096; default "
        << send.most
        << "); the read ends at N\n"
           "                bytes or when the wait is over, whichever is first\n"
           "  --expect HEX  the answer must begin with these bytes (exit 4 when it differs)\n"
           "  --hex         print the answer as hex bytes on one line\n"
           "  --json        print one JSON object per exchange, on one line\n"
           "  --repeat N    run N exchanges (0: until interrupted), one block of output each\n"
           "  --every MS    start them MS milliseconds apart (default 1000)\n"
           "\n"
           "Exit status: 0 an answer came (with --expect: the expected one), 1 no answer came,\n"
           "2 usage error, 3 the port could not be used, 4 an answer came but not the expected\n"
           "one. With --repeat: 0 when any exchange was answered; with --expect, the worst\n"
           "exchange decides (3, then 4, then 1).\n";
}
