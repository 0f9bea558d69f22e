#include "soak_run.h"

#include "process_gauges.h"
#include "foreign_holder.h"
#include "resource.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include <malloc.h>

namespace {

constexpr int kRate19200 = 1;
constexpr std::size_t kLineBytes = 10;  // eight digits, CR, LF
constexpr std::size_t kEchoedLines = 4;
constexpr double kSendBoundMs = 1000;

std::size_t BoxBytes(DialogDriver& d)
{
    return static_cast<std::size_t>(d.Send(IDC_RESULT, WM_GETTEXTLENGTH));
}

bool Com1IsFree()
{
    const HANDLE device = CreateFileA("com1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(device);
    return true;
}

SoakSample Sample(DialogDriver& d, int sends, const std::vector<double>& block)
{
    // Freed heap goes back first, so the figure is what the process still uses.
    malloc_trim(0);
    SoakSample sample{sends, BoxBytes(d), ResidentKilobytes(), OpenDescriptorCount(), 0, 0};
    if (!block.empty()) {
        double total = 0;
        for (double ms : block)
            total += ms;
        sample.meanMs = total / static_cast<double>(block.size());
        sample.worstMs = *std::max_element(block.begin(), block.end());
    }
    return sample;
}

void PrintRow(const SoakSample& s)
{
    std::printf("| %7d | %10zu | %9zu | %4d | %10.2f | %9.2f |\n", s.sends, s.boxBytes, s.residentKb,
                s.descriptors, s.meanMs, s.worstMs);
    std::fflush(stdout);
}

void PrintHeader()
{
    std::printf("| %7s | %10s | %9s | %4s | %10s | %9s |\n", "sends", "box bytes", "RSS KiB", "fds",
                "ms/Send", "worst ms");
    std::printf("|---------|------------|-----------|------|------------|-----------|\n");
}

// One Send as a user makes it; false when the box did not take the four echoed lines.
bool SendOnce(DialogDriver& d, double& ms)
{
    const std::size_t before = BoxBytes(d);
    const auto start = std::chrono::steady_clock::now();
    d.Click(IDOK);
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    // Between clicks the box repaints, as it does for a user.
    QApplication::processEvents();
    return BoxBytes(d) == before + kEchoedLines * kLineBytes;
}

}  // namespace

bool SoakResult::DescriptorsSteady() const
{
    return std::all_of(samples.begin(), samples.end(),
                       [&](const SoakSample& s) { return s.descriptors == samples.front().descriptors; });
}

bool SoakResult::Passed() const
{
    return shortAnswers == 0 && heldAfterSend == 0 && refusedOthers == 0 && overBound == 0 &&
           DescriptorsSteady();
}

SoakResult RunSoak(DialogDriver& d, int sends, int sampleEvery)
{
    d.SelectRate(kRate19200);
    d.SetText(IDC_SEND_COUNT, "4");
    const char* bytes[] = {"A5", "5a", "00", "FF"};
    const int fields[] = {IDC_BYTE0, IDC_BYTE1, IDC_BYTE2, IDC_BYTE3};
    for (int i = 0; i < 4; ++i)
        d.SetText(fields[i], bytes[i]);

    // The first paint starts the painter's worker threads: they belong in the baseline.
    QApplication::processEvents();

    SoakResult result;
    PrintHeader();
    std::vector<double> block;
    result.samples.push_back(Sample(d, 0, block));
    PrintRow(result.samples.back());
    for (int send = 1; send <= sends; ++send) {
        double ms = 0;
        if (!SendOnce(d, ms))
            ++result.shortAnswers;
        if (ms > kSendBoundMs)
            ++result.overBound;
        if (!Com1IsFree())
            ++result.heldAfterSend;
        block.push_back(ms);
        if (send == 1 || send % sampleEvery == 0 || send == sends) {
            if (!ForeignHolder().Holds())
                ++result.refusedOthers;
            result.samples.push_back(Sample(d, send, block));
            PrintRow(result.samples.back());
            block.clear();
        }
    }
    d.Click(IDC_CLEAR_RESULT);
    QApplication::processEvents();
    malloc_trim(0);
    result.clearedBoxBytes = BoxBytes(d);
    result.clearedResidentKb = ResidentKilobytes();
    return result;
}

void PrintSoakReport(const SoakResult& r)
{
    std::printf("\nafter Clear Result: box %zu bytes, RSS %zu KiB\n", r.clearedBoxBytes, r.clearedResidentKb);
    std::printf("Sends without all four echoed lines: %d\n", r.shortAnswers);
    std::printf("Sends after which com1 was still held: %d\n", r.heldAfterSend);
    std::printf("samples at which another process could not open com1: %d\n", r.refusedOthers);
    std::printf("Sends over %.0f ms: %d\n", kSendBoundMs, r.overBound);
    std::printf("open descriptors steady: %s\n", r.DescriptorsSteady() ? "yes" : "NO");
    std::printf("%s\n", r.Passed() ? "PASSED" : "FAILED");
}
