// vornikal-send: the dialog's Send from a shell or a script, on Linux and as a Windows console
// program. Unlike the dialog it says why a port could not be used and reports by exit status.
#include "answer_output.h"
#include "comm_failure_text.h"
#include "exchange_record.h"
#include "port_name.h"
#include "send_options.h"
#include "stop_request.h"

#include <algorithm>
#include <chrono>
#include <iostream>

namespace {

constexpr int kAnswered = 0;
constexpr int kSilent = 1;
constexpr int kUsageError = 2;
constexpr int kPortUnusable = 3;
constexpr int kDiffers = 4;

int ExitStatus(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Answered:
        return kAnswered;
    case Outcome::Silent:
        return kSilent;
    case Outcome::Differs:
        return kDiffers;
    default:
        return kPortUnusable;
    }
}

// One exchange on a port of its own, released before anything is printed.
ExchangeRecord ExchangeOnce(const std::string& openName, const SendCommand& command)
{
    ExchangeRecord record;
    record.start = std::chrono::system_clock::now();
    const auto began = std::chrono::steady_clock::now();
    {
        CCommPort port(openName.c_str());
        const auto rate = static_cast<DWORD>(command.rate);
        record.failure = transfer::TakePort(port, rate, CommFailureText);
        // The dialog writes at whatever rate the device kept; a probe must not.
        if (!record.failure)
            record.failure = transfer::CheckSettings(port, rate, CommFailureText);
        if (!record.failure) {
            transfer::ExchangeResult result = transfer::Exchange(port, command.frame, command.window);
            const auto written = static_cast<std::size_t>(std::clamp<int>(result.written, 0, static_cast<int>(command.frame.size())));
            record.sent.assign(command.frame.begin(), command.frame.begin() + static_cast<long>(written));
            record.received = std::move(result.received);
        }
    }
    record.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began);
    return record;
}

class Reporter {
public:
    explicit Reporter(const SendCommand& command) : m_command(command), m_name(PortDescription(command.port)) {}

    // The exchange's answer or record on standard output, what went wrong on standard error.
    void Report(const ExchangeRecord& record, unsigned long number, const std::string& device) const
    {
        if (record.failure)
            std::cerr << "vornikal-send: " << m_name << ": " << FailureText(m_command, *record.failure) << "\n";
        else if (record.sent.size() < m_command.frame.size())
            std::cerr << "vornikal-send: " << m_name << ": only " << record.sent.size() << " of "
                      << m_command.frame.size() << " bytes went out within the write time-out\n";
        if (m_command.json) {
            PrintRecord(std::cout, m_command, device, record);
        } else if (!record.failure) {
            PrintAnswer(std::cout, record.received, m_command.hex);
            // Blocks of binary lines are told apart, and a silent exchange seen, by an empty line.
            if (m_command.repeat != 1 && !m_command.hex)
                std::cout << '\n';
            SayMismatch(record, number);
        }
        std::cout.flush();
    }

private:
    const SendCommand& m_command;
    const std::string m_name;

    void SayMismatch(const ExchangeRecord& record, unsigned long number) const
    {
        const Outcome outcome = OutcomeOf(record, m_command.expect);
        if (!m_command.expect || outcome == Outcome::Answered)
            return;
        std::cerr << "vornikal-send: ";
        if (m_command.repeat != 1)
            std::cerr << "exchange " << number << ": ";
        const std::string expected = HexText(*m_command.expect, " ");
        if (outcome == Outcome::Silent)
            std::cerr << "no answer, expected " << expected << "\n";
        else
            std::cerr << "expected " << expected << ", came " << HexText(record.received, " ") << "\n";
    }
};

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
    const std::string openName = PortOpenName(command.port);
    const std::string device = command.json ? DeviceBehind(command.port) : std::string();
    const Reporter reporter(command);
    const std::chrono::milliseconds every(command.everyMs);
    Outcome worst = Outcome::Answered;
    bool answered = false;
    Clock::time_point start;
    for (unsigned long done = 0; command.repeat == 0 || done < command.repeat; ++done) {
        if (done > 0 && stop.WaitFor(TimeLeft(start + every)))
            break;
        start = Clock::now();
        const ExchangeRecord record = ExchangeOnce(openName, command);
        reporter.Report(record, done + 1, device);
        const Outcome outcome = OutcomeOf(record, command.expect);
        if (outcome == Outcome::PortUnusable)
            return kPortUnusable;
        worst = std::max(worst, outcome);
        answered = answered || outcome != Outcome::Silent;
        if (stop.Requested())
            break;
    }
    // Without --expect a run is answered when any exchange was; with it, the worst one decides.
    if (command.expect)
        return ExitStatus(worst);
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
