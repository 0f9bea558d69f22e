// The command line of vornikal-send.
#pragma once

#include "conversions.h"

#include <optional>
#include <ostream>
#include <string>

struct SendCommand {
    enum class Action { Send, Help, Version };
    Action action = Action::Send;
    unsigned port = 1;               // --port comN
    unsigned long rate = 0;          // --baud
    transfer::Frame frame{};         // BYTE..., zero after the last one given
    int count = 0;                   // --count, else the number of bytes given
    bool hex = false;                // --hex
    unsigned long repeat = 1;        // --repeat; 0 runs until stopped
    unsigned long everyMs = 1000;    // --every
};

struct ParsedSend {
    std::optional<SendCommand> command;
    std::string error;  // what is wrong, when there is no command
};

ParsedSend ParseSendCommand(int argc, char** argv);
void PrintSendUsage(std::ostream& out);
