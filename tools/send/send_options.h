// The command line of vornikal-send.
#pragma once

#include "line_exchange.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The most bytes one exchange sends or keeps: the port's queues.
constexpr int kMostBytes = 4096;

struct SendCommand {
    enum class Action { Send, Help, Version };
    Action action = Action::Send;
    std::string port = "com1";                  // --port: comN, or on Linux a device's path
    unsigned long rate = 0;                     // --baud
    std::vector<std::uint8_t> frame;            // BYTE... or --frame, padded with 00 to --count
    transfer::AnswerWindow window;              // --max, --wait
    std::optional<std::vector<std::uint8_t>> expect;  // --expect
    bool hex = false;                           // --hex
    bool json = false;                          // --json
    unsigned long repeat = 1;                   // --repeat; 0 runs until stopped
    unsigned long everyMs = 1000;               // --every
};

struct ParsedSend {
    std::optional<SendCommand> command;
    std::string error;  // what is wrong, when there is no command
};

ParsedSend ParseSendCommand(int argc, char** argv);
void PrintSendUsage(std::ostream& out);
