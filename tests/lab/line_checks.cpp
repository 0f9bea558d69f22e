#include "line_checks.h"

#include "baud_table.h"
#include "comm_port.h"
#include "far_end.h"
#include "held_device.h"
#include "lab_clock.h"
#include "lab_report.h"

#include <sys/ioctl.h>

namespace {

constexpr DWORD kDataRate = CBR_57600;  // the far end's rate too
constexpr int kReceiveSize = 100;
constexpr double kPromptMs = 1000;      // a stall or a drain would take up to 30 s
const std::vector<std::uint8_t> kQuestion = {0x7E, 0x81, 0x00, 0xFF};
constexpr std::uint8_t kXoff = 0x13;

// An answer that fills a whole read, with no byte that XON/XOFF would take out.
std::vector<std::uint8_t> FullAnswer()
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < kReceiveSize; ++i)
        bytes.push_back(static_cast<std::uint8_t>(0x20 + i));
    return bytes;
}

constexpr const char* kNotOpened = "Open returned 0";

// Opens the port as a Send does, the far end being ready; why not, when it cannot.
std::string Ready(const FarEnd& far, CCommPort& port)
{
    if (!far.Failure().empty())
        return far.Failure();
    return port.Open(kDataRate) ? "" : kNotOpened;
}

Outcome RateReadBack(const LabLine& line, DWORD rate)
{
    CCommPort port(line.portName.c_str());
    if (!port.Open(rate))
        return Judge(false, kNotOpened);
    const auto fd = HeldDescriptor(line.device);
    const auto read = fd ? DriverRate(*fd) : std::nullopt;
    if (!read)
        return Judge(false, "the driver's rate could not be read");
    return Judge(*read == rate, "Open returned 1; the driver reads back " + std::to_string(*read));
}

Outcome LinesLowWhileHeld(const LabLine& line)
{
    CCommPort port(line.portName.c_str());
    if (!port.Open(kDataRate))
        return Judge(false, kNotOpened);
    const auto fd = HeldDescriptor(line.device);
    const auto lines = fd ? ModemLines(*fd) : std::nullopt;
    if (!lines)
        return Judge(false, "TIOCMGET failed");
    return Judge(!(*lines & (TIOCM_DTR | TIOCM_RTS)), ModemLinesText(*lines));
}

Outcome QuestionArrives(const LabLine& line)
{
    FarEnd far(line.farEnd);
    CCommPort port(line.portName.c_str());
    if (const std::string why = Ready(far, port); !why.empty())
        return Judge(false, why);
    const Stopwatch clock;
    port.Write(kQuestion.data(), static_cast<int>(kQuestion.size()));
    const auto got = far.Read(kQuestion.size(), std::chrono::seconds(3));
    return Judge(got == kQuestion, Hex(got) + " arrived in " + Milliseconds(clock.Ms()));
}

Outcome FullAnswerRead(const LabLine& line)
{
    FarEnd far(line.farEnd);
    CCommPort port(line.portName.c_str());
    if (const std::string why = Ready(far, port); !why.empty())
        return Judge(false, why);
    port.Write(kQuestion.data(), static_cast<int>(kQuestion.size()));
    if (far.Read(kQuestion.size(), std::chrono::seconds(3)) != kQuestion || !far.Write(FullAnswer()))
        return Judge(false, "the far end did not get the question or could not answer");
    // "At once": the whole answer has come in before the read starts, however slow the emulation.
    const int fd = HeldDescriptor(line.device).value_or(-1);
    const Stopwatch arriving;
    if (!WaitUntil([&] { return QueuedInput(fd) >= kReceiveSize; }, std::chrono::seconds(5)))
        return Judge(false, std::to_string(QueuedInput(fd)) + " of 100 bytes came in 5 s");
    const double arrivedMs = arriving.Ms();
    std::vector<std::uint8_t> got(kReceiveSize + 1);
    const Stopwatch reading;
    const int count = port.Read(got.data(), kReceiveSize);
    const double readMs = reading.Ms();
    got.resize(static_cast<std::size_t>(count));
    return Judge(got == FullAnswer(), std::to_string(count) + " bytes read in " + Milliseconds(readMs) +
                                          " (all in " + Milliseconds(arrivedMs) + " after the answer)");
}

Outcome SilenceEndsRead(const LabLine& line)
{
    CCommPort port(line.portName.c_str());
    if (!port.Open(kDataRate))
        return Judge(false, kNotOpened);
    std::uint8_t got[kReceiveSize];
    const Stopwatch clock;
    const int count = port.Read(got, kReceiveSize);
    const double ms = clock.Ms();
    return Judge(count == 0 && ms >= 99 && ms < 500, std::to_string(count) + " bytes in " + Milliseconds(ms));
}

Outcome StalledSendEnds(const LabLine& line)
{
    FarEnd far(line.farEnd);
    CCommPort port(line.portName.c_str());
    if (const std::string why = Ready(far, port); !why.empty())
        return Judge(false, why);
    const int fd = HeldDescriptor(line.device).value_or(-1);
    if (!StopsOnXoff(fd))
        return Judge(false, "IXON is off, so XOFF cannot stall the output");
    // A byte after the XOFF shows, once it can be read, that the XOFF has been taken in.
    far.Write({kXoff, 'M'});
    if (!WaitUntil([&] { return QueuedInput(fd) > 0; }, std::chrono::seconds(3)))
        return Judge(false, "XOFF never arrived");
    std::uint8_t got[kReceiveSize];
    const Stopwatch writing;
    const int written = port.Write(kQuestion.data(), static_cast<int>(kQuestion.size()));
    const double writeMs = writing.Ms();
    // What the driver still holds: the UARTs keep the bytes the stop holds back; the close must
    // not wait for them either way.
    const int queued = QueuedOutput(fd);
    const Stopwatch reading;
    port.Read(got, kReceiveSize);
    const double readMs = reading.Ms();
    const Stopwatch closing;
    port.Close();
    const double closeMs = closing.Ms();
    return Judge(writeMs < kPromptMs && readMs < kPromptMs && closeMs < kPromptMs,
                 "write " + Milliseconds(writeMs) + " (" + std::to_string(written) + " bytes, output queue " +
                     std::to_string(queued) + "), read " + Milliseconds(readMs) + ", close " + Milliseconds(closeMs));
}

Outcome SecondOpenerRefused(const LabLine& line)
{
    CCommPort first(line.portName.c_str());
    CCommPort second(line.portName.c_str());
    if (!first.Open(kDataRate))
        return Judge(false, kNotOpened);
    const int opened = second.Open(kDataRate);
    return Judge(opened == 0, "the second Open returned " + std::to_string(opened));
}

struct LineCheck {
    const char* name;
    Outcome (*run)(const LabLine&);
};

constexpr LineCheck kLineChecks[] = {
    {"DTR and RTS low while held", LinesLowWhileHeld},
    {"4 bytes reach the far end", QuestionArrives},
    {"100 bytes answered at once are read", FullAnswerRead},
    {"silence ends the read after 100 ms", SilenceEndsRead},
    {"XOFF: write, read and close end", StalledSendEnds},
    {"a second opener is refused", SecondOpenerRefused},
};

}  // namespace

void RunLineChecks(const LabLine& line)
{
    for (const auto& entry : transfer::kBaudTable)
        Report(line.driver, "rate " + std::to_string(entry.rate), RateReadBack(line, entry.rate));
    for (const LineCheck& check : kLineChecks)
        Report(line.driver, check.name, check.run(line));
}
