// vornikal-send: the dialog's Send from a shell or a script, on Linux and as a Windows console
// program. Unlike the dialog it says why a port could not be used and reports by exit status.
#include "answer_output.h"
#include "comm_failure_text.h"
#include "line_exchange.h"
#include "port_name.h"
#include "send_options.h"
#include "stop_request.h"

#include <chrono>
#include <cstdint>
#include <iostream>
#include <optional>
#include <vector>

namespace {

constexpr int kAnswered = 0;
constexpr int kSilent = 1;
constexpr int kUsageError = 2;
constexpr int kPortUnusable = 3;

void SayFailure(const SendCommand& command, const transfer::PortFailure& failure)
{
    std::cerr << "vornikal-send: " << PortDescription(command.port) << ": ";
    if (failure.step == transfer::PortStep::Open)
        std::cerr << "could not be opened";
    else
        std::cerr << "did not take " << command.rate << " baud, 8N1";
    std::cerr << ": " << failure.reason << "\n";
}

struct ExchangeOutcome {
    std::optional<transfer::PortFailure> failure;  // set when the port could not be used
    std::vector<std::uint8_t> received;
};

// One exchange on a port of its own, released before the answer is printed.
ExchangeOutcome ExchangeOnce(const std::string& portName, const SendCommand& command)
{
    CCommPort port(portName.c_str());
    ExchangeOutcome outcome;
    outcome.failure = transfer::TakePort(port, static_cast<DWORD>(command.rate), transfer::RefusedSettings::Stop,
                                         CommFailureText);
    if (!outcome.failure)
        outcome.received = transfer::Exchange(port, command.frame, command.count);
    return outcome;
}

std::chrono::milliseconds TimeLeft(std::chrono::steady_clock::time_point until)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    return left.count() > 0 ? left : std::chrono::milliseconds(0);
}

// Exchanges `every` apart, start to start; a stop ends the run between two of them.
int Run(const SendCommand& command)
{
    using Clock = std::chrono::steady_clock;
    StopRequest stop;
    const std::string port = PortOpenName(command.port);
    const std::chrono::milliseconds every(command.everyMs);
    bool answered = false;
    Clock::time_point start;
    for (unsigned long done = 0; command.repeat == 0 || done < command.repeat; ++done) {
        if (done > 0 && stop.WaitFor(TimeLeft(start + every)))
            break;
        start = Clock::now();
        const ExchangeOutcome outcome = ExchangeOnce(port, command);
        if (outcome.failure) {
            SayFailure(command, *outcome.failure);
            return kPortUnusable;
        }
        answered = answered || !outcome.received.empty();
        PrintAnswer(std::cout, outcome.received, command.hex);
        // Blocks of binary lines are told apart, and a silent exchange seen, by an empty line.
        if (command.repeat != 1 && !command.hex)
            std::cout << '\n';
        std::cout.flush();
        if (stop.Requested())
            break;
    }
    return answered ? kAnswered : kSilent;
}

}  // namespace

int main(int argc, char** argv)
{
    const ParsedSend parsed = ParseSendCommand(argc, argv);
    if (!parsed.command) {
        std::cerr << "vornikal-send: " << parsed.error << "\nTry 'vornikal-send --help'.\n";
        return kUsageError;
    }
    switch (parsed.command->action) {
    case SendCommand::Action::Help:
        PrintSendUsage(std::cout);
        return kAnswered;
    case SendCommand::Action::Version:
        std::cout << "vornikal-send " << VORNIKAL_VERSION << "\n";
        return kAnswered;
    default:
        return Run(*parsed.command);
    }
}
