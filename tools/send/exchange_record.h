// What one exchange came to, and its record for scripts (--json): one JSON object on one line.
#pragma once

#include "line_exchange.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct SendCommand;

// From best to worst: with --expect, the worst exchange of a run decides its exit status.
enum class Outcome { Answered, Silent, Differs, PortUnusable };

struct ExchangeRecord {
    std::chrono::system_clock::time_point start;
    std::chrono::milliseconds elapsed{0};  // from before the open to after the release
    std::optional<transfer::PortFailure> failure;  // set when the port could not be used
    std::vector<std::uint8_t> sent;       // what the port reported written
    std::vector<std::uint8_t> received;
};

// "could not be opened: No such file or directory", "did not take 14400 baud, 8N1: ...".
std::string FailureText(const SendCommand& command, const transfer::PortFailure& failure);

Outcome OutcomeOf(const ExchangeRecord& record, const std::optional<std::vector<std::uint8_t>>& expect);

// {"port":"com1","device":"/dev/pts/3","rate":19200,"sent":"7E81","received":"7E81",
//  "start":"2026-12-09T06:20:01.123Z","elapsed_ms":105,"outcome":"answered"}, with "expected" under
// --expect and "reason" when the port was unusable.
void PrintRecord(std::ostream& out, const SendCommand& command, const std::string& device, const ExchangeRecord& record);
