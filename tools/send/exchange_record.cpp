#include "exchange_record.h"

#include "answer_output.h"
#include "send_options.h"
#include "system_text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

const char* OutcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Answered:
        return "answered";
    case Outcome::Silent:
        return "silent";
    case Outcome::Differs:
        return "differs";
    default:
        return "port unusable";
    }
}

// RFC 3339 in UTC with milliseconds: "2026-12-09T06:20:01.123Z".
std::string UtcText(std::chrono::system_clock::time_point time)
{
    const auto sinceEpoch = std::chrono::floor<std::chrono::milliseconds>(time.time_since_epoch());
    const auto seconds = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
    const std::time_t whole = static_cast<std::time_t>(seconds.count());
    char date[32] = {};
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", std::gmtime(&whole));
    char text[48] = {};
    std::snprintf(text, sizeof text, "%s.%03dZ", date, static_cast<int>((sinceEpoch - seconds).count()));
    return text;
}

}  // namespace

std::string FailureText(const SendCommand& command, const transfer::PortFailure& failure)
{
    const std::string step = failure.step == transfer::PortStep::Open
                                 ? "could not be opened"
                                 : "did not take " + std::to_string(command.rate) + " baud, 8N1";
    return step + ": " + failure.reason;
}

Outcome OutcomeOf(const ExchangeRecord& record, const std::optional<std::vector<std::uint8_t>>& expect)
{
    if (record.failure)
        return Outcome::PortUnusable;
    if (record.received.empty())
        return Outcome::Silent;
    if (expect && (record.received.size() < expect->size() ||
                   !std::equal(expect->begin(), expect->end(), record.received.begin())))
        return Outcome::Differs;
    return Outcome::Answered;
}

void PrintRecord(std::ostream& out, const SendCommand& command, const std::string& device, const ExchangeRecord& record)
{
    // In the order a reader looks for them.
    nlohmann::ordered_json line;
    line["port"] = command.port;
    line["device"] = device.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(device);
    line["rate"] = command.rate;
    line["sent"] = HexText(record.sent, "");
    line["received"] = HexText(record.received, "");
    if (command.expect)
        line["expected"] = HexText(*command.expect, "");
    line["start"] = UtcText(record.start);
    line["elapsed_ms"] = record.elapsed.count();
    line["outcome"] = OutcomeText(OutcomeOf(record, command.expect));
    if (record.failure)
        line["reason"] = SystemTextAsUtf8(FailureText(command, *record.failure));
    // Replacement characters rather than an exception for a system text that is not UTF-8.
    out << line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}
