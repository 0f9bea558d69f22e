// vornikal-send: the dialog's Send from a shell or a script, on Linux and as a Windows console
// program. Unlike the dialog it says why a port could not be used and reports by exit status.
#include "answer_output.h"
#include "comm_failure_text.h"
#include "line_exchange.h"
#include "port_name.h"
#include "send_options.h"
#include "stop_request.h"

#include <chrono>
#include <iostream>

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
        const transfer::ExchangeOutcome outcome =
            transfer::ExchangeOnLine(port.c_str(), static_cast<DWORD>(command.rate), command.frame, command.count,
                                     transfer::RefusedSettings::Stop, CommFailureText);
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
